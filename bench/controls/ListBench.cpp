// The skinned playlist at 10 000 rows: repainting a full window of rows and scrolling by a page, each the
// median of many, beside the same work done by Qt's plain table view over the same model.
#include "bench/engine/BenchReport.h"
#include "controls/CustomListCtrl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <functional>

namespace {
constexpr int kRows = 10000;
constexpr int kRuns = 200;

double MedianMs(const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return Median(times);
}

struct Timings { double repaint = 0, pageScroll = 0; };

Timings Measure(QTableView& view, QAbstractItemModel& model) {
    view.setModel(&model);
    view.setColumnWidth(0, 300);
    view.setColumnWidth(1, 80);
    view.resize(400, 600);
    view.show();
    QApplication::processEvents();
    Timings t;
    t.repaint = MedianMs([&] { view.viewport()->repaint(); });
    QScrollBar* bar = view.verticalScrollBar();
    t.pageScroll = MedianMs([&] {
        if (bar->value() >= bar->maximum()) bar->setValue(0);
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        view.viewport()->repaint();
    });
    view.hide();
    return t;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CListCtrlModel model;
    model.SetColumns({"Name", "Duration"}, {Qt::AlignLeft, Qt::AlignRight});
    std::vector<QStringList> rows;
    for (int i = 0; i < kRows; ++i)
        rows.push_back({QString("a rather long clip name number %1 from the holiday folder.mp4").arg(i),
                        QString("00:%1:%2").arg(i / 60 % 60, 2, 10, QChar('0')).arg(i % 60, 2, 10, QChar('0'))});
    model.SetRows(std::move(rows));

    CCustomListCtrl list;
    auto font = std::make_unique<QFont>();
    font->setBold(true);
    font->setPointSize(list.fontSize);
    list.SetListFont(std::move(font));
    list.SetMarkedRow(5);
    list.selectRow(3);
    const Timings skinned = Measure(list, model);

    QTableView plain;
    const Timings reference = Measure(plain, model);

    const std::string anchor = "Qt table view, same model";
    PrintFigure({"playlist repaint of a full window (10 000 rows)", skinned.repaint, "ms", anchor,
                 reference.repaint, Target::ValueAtMost(5)});
    PrintFigure({"playlist scroll by a page + repaint (10 000 rows)", skinned.pageScroll, "ms", anchor,
                 reference.pageScroll, Target::ValueAtMost(5)});
    return 0;
}
