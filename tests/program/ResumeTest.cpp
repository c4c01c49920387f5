// Files continue where they were left: the rule of what is worth resuming, the bounded store beside the
// settings, and the whole program leaving a file and coming back to it.
#include "document/ResumeStore.h"
#include "engine/VideoEngine.h"
#include "render/VideoRender.h"
#include "resources/CommandIds.h"
#include "settings/ProgramParams.h"
#include "tests/program/ProgramHarness.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ResumeRule, ShortWatchedAndBarelyStartedFilesStartFromTheBeginning) {
    const struct {
        std::int64_t seconds, duration;
        bool resumes;
    } cases[] = {{30, 59, false},  {30, 60, true},    {4, 600, false},  {5, 600, true},
                 {569, 600, true}, {570, 600, false}, {600, 600, false}};
    for (const auto& c : cases)
        EXPECT_EQ(WorthResuming(c.seconds, c.duration), c.resumes) << c.seconds << " of " << c.duration;
}

TEST(ResumeStore, KeepsTheNewestTwoHundredAndSurvivesABrokenFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath("store.resume");
    CResumeStore store(file);
    for (int i = 0; i <= CResumeStore::kMaxFiles; ++i)
        store.Remember(QStringLiteral("/v/%1.mp4").arg(i), 1000 + i, i);
    store.Remember(QStringLiteral("/v/5.mp4"), 1005, 77); // again: moves to the front, still counted once
    ASSERT_TRUE(store.Save());

    CResumeStore read(file);
    read.Load();
    EXPECT_EQ(read.Count(), CResumeStore::kMaxFiles);
    EXPECT_FALSE(read.Find("/v/0.mp4", 1000)) << "the oldest went first";
    EXPECT_EQ(read.Find("/v/5.mp4", 1005), 77);
    EXPECT_EQ(read.Find("/v/200.mp4", 1200), 200);
    EXPECT_FALSE(read.Find("/v/200.mp4", 1201)) << "a file of another size is another file";

    // Garbage in place of the store: nothing is resumed, and the next save writes a good store again.
    ASSERT_TRUE(WriteFile(file, "\x01\x02{\"files\": [ {\"path\": 3"));
    read.Load();
    EXPECT_EQ(read.Count(), 0);
    read.Remember("/v/a.mp4", 1, 100);
    ASSERT_TRUE(read.Save());
    CResumeStore again(file);
    again.Load();
    EXPECT_EQ(again.Find("/v/a.mp4", 1), 100);
}

namespace {
class Resume : public ProgramTest {
protected:
    std::int64_t Seconds() const { return run->Engine()->GetCurrentTime(); }
    void Reopen(const QString& clip) {
        ASSERT_TRUE(doc->OpenAndPlay(clip, true));
        ASSERT_TRUE(WaitFor([&] { return run->InState(PlayState::Playing); }));
    }
    QString StatusText() const { return view->Renderer() ? view->Renderer()->osdText : QString(); }
};
} // namespace

TEST_F(Resume, AFileLeftHalfWayContinuesThereAndAStoppedOneStartsOver) {
    const QString clip = Clip("long_160x120_90s.mp4");
    Start(clip);
    ASSERT_TRUE(WaitFor([&] { return run->InState(PlayState::Playing); }));
    doc->SeekToFrame(40 * 5);
    ASSERT_TRUE(WaitFor([&] { return Seconds() >= 40; }));

    doc->OnCommand(ID_CLOSE_FILE);
    Reopen(clip);
    EXPECT_TRUE(WaitFor([&] { return Seconds() >= 40; })) << "started at " << Seconds();
    EXPECT_TRUE(StatusText().startsWith("Resumed at 00:00:4")) << StatusText().toStdString();

    // Another file in between keeps the place too; Stop gives it up.
    Reopen(Clip("numbered_320x240_25.mp4"));
    Reopen(clip);
    EXPECT_TRUE(WaitFor([&] { return Seconds() >= 40; }));
    doc->OnCommand(ID_STOP);
    Reopen(clip);
    QTest::qWait(500);
    EXPECT_LT(Seconds(), 5);

    // Turned off, a kept place is not used.
    doc->SeekToFrame(50 * 5);
    ASSERT_TRUE(WaitFor([&] { return Seconds() >= 50; }));
    Reopen(Clip("numbered_320x240_25.mp4"));
    Params.ResumePlayback = false;
    Reopen(clip);
    QTest::qWait(500);
    EXPECT_LT(Seconds(), 5);
    Params.ResumePlayback = true;
}
