// CMediaPlayerApp: the process. Owns the Qt application, loads settings, builds the frame, saves at exit.
#pragma once

#include "resources/CommandIds.h"

#include <QApplication>
#include <memory>

class CMainFrame;
class CMediaPlayerDoc;
class CProfileStore;
class CMprisService;

class CMediaPlayerApp {
public:
    CMediaPlayerApp(int& argc, char** argv);
    ~CMediaPlayerApp();
    CMediaPlayerApp(const CMediaPlayerApp&) = delete;
    CMediaPlayerApp& operator=(const CMediaPlayerApp&) = delete;

    // The application object of the process; null outside its lifetime.
    static CMediaPlayerApp* Instance();

    // Start-up: store, program folder, settings, affinity, document and frame, command line, placement.
    bool InitInstance();
    // Shutdown: the frame and document go first, then every setting and the recent list are saved.
    int ExitInstance();
    // InitInstance, the event loop, ExitInstance; the process's exit code.
    int Run();
    // The Exit command and the quit key end here, so ExitInstance always runs.
    void OnAppExit();

    CMainFrame* MainFrame() const { return frame_.get(); }
    CMediaPlayerDoc* Document() const { return document_.get(); }

private:
    // Tells the user once, at start-up, when the settings file was unreadable and what became of it.
    void ReportDamagedSettings();

    QApplication application_;
    std::unique_ptr<CProfileStore> profile_;
    std::unique_ptr<CMediaPlayerDoc> document_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<CMprisService> mpris_; // the player on the session bus; goes before the frame and document
    int exitCode_ = 0;
};
