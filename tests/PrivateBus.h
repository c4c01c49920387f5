// A session bus of the test's own (a private dbus-daemon), so tests neither need nor disturb a desktop's bus.
#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

class PrivateBus {
public:
    PrivateBus() {
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty()) return;
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--print-address=1"});
        if (!daemon_.waitForStarted(5000)) return;
        while (address_.isEmpty() && daemon_.waitForReadyRead(5000))
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        for (const QString& name : connections_)
            QDBusConnection::disconnectFromBus(name);
        daemon_.terminate();
        daemon_.waitForFinished(5000);
    }
    // Empty when no daemon could be started (the test skips then).
    const QString& Address() const { return address_; }
    bool Ok() const { return !address_.isEmpty(); }
    // A client connection under that name, closed with the bus.
    QDBusConnection Connect(const QString& name) {
        connections_ << name;
        return QDBusConnection::connectToBus(address_, name);
    }

private:
    QProcess daemon_;
    QString address_;
    QStringList connections_;
};
