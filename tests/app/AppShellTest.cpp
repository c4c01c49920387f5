// The whole program in-process: start with a prepared settings file, check the window, quit with Esc,
// and read what was saved.
#include "app/MediaPlayerApp.h"
#include "document/MediaPlayerDoc.h"
#include "frame/MainFrame.h"
#include "settings/ProgramParams.h"
#include "tests/TestSupport.h"

#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <sched.h>

namespace {
QSettings StoredSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "NRX ProductGroup", "NRX MediaPlayer");
}

// Runs the program (with the clip, when given) over the settings in folder until Esc, sent once its window is
// up, ends it; whileRunning looks at the running program first. Returns the exit code.
int RunUntilEsc(const QString& folder, const char* clip, const std::function<void(CMediaPlayerApp&)>& whileRunning) {
    if (!qEnvironmentVariableIsSet("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    char program[] = "nrx-mediaplayer";
    QByteArray argument(clip ? clip : "");
    char* argv[] = {program, clip ? argument.data() : nullptr, nullptr};
    int argc = clip ? 2 : 1;
    CMediaPlayerApp app(argc, argv);
    QTimer::singleShot(0, [&] {
        if (!app.MainFrame()) return;
        whileRunning(app);
        QTest::keyClick(app.MainFrame(), Qt::Key_Escape);
    });
    // Should Esc not end the loop, the test fails instead of hanging.
    QTimer::singleShot(20000, [] { QCoreApplication::exit(99); });
    return app.Run();
}
} // namespace

TEST(AppShell, StartsPlacedThenEscSavesRepairedSettings) {
    QTemporaryDir dir;
    ASSERT_TRUE(WriteFile(dir.filePath("NRX ProductGroup/NRX MediaPlayer.conf"),
                          "[Params]\n"
                          "GlobalParams\\OnTopStatus=7\n"
                          "GlobalParams\\AffinityMask=1\n"
                          "GlobalParams\\EnableScreenSaver=banana\n"
                          "GlobalParams\\LastFolderPath=/home/user/Videos\n"
                          "VideoSettings\\Contrast=\x01\x02\xff\n"
                          "VideoSettings\\Brightness=40\n"
                          "not even a key\n"));
    cpu_set_t original;
    sched_getaffinity(0, sizeof(original), &original);
    PromptRecorder prompts; // the clip does not exist: its open error is answered here instead of by a modal box
    QRect geometry, expectedGeometry;
    QString documentPath;
    int onTopWhileRunning = -1, cpusWhileRunning = 0;
    const char* clip = "/media/clip with spaces.mp4";
    const int rc = RunUntilEsc(dir.path(), clip, [&](CMediaPlayerApp& app) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(app.MainFrame()));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        expectedGeometry = QRect(screen.x() + screen.width() / 4, screen.y() + screen.height() / 4,
                                 std::max(screen.width() / 2, 480), std::max(screen.height() / 2, 280));
        geometry = app.MainFrame()->geometry();
        documentPath = app.Document()->documentPath;
        onTopWhileRunning = Params.OnTopStatus;
        cpu_set_t now;
        sched_getaffinity(0, sizeof(now), &now);
        cpusWhileRunning = CPU_COUNT(&now);
        Params.Brightness = -12; // a change made while running must reach the file
    });
    sched_setaffinity(0, sizeof(original), &original);

    EXPECT_EQ(rc, 0);
    EXPECT_FALSE(prompts.texts.isEmpty());
    EXPECT_EQ(geometry, expectedGeometry);
    EXPECT_EQ(documentPath, clip);
    EXPECT_EQ(onTopWhileRunning, 0);
    EXPECT_EQ(cpusWhileRunning, 1);

    QSettings saved = StoredSettings();
    saved.beginGroup("Params");
    EXPECT_EQ(saved.value("GlobalParams/OnTopStatus").toInt(), 0);
    EXPECT_EQ(saved.value("GlobalParams/AffinityMask").toInt(), 1);
    EXPECT_EQ(saved.value("GlobalParams/LastFolderPath").toString(), "/home/user/Videos");
    EXPECT_EQ(saved.value("VideoSettings/Brightness").toInt(), -12);
}

TEST(AppShell, AnUnreadableSettingsFileIsReportedOnceAndReplaced) {
    QTemporaryDir dir;
    const QString path = dir.filePath("NRX ProductGroup/NRX MediaPlayer.conf");
    QByteArray junk(4096, '\0');
    for (qsizetype i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>((i * 131 + 7) % 256);
    ASSERT_TRUE(WriteFile(path, junk));
    PromptRecorder prompts;
    EXPECT_EQ(RunUntilEsc(dir.path(), nullptr, [](CMediaPlayerApp&) {}), 0);
    // Keeping the file aside and the clean one written are the settings tests' business; here the user is told.
    ASSERT_EQ(prompts.texts.size(), 1) << prompts.All();
    EXPECT_TRUE(prompts.texts[0].contains(path + ".bad")) << prompts.texts[0].toStdString();
    EXPECT_EQ(StoredSettings().status(), QSettings::NoError);
}
