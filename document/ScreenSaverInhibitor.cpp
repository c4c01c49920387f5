#include "document/ScreenSaverInhibitor.h"

#include <QDBusMessage>

#include <utility>

namespace {
constexpr const char* kInterface = "org.freedesktop.ScreenSaver";
} // namespace

CScreenSaverInhibitor::CScreenSaverInhibitor(QDBusConnection bus, QString applicationName, QString reason)
    : bus_(std::move(bus)), applicationName_(std::move(applicationName)), reason_(std::move(reason))
{
}

CScreenSaverInhibitor::~CScreenSaverInhibitor() { Release(); }

void CScreenSaverInhibitor::SetWanted(bool wanted)
{
    wanted_ = wanted;
    if (wanted)
        Take();
    else
        Release();
}

void CScreenSaverInhibitor::Take()
{
    if (held_ || !bus_.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                       QString::fromLatin1(kInterface), QStringLiteral("Inhibit"));
    call << applicationName_ << reason_;
    // No activation: starting a screen saver just to tell it not to run would be absurd, and an
    // activatable but broken service would cost the whole time-out on every call.
    call.setAutoStartService(false);
    const QDBusMessage reply = bus_.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return;
    bool ok = false;
    const uint cookie = reply.arguments().constFirst().toUInt(&ok);
    if (!ok)
        return;
    cookie_ = cookie;
    held_ = true;
}

void CScreenSaverInhibitor::Release()
{
    if (!held_)
        return;
    held_ = false;
    if (!bus_.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                       QString::fromLatin1(kInterface), QStringLiteral("UnInhibit"));
    call << cookie_;
    call.setAutoStartService(false);
    // Waiting for the reply makes sure the release has left the process even when it exits right after.
    bus_.call(call, QDBus::Block, kCallTimeoutMs);
}
