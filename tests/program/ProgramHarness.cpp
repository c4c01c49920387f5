#include "tests/program/ProgramHarness.h"

#include "document/RedadIzivad.h"
#include "frame/MainFrame.h"
#include "render/VideoRender.h"
#include "resources/CommandIds.h"

#include <QCursor>
#include <QFile>
#include <QOpenGLWidget>
#include <QScreen>
#include <QSettings>
#include <QTest>

ProgramRun::ProgramRun(const QString& clip) : argument(QFile::encodeName(clip)) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    argv[1] = argument.data();
    argc = clip.isEmpty() ? 1 : 2;
    app = std::make_unique<CMediaPlayerApp>(argc, argv);
    started = settings.isValid() && app->InitInstance() && CMediaPlayerView::Instance() &&
              QTest::qWaitForWindowExposed(app->MainFrame());
    view = CMediaPlayerView::Instance();
    doc = CMediaPlayerDoc::Instance();
}

ProgramRun::~ProgramRun() {
    CRedadIzivad::SetFileDialogHook({});
    app->ExitInstance();
}

CVideoEngine* ProgramRun::Engine() const { return ThePlayer ? ThePlayer->engine.get() : nullptr; }

bool ProgramRun::InState(PlayState state) const {
    return Engine() && Engine()->IsOpened() && Engine()->GetPlayState() == state;
}

bool ProgramRun::Frames(int count) {
    int frames = 0;
    const QMetaObject::Connection counting =
        QObject::connect(&ThePlayer->notifier, &CPlayerNotifier::frameReady, view, [&] { ++frames; });
    const bool arrived = WaitFor([&] { return frames >= count; });
    QObject::disconnect(counting);
    return arrived;
}

bool ProgramRun::PauseAfterFrames() {
    if (!Frames(3) || !InState(PlayState::Playing)) return false;
    doc->OnCommand(ID_PLAY_PAUSE);
    return WaitFor([&] { return InState(PlayState::Paused); });
}

QImage ProgramRun::PaintNow() const {
    QWidget* surface = view->Renderer()->GetDC();
    auto* gl = qobject_cast<QOpenGLWidget*>(surface);
    return (gl ? gl->grabFramebuffer() : surface->grab().toImage())
        .convertToFormat(QImage::Format_RGB32);
}

QImage ProgramRun::GrabScreen() const {
    // The bars float over the picture while the pointer is over the window: the pointer goes away, and the
    // picture is judged once they have hidden (they stay while stopped).
    QCursor::setPos(view->screen()->geometry().bottomRight());
    WaitFor([this] { return !doc->videoTitle || !doc->videoTitle.window()->isVisible() || !Engine()->IsOpened(); },
            2000);
    QTest::qWait(300);
    const QPoint at = view->mapToGlobal(QPoint());
    return view->screen()->grabWindow(0, at.x(), at.y(), view->width(), view->height()).toImage().convertToFormat(
        QImage::Format_RGB32);
}
