// The whole program in-process: start with a prepared settings file, check the window, quit with Esc,
// and read what was saved.
#include "app/MediaPlayerApp.h"
#include "app/PromptService.h"
#include "document/MediaPlayerDoc.h"
#include "frame/MainFrame.h"
#include "settings/ProgramParams.h"

#include <QDir>
#include <QFile>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <sched.h>

namespace {
QSettings StoredSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "NRX ProductGroup", "NRX MediaPlayer");
}

void WritePreparedSettings(const QString& folder) {
    QDir().mkpath(folder + "/NRX ProductGroup");
    QFile file(folder + "/NRX ProductGroup/NRX MediaPlayer.conf");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Params]\n"
               "GlobalParams\\OnTopStatus=7\n"
               "GlobalParams\\AffinityMask=1\n"
               "GlobalParams\\EnableScreenSaver=banana\n"
               "GlobalParams\\LastFolderPath=/home/user/Videos\n"
               "VideoSettings\\Contrast=\x01\x02\xff\n"
               "VideoSettings\\Brightness=40\n"
               "not even a key\n");
}
} // namespace

TEST(AppShell, StartsPlacedThenEscSavesRepairedSettings) {
    if (!qEnvironmentVariableIsSet("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    WritePreparedSettings(dir.path());
    cpu_set_t original;
    sched_getaffinity(0, sizeof(original), &original);

    int argc = 2;
    char program[] = "nrx-mediaplayer";
    char clip[] = "/media/clip with spaces.mp4";
    char* argv[] = {program, clip, nullptr};
    CMediaPlayerApp app(argc, argv);
    // The clip does not exist: its open error is answered here instead of by a modal box.
    QStringList prompts;
    CPromptService::SetHandler([&](const PromptRequest& request) {
        prompts << request.text;
        return PromptAnswer::Ok;
    });

    QRect geometry, expectedGeometry;
    QString documentPath;
    int onTopWhileRunning = -1;
    int cpusWhileRunning = 0;
    QTimer::singleShot(0, [&] {
        CMainFrame* frame = app.MainFrame();
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        expectedGeometry = QRect(screen.x() + screen.width() / 4, screen.y() + screen.height() / 4,
                                 std::max(screen.width() / 2, 480), std::max(screen.height() / 2, 280));
        geometry = frame->geometry();
        documentPath = app.Document()->documentPath;
        onTopWhileRunning = Params.OnTopStatus;
        cpu_set_t now;
        sched_getaffinity(0, sizeof(now), &now);
        cpusWhileRunning = CPU_COUNT(&now);

        Params.Brightness = -12; // a change made while running must reach the file
        QTest::keyClick(frame, Qt::Key_Escape);
    });
    // Should Esc not end the loop, the test fails instead of hanging.
    QTimer::singleShot(20000, [] { QCoreApplication::exit(99); });
    const int rc = app.Run();
    sched_setaffinity(0, sizeof(original), &original);

    CPromptService::SetHandler({});
    EXPECT_EQ(rc, 0);
    EXPECT_FALSE(prompts.isEmpty());
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
    if (!qEnvironmentVariableIsSet("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    const QString path = dir.path() + "/NRX ProductGroup/NRX MediaPlayer.conf";
    QDir().mkpath(dir.path() + "/NRX ProductGroup");
    QByteArray junk(4096, '\0');
    for (qsizetype i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>((i * 131 + 7) % 256);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(junk);
    }

    int argc = 1;
    char program[] = "nrx-mediaplayer";
    char* argv[] = {program, nullptr};
    CMediaPlayerApp app(argc, argv);
    QStringList prompts;
    CPromptService::SetHandler([&](const PromptRequest& request) {
        prompts << request.text;
        return PromptAnswer::Ok;
    });
    QTimer::singleShot(0, [&] {
        if (CMainFrame* frame = app.MainFrame()) QTest::keyClick(frame, Qt::Key_Escape);
    });
    QTimer::singleShot(20000, [] { QCoreApplication::exit(99); });
    const int rc = app.Run();
    CPromptService::SetHandler({});

    EXPECT_EQ(rc, 0);
    // Keeping the file aside and the clean one written are the settings tests' business; here the user is told.
    ASSERT_EQ(prompts.size(), 1) << prompts.join('\n').toStdString();
    EXPECT_TRUE(prompts[0].contains(path + ".bad")) << prompts[0].toStdString();
    EXPECT_EQ(StoredSettings().status(), QSettings::NoError);
}
