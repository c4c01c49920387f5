#include "app/MediaPlayerApp.h"

#include "app/Affinity.h"
#include "app/PromptService.h"
#include "document/MediaPlayerDoc.h"
#include "frame/MainFrame.h"
#include "settings/ProfileStore.h"
#include "settings/ProgramParams.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QScreen>
#include <cstdio>

namespace {
CMediaPlayerApp* currentApp = nullptr;
}

CMediaPlayerApp::CMediaPlayerApp(int& argc, char** argv) : application_(argc, argv) {
    currentApp = this;
    QApplication::setApplicationName(QStringLiteral("NRX MediaPlayer"));
    QApplication::setOrganizationName(QStringLiteral("NRX ProductGroup"));
    // The icon is compiled into the executable only; in-process tests run without it.
    const QString icon = QStringLiteral(":/nrx-mediaplayer.svg");
    if (QFile::exists(icon)) QApplication::setWindowIcon(QIcon(icon));
}

CMediaPlayerApp::~CMediaPlayerApp() {
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

    // One optional file name; the view opens it on its first update.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) document_->documentPath = arguments.at(1);

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int sw = screen.width(), sh = screen.height();
    frame_->setGeometry(screen.x() + sw / 4, screen.y() + sh / 4, sw / 2, sh / 2);
    frame_->show();
    frame_->activateWindow();
    frame_->setFocus(Qt::ActiveWindowFocusReason);
    return true;
}

int CMediaPlayerApp::ExitInstance() {
    CPromptService::SetParentWindow(nullptr);
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
