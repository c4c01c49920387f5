// The player as the desktop meets it: installed into a prefix of its own, started by a file manager with
// one or several files, and driven over a private session bus as media keys and panel widgets drive it.
#include "app/DesktopMimeTypes.h"
#include "tests/PrivateBus.h"
#include "tests/TestSupport.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

const QString kService = QStringLiteral("org.mpris.MediaPlayer2.nrx_mediaplayer");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");

// A map inside a variant arrives from the bus still marshalled.
QVariantMap AsMap(const QVariant& value) {
    if (value.canConvert<QDBusArgument>()) return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

TEST(DesktopMimeTypes, EngineFilterBecomesVideoTypesOnly) {
    EXPECT_EQ(ExtensionsOfFilter(QStringLiteral("Video Files|*.MP4;*.mkv;*.mkv;*.txt|All Files (*.*)|*.*")),
              (QStringList{"mp4", "mkv", "txt"}));
    const QStringList types = VideoMimeTypesForExtensions({"mp4", "mkv", "txt", "nosuchextension"});
    EXPECT_TRUE(types.contains("video/mp4")) << types.join(' ').toStdString();
    EXPECT_TRUE(types.contains("video/x-matroska")) << types.join(' ').toStdString();
    for (const QString& type : types) EXPECT_TRUE(type.startsWith("video/")) << type.toStdString();
}

// Keeps the last announced change of each property of the player interface.
class ChangeListener : public QObject {
    Q_OBJECT
public:
    QVariantMap last;
public slots:
    void OnChanged(const QString& interface, const QVariantMap& changed, const QStringList&) {
        if (interface != kPlayer) return;
        for (auto it = changed.begin(); it != changed.end(); ++it)
            last.insert(it.key(), it.key() == "Metadata" ? QVariant(AsMap(it.value())) : it.value());
    }
};

// The player as a bus client sees it. Plain messages rather than an introspected interface, which would
// stay invalid when made before the player has come up.
class Remote {
public:
    Remote(QDBusConnection bus, QString interface) : bus_(std::move(bus)), interface_(std::move(interface)) {}

    QVariant property(const char* name) const {
        QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, "org.freedesktop.DBus.Properties", "Get");
        get << interface_ << QString::fromLatin1(name);
        const QDBusMessage reply = bus_.call(get, QDBus::Block, 5000);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
        return reply.arguments().constFirst().value<QDBusVariant>().variant();
    }
    void setProperty(const char* name, const QVariant& value) const {
        QDBusMessage set = QDBusMessage::createMethodCall(kService, kPath, "org.freedesktop.DBus.Properties", "Set");
        set << interface_ << QString::fromLatin1(name) << QVariant::fromValue(QDBusVariant(value));
        bus_.call(set, QDBus::Block, 5000);
    }
    template <class... Args>
    void call(const char* method, Args... args) const {
        QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, interface_, QString::fromLatin1(method));
        message.setArguments({QVariant::fromValue(args)...});
        bus_.call(message, QDBus::Block, 10000);
    }

private:
    QDBusConnection bus_;
    QString interface_;
};

// The installed program under a temporary prefix, its settings and bus private to the test.
class InstalledPlayer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix_ = new QTemporaryDir();
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start("cmake", {"--install", NRX_BUILD_DIR, "--prefix", prefix_->path()});
        installed_ = install.waitForFinished(120000) && install.exitCode() == 0;
        installLog_ = QString::fromLocal8Bit(install.readAll());
    }
    static void TearDownTestSuite() { delete prefix_; }

    void SetUp() override {
        ASSERT_TRUE(installed_) << installLog_.toStdString();
        ASSERT_TRUE(home_.isValid());
    }
    void TearDown() override {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished(5000);
        }
    }

    QString Installed(const QString& relative) const { return QDir(prefix_->path()).filePath(relative); }

    // A key of the installed entry as written (the entry's quoting is its own, not an INI file's).
    QString DesktopEntryValue(const QString& key) const {
        const QByteArray entry = ReadFile(Installed("share/applications/nrx-mediaplayer.desktop"));
        for (const QString& line : QString::fromUtf8(entry).split('\n'))
            if (line.startsWith(key + '=')) return line.mid(key.size() + 1);
        return {};
    }

    QProcessEnvironment Environment(const QString& busAddress) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("NRX_ENGINE_MODULE"); // the installed program finds its own module
        env.insert("XDG_CONFIG_HOME", home_.filePath("config"));
        env.insert("XDG_DATA_HOME", home_.filePath("data"));
        // The prefix first, then the system's own (its MIME database among them).
        env.insert("XDG_DATA_DIRS", Installed("share") + ":/usr/local/share:/usr/share");
        env.insert("HOME", home_.path());
        env.insert("SDL_AUDIODRIVER", "dummy");
        env.insert("DBUS_SESSION_BUS_ADDRESS", busAddress);
        return env;
    }

    // Starts the program as the desktop entry's Exec line says, with %F standing for files.
    void LaunchFromEntry(const QString& busAddress, const QStringList& files) {
        QStringList command = QProcess::splitCommand(DesktopEntryValue("Exec"));
        const qsizetype field = command.indexOf("%F");
        ASSERT_GE(field, 0) << "the entry does not take several files";
        command.removeAt(field);
        command += files;
        program_.setProcessEnvironment(Environment(busAddress));
        program_.start(command.takeFirst(), command);
        ASSERT_TRUE(program_.waitForStarted(10000));
    }

    static inline QTemporaryDir* prefix_ = nullptr;
    static inline bool installed_ = false;
    static inline QString installLog_;
    QTemporaryDir home_;
    QProcess program_;
};

TEST_F(InstalledPlayer, PrefixHoldsProgramFolderEntryAndIcons) {
    for (const char* file : {"bin/nrx-mediaplayer", "bin/engines/libnrxvideoengine.so", "bin/MediaPlayerHotKeys.txt",
                             "share/icons/hicolor/scalable/apps/nrx-mediaplayer.svg",
                             "share/icons/hicolor/48x48/apps/nrx-mediaplayer.png",
                             "share/icons/hicolor/256x256/apps/nrx-mediaplayer.png"})
        EXPECT_TRUE(QFile::exists(Installed(file))) << file;
    EXPECT_FALSE(QDir(Installed("bin/RedadIzivadSkin")).isEmpty());
    EXPECT_EQ(QImage(Installed("share/icons/hicolor/48x48/apps/nrx-mediaplayer.png")).size(), QSize(48, 48));

    const QStringList types = DesktopEntryValue("MimeType").split(';', Qt::SkipEmptyParts);
    // Whatever the engine opens, no more: the common containers are in, nothing that is not video.
    for (const char* type : {"video/mp4", "video/x-matroska", "video/x-msvideo", "video/quicktime"})
        EXPECT_TRUE(types.contains(type)) << type;
    for (const QString& type : types) EXPECT_TRUE(type.startsWith("video/")) << type.toStdString();
    EXPECT_EQ(DesktopEntryValue("Exec"), Installed("bin/nrx-mediaplayer") + " %F");
}

TEST_F(InstalledPlayer, SeveralFilesFormThePlaylistAndTheBusDrivesIt) {
    PrivateBus bus;
    if (bus.Address().isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
    const QString first = Clip("numbered_320x240_25.mp4"), second = Clip("small_426x240.mp4");
    LaunchFromEntry(bus.Address(), {first, second});

    QDBusConnection client = bus.Connect("desktop-test");
    ASSERT_TRUE(client.isConnected());
    ChangeListener changes;
    ASSERT_TRUE(client.connect(kService, kPath, "org.freedesktop.DBus.Properties", "PropertiesChanged", &changes,
                               SLOT(OnChanged(QString, QVariantMap, QStringList))));
    const Remote player(client, kPlayer);
    const Remote root(client, "org.mpris.MediaPlayer2");
    const auto metadata = [&] { return AsMap(player.property("Metadata")); };
    const auto url = [&] { return metadata().value("xesam:url").toString(); };

    ASSERT_TRUE(QTest::qWaitFor([&] { return player.property("PlaybackStatus").toString() == "Playing"; }, 20000))
        << program_.readAllStandardError().toStdString();
    EXPECT_EQ(url(), QUrl::fromLocalFile(first).toString());
    EXPECT_EQ(metadata().value("xesam:title").toString(), "numbered_320x240_25.mp4");
    EXPECT_GT(metadata().value("mpris:length").toLongLong(), 0);
    EXPECT_TRUE(player.property("CanGoNext").toBool());
    EXPECT_FALSE(player.property("CanGoPrevious").toBool());
    EXPECT_EQ(root.property("Identity").toString(), "NRX MediaPlayer");
    EXPECT_TRUE(root.property("SupportedMimeTypes").toStringList().contains("video/mp4"));

    // Pause and play come back as change signals, as a panel widget waits for them.
    player.call("Pause");
    EXPECT_TRUE(QTest::qWaitFor([&] { return changes.last.value("PlaybackStatus") == "Paused"; }, 10000));
    EXPECT_EQ(player.property("PlaybackStatus").toString(), "Paused");
    player.call("PlayPause");
    EXPECT_TRUE(QTest::qWaitFor([&] { return changes.last.value("PlaybackStatus") == "Playing"; }, 10000));

    // Volume both ways: what is written is what the control bar then holds.
    player.setProperty("Volume", 0.3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return qFuzzyCompare(player.property("Volume").toDouble(), 0.3); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return changes.last.contains("Volume"); }, 10000));

    // A rate written is taken within the player's limits; zero pauses, as the protocol asks.
    player.setProperty("Rate", 9.0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return changes.last.value("Rate") == 4.0; }, 10000));
    player.setProperty("Rate", 0.0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return changes.last.value("PlaybackStatus") == "Paused"; }, 10000));
    EXPECT_EQ(player.property("Rate").toDouble(), 1.0);
    player.call("Play");

    // A position on this track is taken; one on another track id is not.
    const QDBusObjectPath track = metadata().value("mpris:trackid").value<QDBusObjectPath>();
    player.call("Pause");
    player.call("SetPosition", QDBusObjectPath("/org/nrx/MediaPlayer/Track/99"), qlonglong(2000000));
    player.call("SetPosition", track, qlonglong(3000000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return std::abs(player.property("Position").toLongLong() - 3000000) < 200000; }, 10000))
        << player.property("Position").toLongLong();

    // Next moves to the second file; at the last entry only Previous is offered.
    player.call("Next");
    EXPECT_TRUE(QTest::qWaitFor([&] { return changes.last.value("Metadata").toMap().value("xesam:url") ==
                                             QUrl::fromLocalFile(second).toString(); }, 10000));
    EXPECT_FALSE(player.property("CanGoNext").toBool());
    EXPECT_TRUE(player.property("CanGoPrevious").toBool());

    player.call("Stop");
    EXPECT_TRUE(QTest::qWaitFor([&] { return changes.last.value("PlaybackStatus") == "Stopped"; }, 10000));

    root.call("Quit");
    EXPECT_TRUE(program_.waitForFinished(20000));
    EXPECT_EQ(program_.exitCode(), 0);
}

TEST_F(InstalledPlayer, XdgOpenStartsThePlayerOnTheFile) {
    PrivateBus bus;
    if (bus.Address().isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
    if (QStandardPaths::findExecutable("xdg-open").isEmpty()) GTEST_SKIP() << "xdg-utils is not installed";
    // The user chose the player for MP4 files, as "Open with" remembers it.
    ASSERT_TRUE(WriteFile(home_.filePath("config/mimeapps.list"),
                          "[Default Applications]\nvideo/mp4=nrx-mediaplayer.desktop\n"));

    const QString clip = Clip("small_426x240.mp4");
    QProcess opener;
    QProcessEnvironment env = Environment(bus.Address());
    env.remove("XDG_CURRENT_DESKTOP");
    env.remove("DESKTOP_SESSION");
    opener.setProcessEnvironment(env);
    opener.start("xdg-open", {clip});
    ASSERT_TRUE(opener.waitForStarted(10000));

    QDBusConnection client = bus.Connect("desktop-test");
    const Remote player(client, kPlayer);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return AsMap(player.property("Metadata")).value("xesam:url") == QUrl::fromLocalFile(clip).toString();
    }, 30000)) << opener.readAllStandardError().toStdString();
    Remote(client, "org.mpris.MediaPlayer2").call("Quit");
    opener.waitForFinished(20000);
}

TEST_F(InstalledPlayer, WithoutSessionBusPlaysAndRepeatsNoMessage) {
    LaunchFromEntry(QStringLiteral("unix:path=") + home_.filePath("no-bus-here"), {Clip("small_426x240.mp4")});
    // Long enough for several looks at the state, which would each complain if they could.
    QTest::qWait(3000);
    EXPECT_EQ(program_.state(), QProcess::Running);
    // A plain kill (a session's logout) ends it: nothing inside keeps the signal for itself.
    program_.terminate();
    EXPECT_TRUE(program_.waitForFinished(10000));
    const QStringList lines = QString::fromLocal8Bit(program_.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    for (const QString& line : lines) EXPECT_EQ(lines.count(line), 1) << line.toStdString();
}

} // namespace

#include "DesktopTest.moc"
