// The view's diagnostic switches on the whole program with a real clip: NRX_RENDERER picks the renderer at
// start, and NRX_PAINT_TRACE records every painted picture once, with the engine's frame number.
#include "app/MediaPlayerApp.h"
#include "app/PromptService.h"
#include "document/MediaPlayerDoc.h"
#include "document/RedadIzivad.h"
#include "frame/MainFrame.h"
#include "resources/CommandIds.h"
#include "view/MediaPlayerView.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace {

bool WaitFor(const std::function<bool()>& condition, int limitMs = 15000) {
    for (int waited = 0; !condition(); waited += 20) {
        if (waited >= limitMs) return false;
        QTest::qWait(20);
    }
    return true;
}

struct PaintLine {
    long long frame = -1;
    bool newFrame = false;
};

std::vector<PaintLine> ReadLines(const QString& path) {
    std::vector<PaintLine> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return lines;
    file.readLine(); // header
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().trimmed().split(',');
        if (fields.size() != 4) {
            ADD_FAILURE() << "malformed paint trace line";
            continue;
        }
        lines.push_back({fields[1].toLongLong(), fields[2] == "1"});
    }
    return lines;
}

} // namespace

TEST(ProgramPaintTrace, RendererSwitchAndPaintTraceRecordEveryPictureOnce) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString tracePath = dir.filePath("paint.csv");
    qputenv("NRX_RENDERER", "GDI");
    qputenv("NRX_PAINT_TRACE", QFile::encodeName(tracePath));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QByteArray clip = QFile::encodeName(QDir(qEnvironmentVariable("NRX_MEDIA_DIR")).filePath("h264_aac_640x360_25.mp4"));
    char program[] = "nrx-mediaplayer";
    char* argv[] = {program, clip.data(), nullptr};
    int argc = 2;

    long long currentFrame = -1;
    {
        auto app = std::make_unique<CMediaPlayerApp>(argc, argv);
        QStringList prompts;
        CPromptService::SetHandler([&](const PromptRequest& request) {
            prompts << request.text;
            return PromptAnswer::Ok;
        });
        ASSERT_TRUE(app->InitInstance());
        CMediaPlayerView* view = CMediaPlayerView::Instance();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->RendererType(), RendererKind::Gdi) << "NRX_RENDERER=gdi (any case) starts with the GDI+ renderer";

        int requests = 0;
        QObject::connect(&ThePlayer->notifier, &CPlayerNotifier::frameReady, view, [&] { ++requests; });
        ASSERT_TRUE(WaitFor([&] { return requests >= 30; }));
        CVideoEngine* engine = ThePlayer->engine.get();
        CMediaPlayerDoc::Instance()->OnCommand(ID_PLAY_PAUSE);
        ASSERT_TRUE(WaitFor([&] { return engine->GetPlayState() == PlayState::Paused; }));
        QTest::qWait(200);
        currentFrame = engine->GetCurrentFrame();
        EXPECT_TRUE(prompts.isEmpty()) << prompts.join('\n').toStdString();
        app->ExitInstance();
        CPromptService::SetHandler({});
    }
    qunsetenv("NRX_RENDERER");
    qunsetenv("NRX_PAINT_TRACE");

    const std::vector<PaintLine> lines = ReadLines(tracePath);
    ASSERT_GE(lines.size(), 10u);
    std::set<long long> distinct, uploaded;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_GE(lines[i].frame, 0) << "line " << i;
        distinct.insert(lines[i].frame);
        if (i > 0) {
            EXPECT_GE(lines[i].frame, lines[i - 1].frame) << "pictures are painted in order, line " << i;
        }
        // A request after a read that found the next picture not yet due must not upload the same one again.
        // The first picture may be: the frame format is applied once more while the window comes up.
        if (lines[i].newFrame && lines[i].frame != lines.front().frame) {
            EXPECT_TRUE(uploaded.insert(lines[i].frame).second) << "frame " << lines[i].frame << " drawn as new twice";
        }
    }
    EXPECT_GE(distinct.size(), 10u);
    EXPECT_EQ(lines.back().frame, currentFrame) << "the paused picture is on screen";
}
