// The way a picture travels from the playback thread to the screen, on the whole program: the window keeps
// painting and taking commands while a decode is held up, and a display without OpenGL still gets pictures.
#include "app/MediaPlayerApp.h"
#include "app/PromptService.h"
#include "document/MediaPlayerDoc.h"
#include "document/RedadIzivad.h"
#include "frame/MainFrame.h"
#include "render/VideoRender.h"
#include "resources/CommandIds.h"
#include "tests/synthetic/SyntheticControl.h"
#include "view/MediaPlayerView.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QOpenGLWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <thread>

namespace {

bool WaitFor(const std::function<bool()>& condition, int limitMs = 15000) {
    for (int waited = 0; !condition(); waited += 20) {
        if (waited >= limitMs) return false;
        QTest::qWait(20);
    }
    return true;
}

int LineCount(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return 0;
    return static_cast<int>(file.readAll().count('\n'));
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : name(name), had(qEnvironmentVariableIsSet(name)), old(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (had)
            qputenv(name, old);
        else
            qunsetenv(name);
    }

private:
    const char* name;
    bool had;
    QByteArray old;
};

// The whole program started with one file on the command line; every message box is recorded and answered.
class Player {
public:
    explicit Player(const QString& clip) : argument(QFile::encodeName(clip)) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        argv[0] = program;
        argv[1] = argument.data();
        app = std::make_unique<CMediaPlayerApp>(argc, argv);
        CPromptService::SetHandler([this](const PromptRequest& request) {
            prompts << request.text;
            return PromptAnswer::Ok;
        });
        started = app->InitInstance() && CMediaPlayerView::Instance() &&
                  QTest::qWaitForWindowExposed(app->MainFrame());
        view = CMediaPlayerView::Instance();
        doc = CMediaPlayerDoc::Instance();
    }
    ~Player() {
        app->ExitInstance();
        CPromptService::SetHandler({});
    }
    // Waits until the playback thread has asked for count more paints.
    bool Frames(int count) {
        int frames = 0;
        const QMetaObject::Connection counting =
            QObject::connect(&ThePlayer->notifier, &CPlayerNotifier::frameReady, view, [&] { ++frames; });
        const bool arrived = WaitFor([&] { return frames >= count; });
        QObject::disconnect(counting);
        return arrived;
    }
    // Paints the video surface now, through the view's paint routine, and returns what it shows.
    QImage PaintNow() const {
        QWidget* surface = view->Renderer()->GetDC();
        if (auto* gl = qobject_cast<QOpenGLWidget*>(surface)) return gl->grabFramebuffer();
        return surface->grab().toImage();
    }

    QTemporaryDir settings;
    QByteArray argument;
    char program[16] = "nrx-mediaplayer";
    char* argv[3] = {program, nullptr, nullptr};
    int argc = 2;
    std::unique_ptr<CMediaPlayerApp> app;
    bool started = false;
    CMediaPlayerView* view = nullptr;
    CMediaPlayerDoc* doc = nullptr;
    QStringList prompts;
};

template <typename Fn>
Fn Synthetic(const char* symbol) {
    static QLibrary library(QStringLiteral(NRX_SYNTHETIC_MODULE));
    auto fn = reinterpret_cast<Fn>(library.resolve(symbol));
    if (!fn) ADD_FAILURE() << "synthetic module lacks " << symbol;
    return fn;
}

} // namespace

TEST(ProgramFramePath, PaintAndPlayStateChangeFinishWhileADecodeIsHeld) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString clip = dir.filePath("clip.syn");
    QFile file(clip);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("synthetic") > 0);
    file.close();
    const QString trace = dir.filePath("paint.csv");
    ScopedEnv module("NRX_ENGINE_MODULE", NRX_SYNTHETIC_MODULE);
    ScopedEnv paintTrace("NRX_PAINT_TRACE", QFile::encodeName(trace));
    const auto configure = Synthetic<NrxSyntheticConfigureFn>(NRX_SYNTHETIC_CONFIGURE_SYMBOL);
    const auto holdReads = Synthetic<NrxSyntheticHoldReadsFn>(NRX_SYNTHETIC_HOLD_READS_SYMBOL);
    const auto heldReads = Synthetic<NrxSyntheticHeldReadsFn>(NRX_SYNTHETIC_HELD_READS_SYMBOL);
    ASSERT_TRUE(configure && holdReads && heldReads);
    configure("frames=100000;rate=50;width=320;height=240");

    Player player(clip);
    // Declared after the player, so held reads go before the program stops its playback thread.
    const struct LetReadsGo {
        NrxSyntheticHoldReadsFn hold;
        ~LetReadsGo() { hold(0); }
    } letReadsGo{holdReads};
    ASSERT_TRUE(player.started);
    ASSERT_TRUE(player.Frames(3));
    holdReads(1);
    ASSERT_TRUE(WaitFor([&] { return heldReads() == 1; })) << "the playback thread is inside ReadFrame";

    // Steps are numbered in the order they finish. Should the UI wait for the held decode, a guard lets the
    // decode go after a while (so the test ends instead of hanging), and that step then comes first.
    std::atomic<int> step{0};
    std::atomic<int> released{0};
    std::mutex guardLock;
    std::condition_variable guardWake;
    bool done = false;
    std::thread guard([&] {
        std::unique_lock lock(guardLock);
        if (!guardWake.wait_for(lock, std::chrono::seconds(20), [&] { return done; })) {
            released = ++step;
            holdReads(0);
        }
    });

    const int paintsBefore = LineCount(trace);
    player.PaintNow();
    const int painted = ++step;
    const int paintsAfter = LineCount(trace);
    player.doc->OnCommand(ID_PLAY_PAUSE);
    const int stateChanged = ++step;
    const PlayState stateAfter = ThePlayer->engine->GetPlayState();
    {
        std::lock_guard lock(guardLock);
        done = true;
    }
    guardWake.notify_all();
    guard.join();
    if (released == 0) {
        released = ++step;
        holdReads(0);
    }

    EXPECT_LT(painted, released) << "the paint waited for the decode";
    EXPECT_EQ(paintsAfter, paintsBefore + 1) << "the paint drew the last picture";
    EXPECT_LT(stateChanged, released) << "the play-state change waited for the decode";
    EXPECT_EQ(stateAfter, PlayState::Paused);
    EXPECT_TRUE(player.prompts.isEmpty()) << player.prompts.join('\n').toStdString();
}

TEST(ProgramFramePath, WithoutOpenGLTheSoftwareRendererDrawsAndSaysSoOnce) {
    // No GL integration at all: no OpenGL context can be made on this display.
    ScopedEnv noGl("QT_XCB_GL_INTEGRATION", "none");
    Player player(QDir(qEnvironmentVariable("NRX_MEDIA_DIR")).filePath("orientation_red_top.mp4"));
    ASSERT_TRUE(player.started);
    EXPECT_EQ(player.view->RendererType(), RendererKind::Gdi);
    ASSERT_TRUE(player.view->Renderer() && player.view->Renderer()->ready);
    ASSERT_TRUE(player.Frames(3));
    player.doc->OnCommand(ID_PLAY_PAUSE);
    ASSERT_TRUE(WaitFor([&] { return ThePlayer->engine->GetPlayState() == PlayState::Paused; }));
    const QImage shot = player.PaintNow().convertToFormat(QImage::Format_RGB32);
    const QRgb top = shot.pixel(shot.width() / 2, shot.height() / 4);
    const QRgb bottom = shot.pixel(shot.width() / 2, shot.height() * 3 / 4);
    EXPECT_TRUE(qRed(top) > 180 && qGreen(top) < 80 && qBlue(top) < 80) << "top half should be red";
    EXPECT_TRUE(qBlue(bottom) > 180 && qRed(bottom) < 80 && qGreen(bottom) < 80) << "bottom half should be blue";

    ASSERT_TRUE(WaitFor([&] { return !player.prompts.isEmpty(); }));
    EXPECT_TRUE(player.prompts.front().contains("OpenGL is not available")) << player.prompts.front().toStdString();
    // Asking for OpenGL again keeps the picture and does not repeat the message.
    player.doc->OnCommand(ID_RENDERER_OPENGL);
    EXPECT_EQ(player.view->RendererType(), RendererKind::Gdi);
    QTest::qWait(200);
    EXPECT_EQ(player.prompts.size(), 1);
}
