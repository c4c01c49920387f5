// Keeps the desktop's screen saver and display power-down away while the player wants it.
#pragma once

#include <QDBusConnection>
#include <QString>

// Talks to the desktop's org.freedesktop.ScreenSaver service over D-Bus: Inhibit when wanted,
// UnInhibit when no longer wanted and always on destruction. Without a bus or without the service
// every call quietly does nothing and the program goes on; the wish is kept, and taken again on the
// next SetWanted(true) when the service has appeared meanwhile. Calls wait at most kCallTimeoutMs,
// so a hung service cannot freeze the UI for long. UI thread only.
class CScreenSaverInhibitor {
public:
    static constexpr int kCallTimeoutMs = 1500;
    static constexpr const char* kService = "org.freedesktop.ScreenSaver";
    static constexpr const char* kPath = "/org/freedesktop/ScreenSaver";

    explicit CScreenSaverInhibitor(QDBusConnection bus = QDBusConnection::sessionBus(),
                                   QString applicationName = QStringLiteral("NRX MediaPlayer"),
                                   QString reason = QStringLiteral("Playing video"));
    ~CScreenSaverInhibitor();
    CScreenSaverInhibitor(const CScreenSaverInhibitor&) = delete;
    CScreenSaverInhibitor& operator=(const CScreenSaverInhibitor&) = delete;

    // Takes the inhibition (once, however often it is called) or releases it.
    void SetWanted(bool wanted);
    bool Wanted() const { return wanted_; }
    // True while the service holds our inhibition cookie.
    bool Held() const { return held_; }

private:
    void Take();
    void Release();

    QDBusConnection bus_;
    QString applicationName_;
    QString reason_;
    bool wanted_ = false;
    bool held_ = false;
    uint cookie_ = 0;
};
