#include "document/ScreenSaverInhibitor.h"
#include "tests/PrivateBus.h"

#include <QDBusConnection>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace {

// Stands in for the desktop's screen-saver service, answering from its own thread as a real one would.
// Only the latest cookie releases, so a stale one given back leaves the inhibition counted.
class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    std::atomic<int> held{0};
    std::atomic<uint> cookie{6};

public slots:
    uint Inhibit(const QString&, const QString&) {
        ++held;
        return ++cookie;
    }
    void UnInhibit(uint given) {
        if (given == cookie) --held;
    }
};

class ScreenSaverInhibitor : public ::testing::Test {
protected:
    void SetUp() override {
        if (!bus_.Ok())
            GTEST_SKIP()
                << "dbus-daemon is not installed; the inhibitor cannot be checked against a real bus";
        client_ = std::make_unique<QDBusConnection>(bus_.Connect("client"));
        ASSERT_TRUE(client_->isConnected());
    }
    void TearDown() override {
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

    void StartService() {
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

TEST_F(ScreenSaverInhibitor, TakenOnceWhileWantedAndReleasedWhenNotOrOnDestruction) {
    StartService();
    {
        CScreenSaverInhibitor inhibitor(*client_);
        EXPECT_EQ(service_->held, 0);
        inhibitor.SetWanted(true);
        inhibitor.SetWanted(true);
        EXPECT_TRUE(inhibitor.Held());
        EXPECT_EQ(service_->held, 1);
        inhibitor.SetWanted(false);
        EXPECT_FALSE(inhibitor.Held());
        EXPECT_EQ(service_->held, 0);
        // Taking it again gets a fresh cookie, which is the one released at the end.
        inhibitor.SetWanted(true);
        EXPECT_EQ(service_->held, 1);
    }
    EXPECT_EQ(service_->held, 0);
}

TEST_F(ScreenSaverInhibitor, WithoutTheServiceOrABusNothingFailsAndALaterServiceIsUsed) {
    CScreenSaverInhibitor inhibitor(*client_);
    inhibitor.SetWanted(true);
    EXPECT_TRUE(inhibitor.Wanted());
    EXPECT_FALSE(inhibitor.Held());
    StartService();
    inhibitor.SetWanted(true);
    EXPECT_TRUE(inhibitor.Held());
    EXPECT_EQ(service_->held, 1);

    CScreenSaverInhibitor busless(QDBusConnection(QStringLiteral("never-connected")));
    busless.SetWanted(true);
    EXPECT_FALSE(busless.Held());
    busless.SetWanted(false);
    EXPECT_FALSE(busless.Wanted());
}

#include "ScreenSaverInhibitorTest.moc"
