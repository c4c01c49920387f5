#include "document/ScreenSaverInhibitor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <set>

namespace {

// Stands in for the desktop's screen-saver service, answering from its own thread as a real one would.
class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    std::set<uint> Active()
    {
        std::lock_guard lock(mutex_);
        return active_;
    }
    int InhibitCalls()
    {
        std::lock_guard lock(mutex_);
        return inhibitCalls_;
    }
    QString LastApplication()
    {
        std::lock_guard lock(mutex_);
        return lastApplication_;
    }

public slots:
    uint Inhibit(const QString& application, const QString& reason)
    {
        std::lock_guard lock(mutex_);
        ++inhibitCalls_;
        lastApplication_ = application + QLatin1Char('|') + reason;
        active_.insert(nextCookie_);
        return nextCookie_++;
    }
    void UnInhibit(uint cookie)
    {
        std::lock_guard lock(mutex_);
        active_.erase(cookie);
    }

private:
    std::mutex mutex_;  // guards everything below: written on the service thread, read by the test
    std::set<uint> active_;
    int inhibitCalls_ = 0;
    QString lastApplication_;
    uint nextCookie_ = 7;
};

// A private session bus of our own, so the test neither needs nor disturbs a desktop's bus.
class PrivateBus {
public:
    PrivateBus()
    {
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
            return;
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--print-address=1"});
        if (!daemon_.waitForStarted(5000))
            return;
        while (address_.isEmpty() && daemon_.waitForReadyRead(5000))
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        daemon_.terminate();
        daemon_.waitForFinished(5000);
    }
    bool Ok() const { return !address_.isEmpty(); }
    QDBusConnection Connect(const QString& name) { return QDBusConnection::connectToBus(address_, name); }

private:
    QProcess daemon_;
    QString address_;
};

class WindowModesScreenSaver : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!bus_.Ok())
            GTEST_SKIP() << "dbus-daemon is not installed; the inhibitor cannot be checked against a real bus";
        client_ = std::make_unique<QDBusConnection>(bus_.Connect("client"));
        ASSERT_TRUE(client_->isConnected());
    }
    void TearDown() override
    {
        if (service_) {
            QDBusConnection(QStringLiteral("service")).unregisterService(CScreenSaverInhibitor::kService);
            serviceThread_.quit();
            serviceThread_.wait();
            service_.reset();
        }
        client_.reset();
        QDBusConnection::disconnectFromBus("client");
        QDBusConnection::disconnectFromBus("service");
    }

    void StartService()
    {
        service_ = std::make_unique<FakeScreenSaver>();
        service_->moveToThread(&serviceThread_);
        serviceThread_.start();
        QDBusConnection connection = bus_.Connect("service");
        ASSERT_TRUE(connection.registerObject(CScreenSaverInhibitor::kPath, service_.get(),
                                              QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(connection.registerService(CScreenSaverInhibitor::kService));
    }

    PrivateBus bus_;
    std::unique_ptr<QDBusConnection> client_;
    QThread serviceThread_;
    std::unique_ptr<FakeScreenSaver> service_;
};

} // namespace

TEST_F(WindowModesScreenSaver, TakenOnceWhileWantedAndReleasedWhenNotOrOnDestruction)
{
    StartService();
    {
        CScreenSaverInhibitor inhibitor(*client_);
        EXPECT_TRUE(service_->Active().empty());
        inhibitor.SetWanted(true);
        inhibitor.SetWanted(true);
        EXPECT_TRUE(inhibitor.Held());
        EXPECT_EQ(service_->InhibitCalls(), 1);
        EXPECT_EQ(service_->Active().size(), 1u);
        EXPECT_EQ(service_->LastApplication(), "NRX MediaPlayer|Playing video");

        inhibitor.SetWanted(false);
        EXPECT_FALSE(inhibitor.Held());
        EXPECT_TRUE(service_->Active().empty());
        // Taking it again gets a fresh cookie which is the one released.
        inhibitor.SetWanted(true);
        inhibitor.SetWanted(false);
        EXPECT_EQ(service_->InhibitCalls(), 2);
        EXPECT_TRUE(service_->Active().empty());
        inhibitor.SetWanted(true);
        ASSERT_EQ(service_->Active().size(), 1u);
    }
    EXPECT_TRUE(service_->Active().empty());
}

TEST_F(WindowModesScreenSaver, WithoutTheServiceNothingFailsAndALaterServiceIsUsed)
{
    CScreenSaverInhibitor inhibitor(*client_);
    inhibitor.SetWanted(true);
    EXPECT_TRUE(inhibitor.Wanted());
    EXPECT_FALSE(inhibitor.Held());

    StartService();
    inhibitor.SetWanted(true);
    EXPECT_TRUE(inhibitor.Held());
    EXPECT_EQ(service_->Active().size(), 1u);
}

TEST_F(WindowModesScreenSaver, WithoutABusNothingFails)
{
    CScreenSaverInhibitor inhibitor(QDBusConnection(QStringLiteral("never-connected")));
    inhibitor.SetWanted(true);
    EXPECT_TRUE(inhibitor.Wanted());
    EXPECT_FALSE(inhibitor.Held());
    inhibitor.SetWanted(false);
    EXPECT_FALSE(inhibitor.Wanted());
}

#include "ScreenSaverInhibitorTest.moc"
