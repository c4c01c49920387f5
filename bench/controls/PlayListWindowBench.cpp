// The playlist window on a long playlist: opening it on 10 000 entries and adding 1 000 files to them, each
// until the window has painted, beside Qt's plain table view doing the same over a standard item model. Then
// the durations of the 1 000 added files, found in the background, with the longest wait the UI thread saw
// meanwhile.
#include "bench/engine/BenchPaths.h"
#include "bench/engine/BenchReport.h"
#include "controls/CustomListCtrl.h"
#include "document/MediaPlayerDoc.h"
#include "document/RedadIzivad.h"
#include "engine/DurationProbe.h"
#include "panels/PlayListDlg.h"
#include "settings/ProgramParams.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>

namespace {
constexpr int kEntries = 10000;
constexpr int kAdded = 1000;
constexpr int kRuns = 15;

// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* watched) { watched->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Runs the event loop until the widget has painted once more than it had (at most two seconds).
void UntilPainted(const PaintCounter& counter, int before) {
    QElapsedTimer limit;
    limit.start();
    while (counter.paints <= before && limit.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

double MedianMs(int runs, const std::function<double()>& once) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(once());
    return Median(times);
}

QString EntryPath(const QString& folder, int i) {
    return QStringLiteral("%1/holiday clip %2.mp4").arg(folder).arg(i, 5, 10, QChar('0'));
}

QList<QStandardItem*> PlainRow(const QString& path) {
    return {new QStandardItem(CPlayList::GetFileName(path)), new QStandardItem(QStringLiteral("--:--:--"))};
}

// Qt's own table view over a standard item model of the same rows, filled, shown and painted once.
struct PlainList {
    explicit PlainList(const QStringList& paths) {
        for (const QString& path : paths)
            model.appendRow(PlainRow(path));
        view.setModel(&model);
        view.resize(CPlayListDlg::kWidth, CPlayListDlg::kHeight);
        view.show();
        UntilPainted(counter, 0);
    }
    QStandardItemModel model{0, 2};
    QTableView view;
    PaintCounter counter{view.viewport()};
};

double PlainOpenMs(const QStringList& paths) {
    QElapsedTimer timer;
    timer.start();
    PlainList list(paths);
    return timer.nsecsElapsed() / 1e6;
}

double PlainAddMs(const QStringList& paths, const QStringList& added) {
    PlainList list(paths);
    list.view.scrollToBottom();
    QApplication::processEvents();
    const int before = list.counter.paints;
    QElapsedTimer timer;
    timer.start();
    for (const QString& path : added)
        list.model.appendRow(PlainRow(path));
    list.view.scrollToBottom();
    UntilPainted(list.counter, before);
    return timer.nsecsElapsed() / 1e6;
}

// A three-second clip made by the ffmpeg tool; empty when that failed.
QString MakeClip(const QString& folder) {
    const QString clip = folder + QStringLiteral("/source.mp4");
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i", "testsrc2=s=64x48:r=25:d=3",
                  "-c:v", "libx264", "-pix_fmt", "yuv420p", "-an", clip});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0 && QFile::exists(clip) ? clip : QString();
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir temp;
    if (!temp.isValid()) return PrintNotMeasured("playlist window", "no temporary folder");
    // The program folder is build/bin, where the default skin lies.
    ProgramFolder = QDir::cleanPath(QApplication::applicationDirPath() + QStringLiteral("/.."));

    CMediaPlayerDoc document; // the window's commands need one; it owns nothing here
    CRedadIzivad player;
    player.engine = std::make_unique<CVideoEngine>(QString::fromStdString(EngineModulePath()));
    if (!player.Create())
        return PrintNotMeasured("playlist window", "the engine module could not be started");

    // Entries of files that do not exist: the background probe fails on each at once, as on a stale list.
    QStringList entries;
    for (int i = 0; i < kEntries; ++i)
        entries << EntryPath(temp.path() + QStringLiteral("/gone"), i);
    // Added files are copies of one real clip (links would resolve to the one file), so each duration is
    // really found.
    const QString clip = MakeClip(temp.path());
    QStringList added;
    QDir().mkpath(temp.filePath("added"));
    for (int i = 0; i < kAdded; ++i) {
        const QString link =
            QStringLiteral("%1/added/new clip %2.mp4").arg(temp.path()).arg(i, 4, 10, QChar('0'));
        if (!clip.isEmpty()) QFile::copy(clip, link);
        added << link;
    }
    CRedadIzivad::SetFileDialogHook([&](QWidget*, const QString&, const QString&) { return added; });

    QWidget owner;
    owner.setGeometry(100, 100, 640, 360);
    const auto resetList = [&] {
        player.playList.Clear();
        player.playList.AddFiles(entries, 0);
    };

    resetList();
    const double openMs = MedianMs(kRuns, [&] {
        QElapsedTimer timer;
        timer.start();
        CPlayListDlg window(&owner, &owner);
        PaintCounter counter(window.list->viewport());
        window.show();
        UntilPainted(counter, 0);
        return timer.nsecsElapsed() / 1e6;
    });
    const double plainOpenMs = MedianMs(kRuns, [&] { return PlainOpenMs(entries); });
    PrintFigure({"playlist window opened on 10 000 entries, until painted", openMs, "ms",
                 "Qt table view over a standard item model, same rows", plainOpenMs,
                 Target::ValueAtMost(150)});

    const double addMs = MedianMs(kRuns, [&] {
        resetList();
        CPlayListDlg window(&owner, &owner);
        PaintCounter counter(window.list->viewport());
        window.show();
        UntilPainted(counter, 0);
        window.list->scrollToBottom();
        QApplication::processEvents();
        const int before = counter.paints;
        QElapsedTimer timer;
        timer.start();
        window.OnAdd();
        window.list->scrollToBottom();
        UntilPainted(counter, before);
        return timer.nsecsElapsed() / 1e6;
    });
    const double plainAddMs = MedianMs(kRuns, [&] { return PlainAddMs(entries, added); });
    PrintFigure({"1 000 files added to 10 000 entries, until painted", addMs, "ms",
                 "Qt table view over a standard item model, same rows", plainAddMs,
                 Target::ValueAtMost(300)});

    if (clip.isEmpty())
        return PrintNotMeasured("durations of 1 000 added files", "the ffmpeg tool could not make a clip");
    // Once more, this time waiting for the durations while a timer measures how long the UI thread is held.
    resetList();
    CPlayListDlg window(&owner, &owner);
    window.show();
    window.OnAdd();
    QElapsedTimer found, tick;
    found.start();
    tick.start();
    double longestStall = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, tick.nsecsElapsed() / 1e6);
        tick.restart();
    });
    heartbeat.start(1);
    const auto allKnown = [&] {
        const auto& items = player.playList.Items();
        return std::all_of(items.end() - kAdded, items.end(),
                           [](const PlayListItem& item) { return item.duration > 0; });
    };
    while (!allKnown() && found.elapsed() < 600000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    heartbeat.stop();
    if (!allKnown())
        return PrintNotMeasured("durations of 1 000 added files", "not all found within ten minutes");
    PrintUnanchored("durations of 1 000 added files found in the background", found.elapsed() / 1000.0, "s",
                    "no reference: the UI thread does not wait for them");
    PrintUnanchored("longest UI-thread stall while they were found (1 ms timer)", longestStall, "ms",
                    "no reference");
    return 0;
}
