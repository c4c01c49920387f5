#include "app/MediaPlayerApp.h"

#include "app/Affinity.h"
#include "app/DocumentConnections.h"
#include "app/MprisService.h"
#include "app/PromptService.h"
#include "document/MediaPlayerDoc.h"
#include "frame/MainFrame.h"
#include "settings/ProfileStore.h"
#include "settings/ProgramParams.h"
#include "view/MediaPlayerView.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QScreen>
#include <QWindow>
#include <cstdio>

namespace {

// The frame is activated once its native window is on the display. Asked for earlier (before the map, or before
// an OpenGL surface made Qt create the native window anew) the activation is lost, and on a display without
// a window manager the keyboard then follows the pointer instead of going to the player.
class ActivationOnExpose final : public QObject {
public:
    explicit ActivationOnExpose(QWidget* window) : QObject(window), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && window_->windowHandle() && window_->windowHandle()->isExposed()) {
            watched->removeEventFilter(this);
            // After the exposure has been handled, when the display knows the window as mapped.
            QMetaObject::invokeMethod(
                window_, [w = window_] { w->activateWindow(); }, Qt::QueuedConnection);
            deleteLater();
        }
        return false;
    }

private:
    QWidget* window_;
};

void ActivateWhenExposed(QWidget* window) {
    window->activateWindow();
    if (QWindow* handle = window->windowHandle()) handle->installEventFilter(new ActivationOnExpose(window));
}

CMediaPlayerApp* currentApp = nullptr;

} // namespace

CMediaPlayerApp::CMediaPlayerApp(int& argc, char** argv) : application_(argc, argv) {
    currentApp = this;
    QApplication::setApplicationName(QStringLiteral("NRX MediaPlayer"));
    QApplication::setOrganizationName(QStringLiteral("NRX ProductGroup"));
    // The icon is compiled into the executable only; in-process tests run without it.
    const QString icon = QStringLiteral(":/nrx-mediaplayer.svg");
    if (QFile::exists(icon)) QApplication::setWindowIcon(QIcon(icon));
}

CMediaPlayerApp::~CMediaPlayerApp() {
    mpris_.reset();
    frame_.reset();
    document_.reset();
    if (CProfileStore::Active() == profile_.get()) CProfileStore::SetActive(nullptr);
    if (currentApp == this) currentApp = nullptr;
}

CMediaPlayerApp* CMediaPlayerApp::Instance() { return currentApp; }

bool CMediaPlayerApp::InitInstance() {
    profile_ = std::make_unique<CProfileStore>(QStringLiteral("NRX ProductGroup"), QStringLiteral("NRX MediaPlayer"));
    CProfileStore::SetActive(profile_.get());

    ProgramFolder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    Params.LoadParams();
    ApplyAffinityMask(static_cast<std::uint32_t>(Params.AffinityMask));

    document_ = std::make_unique<CMediaPlayerDoc>();
    frame_ = std::make_unique<CMainFrame>();
    CPromptService::SetParentWindow(frame_.get());
    // The frame's widget tree owns the view; it goes with the frame.
    auto* view = new CMediaPlayerView();
    frame_->SetCentralView(view);
    ConnectDocument(*document_, *frame_, *view);

    // File names (a file manager hands over one or several); the view opens them on its first update.
    QStringList files;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) files << arguments.at(i);
    document_->OnOpenDocuments(files);

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int sw = screen.width(), sh = screen.height();
    frame_->setGeometry(screen.x() + sw / 4, screen.y() + sh / 4, sw / 2, sh / 2);
    frame_->show();
    view->setFocus(Qt::ActiveWindowFocusReason);
    // The document's player, the renderer and the command-line file come up once the window is there.
    view->OnInitialUpdate();
    // After the renderer: an OpenGL surface makes Qt create the native window anew.
    ActivateWhenExposed(frame_.get());
    // Media keys and the desktop's media controls; without a session bus the player simply goes without.
    mpris_ = std::make_unique<CMprisService>(*document_, frame_.get(), QDBusConnection::sessionBus());
    mpris_->Register();
    ReportDamagedSettings();
    return true;
}

void CMediaPlayerApp::ReportDamagedSettings() {
    if (!profile_) return;
    if (!profile_->SetAsidePath().isEmpty()) {
        CPromptService::Show(QStringLiteral("The settings file could not be read. It was kept as \"%1\" and a new "
                                            "one was written; settings that could not be read are back at their "
                                            "defaults.")
                                 .arg(QDir::toNativeSeparators(profile_->SetAsidePath())),
                             PromptIcon::Warning);
    } else if (!profile_->Writable()) {
        CPromptService::Show(QStringLiteral("The settings file \"%1\" could not be read and could not be moved "
                                            "aside. Settings that could not be read are at their defaults, and "
                                            "changes made now will not be saved.")
                                 .arg(QDir::toNativeSeparators(profile_->FileName())),
                             PromptIcon::Warning);
    }
}

int CMediaPlayerApp::ExitInstance() {
    CPromptService::SetParentWindow(nullptr);
    mpris_.reset();
    frame_.reset();
    document_.reset();
    Params.SaveParams(true);
    if (profile_ && !profile_->Flush())
        std::fprintf(stderr, "NRX MediaPlayer: settings could not be written to %s\n",
                     qPrintable(profile_->FileName()));
    return exitCode_;
}

int CMediaPlayerApp::Run() {
    if (InitInstance()) exitCode_ = QApplication::exec();
    return ExitInstance();
}

void CMediaPlayerApp::OnAppExit() {
    if (frame_) frame_->hide();
    QCoreApplication::exit(0);
}
