// The view's diagnostic switches on the whole program with a real clip: NRX_RENDERER picks the renderer at
// start, and NRX_PAINT_TRACE records every painted picture once, with the engine's frame number.
#include "document/RedadIzivad.h"
#include "tests/program/ProgramHarness.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <set>

TEST(ProgramPaintTrace, RendererSwitchAndPaintTraceRecordEveryPictureOnce) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString tracePath = dir.filePath("paint.csv");
    long long currentFrame = -1;
    {
        ScopedEnv renderer("NRX_RENDERER", "GDI");
        ScopedEnv trace("NRX_PAINT_TRACE", QFile::encodeName(tracePath));
        ProgramRun run(Clip("h264_aac_640x360_25.mp4"));
        ASSERT_TRUE(run.started);
        EXPECT_EQ(run.view->RendererType(), RendererKind::Gdi) << "NRX_RENDERER=gdi (any case) starts with the GDI+ renderer";
        ASSERT_TRUE(run.Frames(30));
        ASSERT_TRUE(run.PauseAfterFrames());
        QTest::qWait(200);
        currentFrame = run.Engine()->GetCurrentFrame();
        EXPECT_TRUE(run.prompts.texts.isEmpty()) << run.prompts.All();
    }

    // Lines of frame,new-picture after the header.
    QFile file(tracePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    file.readLine();
    std::vector<std::pair<long long, bool>> lines;
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().trimmed().split(',');
        ASSERT_EQ(fields.size(), 4) << "malformed paint trace line";
        lines.emplace_back(fields[1].toLongLong(), fields[2] == "1");
    }
    ASSERT_GE(lines.size(), 10u);
    std::set<long long> distinct, uploaded;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto [frame, newFrame] = lines[i];
        ASSERT_GE(frame, 0) << "line " << i;
        distinct.insert(frame);
        if (i > 0) {
            EXPECT_GE(frame, lines[i - 1].first) << "pictures are painted in order, line " << i;
        }
        // A request after a read that found the next picture not yet due must not upload the same one again.
        // The first picture may be: the frame format is applied once more while the window comes up.
        if (newFrame && frame != lines.front().first) {
            EXPECT_TRUE(uploaded.insert(frame).second) << "frame " << frame << " drawn as new twice";
        }
    }
    EXPECT_GE(distinct.size(), 10u);
    EXPECT_EQ(lines.back().first, currentFrame) << "the paused picture is on screen";
}
