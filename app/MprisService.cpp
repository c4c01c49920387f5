#include "app/MprisService.h"

#include "app/DesktopMimeTypes.h"
#include "app/MprisAdaptors.h"
#include "document/Guarded.h"
#include "document/MediaPlayerDoc.h"
#include "document/RedadIzivad.h"
#include "engine/VideoEngine.h"
#include "panels/VideoControl.h"
#include "resources/CommandIds.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
// State changes the document does not announce (a key pressed on the view, the end of a file) are found by
// looking this often; everything the service or the document causes is sent at once.
constexpr int kWatchMs = 500;
constexpr double kUsPerSecond = 1e6;

QString TrackId(int index) {
    return index >= 0 ? QStringLiteral("/org/nrx/MediaPlayer/Track/%1").arg(index)
                      : QStringLiteral("/org/nrx/MediaPlayer/Track/Current");
}
} // namespace

CMprisService::CMprisService(CMediaPlayerDoc& doc, QWidget* window, QDBusConnection bus)
    : doc(doc), window(window), bus(std::move(bus)) {
    watch.setInterval(kWatchMs);
    connect(&watch, &QTimer::timeout, this, &CMprisService::SendChanges);
}

CMprisService::~CMprisService() {
    if (serviceName.isEmpty()) return;
    bus.unregisterObject(QString::fromLatin1(kObjectPath));
    bus.unregisterService(serviceName);
}

bool CMprisService::Register() {
    if (!bus.isConnected() || !serviceName.isEmpty()) return false;
    const CRedadIzivad* player = doc.Player();
    const QString extensions = player && player->engine ? player->engine->GetExtensions() : QString();
    new CMprisRootAdaptor(this, VideoMimeTypesForExtensions(ExtensionsOfFilter(extensions)));
    new CMprisPlayerAdaptor(this);
    if (!bus.registerObject(QString::fromLatin1(kObjectPath), this, QDBusConnection::ExportAdaptors)) return false;
    // A second player already running holds the plain name; the protocol's instance suffix tells them apart.
    const QString plain = QString::fromLatin1(kServiceName);
    const QString instance = plain + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
    for (const QString& name : {plain, instance}) {
        if (bus.registerService(name)) {
            serviceName = name;
            break;
        }
    }
    if (serviceName.isEmpty()) {
        bus.unregisterObject(QString::fromLatin1(kObjectPath));
        return false;
    }
    for (auto notice : {&CMediaPlayerDoc::fileOpened, &CMediaPlayerDoc::currentFileChanged,
                        &CMediaPlayerDoc::playListChanged, &CMediaPlayerDoc::repaintRequested})
        connect(&doc, notice, this, &CMprisService::SendChangesSoon);
    connect(&doc, &CMediaPlayerDoc::statusMessage, this, &CMprisService::SendChangesSoon);
    sent = State();
    watch.start();
    return true;
}

MprisState CMprisService::State() const {
    // Read from the bus's handlers inside the event loop: a component call that fails gives what was read.
    MprisState state;
    try {
        ReadState(state);
    } catch (...) {
    }
    return state;
}

void CMprisService::ReadState(MprisState& state) const {
    const CRedadIzivad* player = doc.Player();
    CVideoEngine* engine = player ? player->engine.get() : nullptr;
    const int volume = doc.videoControl ? doc.videoControl->VolumePosition() : doc.lastVolume;
    state.volume = std::clamp(volume, 0, 100) / 100.0;
    state.canPlay = doc.IsPlayerReady() && player->playList.Count() > 0;
    if (!engine || !doc.IsFileOpen()) return;

    switch (engine->GetPlayState()) {
    case PlayState::Playing: state.playbackStatus = QStringLiteral("Playing"); break;
    case PlayState::Paused: state.playbackStatus = QStringLiteral("Paused"); break;
    case PlayState::Stopped: break;
    }
    const CPlayList& list = player->playList;
    const std::int64_t duration = engine->GetDuration();
    state.metadata.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(TrackId(list.Current()))));
    state.metadata.insert(QStringLiteral("mpris:length"), static_cast<qlonglong>(duration * 1000000));
    state.metadata.insert(QStringLiteral("xesam:title"), engine->GetFileName());
    state.metadata.insert(QStringLiteral("xesam:url"),
                          QUrl::fromLocalFile(engine->GetFilePath()).toString(QUrl::FullyEncoded));
    state.volume = std::clamp(engine->GetVolume(), 0, 100) / 100.0;
    state.rate = engine->GetRate();
    // As Next and Previous move: from no current entry Next goes to the first.
    state.canGoNext = list.Current() + 1 < list.Count();
    state.canGoPrevious = list.Current() > 0;
    state.canPlay = true;
    state.canPause = true;
    state.canSeek = duration > 0;
}

qint64 CMprisService::PositionUs() const {
    const CRedadIzivad* player = doc.Player();
    if (!player || !player->engine || !doc.IsFileOpen()) return 0;
    try {
        const double rate = player->engine->GetFrameRate();
        if (rate <= 0) return 0;
        return static_cast<qint64>(std::llround(player->engine->GetCurrentFrame() / rate * kUsPerSecond));
    } catch (...) {
        return 0;
    }
}

void CMprisService::PlayPause() {
    Guarded([this] {
        // The control bar's Play button also starts the playlist when nothing plays.
        if (doc.videoControl)
            doc.videoControl->OnPlayButton();
        else
            doc.OnCommand(ID_PLAY_PAUSE);
    });
    SendChangesSoon();
}

void CMprisService::Play() {
    if (State().playbackStatus != QLatin1String("Playing")) PlayPause();
}

void CMprisService::Pause() {
    Guarded([this] {
        // The first Play/Pause after Fast or Slow only returns to normal speed; a second one pauses.
        for (int tries = 0; tries < 2 && doc.GetPlayState() == PlayState::Playing; ++tries)
            doc.OnCommand(ID_PLAY_PAUSE);
    });
    SendChangesSoon();
}

void CMprisService::Stop() {
    Guarded([this] { doc.OnCommand(ID_STOP); });
    SendChangesSoon();
}

void CMprisService::Next() {
    Guarded([this] { doc.OnCommand(ID_PLAY_NEXT); });
    SendChangesSoon();
}

void CMprisService::Previous() {
    Guarded([this] { doc.OnCommand(ID_PLAY_PREVIOUS); });
    SendChangesSoon();
}

void CMprisService::Seek(qint64 offsetUs) {
    Guarded([&] {
        const MprisState state = State();
        if (!state.canSeek) return;
        const qint64 length = state.metadata.value(QStringLiteral("mpris:length")).toLongLong();
        const qint64 target = std::max<qint64>(PositionUs() + offsetUs, 0);
        // Past the end means the next entry, as the protocol asks.
        if (target > length)
            Next();
        else
            SeekToUs(target);
    });
}

void CMprisService::SetPosition(const QString& trackId, qint64 positionUs) {
    Guarded([&] {
        const MprisState state = State();
        const auto current = state.metadata.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>();
        const qint64 length = state.metadata.value(QStringLiteral("mpris:length")).toLongLong();
        // A request about another entry (it moved on meanwhile) or outside the file is ignored.
        if (!state.canSeek || trackId != current.path() || positionUs < 0 || positionUs > length) return;
        SeekToUs(positionUs);
    });
}

void CMprisService::SeekToUs(qint64 positionUs) {
    const double rate = doc.Player()->engine->GetFrameRate();
    doc.SeekToFrame(static_cast<std::int64_t>(std::floor(positionUs / kUsPerSecond * rate)));
    emit seeked(positionUs);
}

void CMprisService::SetVolume(double volume) {
    if (!std::isfinite(volume)) return;
    Guarded([&] { doc.ChangeVolume(static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * 100)), false); });
    SendChangesSoon();
}

void CMprisService::SetRate(double rate) {
    // The protocol reads a rate of zero as a pause; anything else is held to the player's limits.
    if (rate <= 0) {
        Pause();
        return;
    }
    Guarded([&] { doc.SetPlayRate(rate); });
    SendChangesSoon();
}

void CMprisService::OpenUri(const QString& uri) {
    const QUrl url(uri);
    if (!url.isLocalFile()) return;
    Guarded([&] { doc.OpenAndPlay(url.toLocalFile(), true); });
    SendChangesSoon();
}

void CMprisService::Raise() {
    if (!window) return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

void CMprisService::Quit() {
    Guarded([this] { doc.OnCommand(ID_APP_EXIT); });
}

void CMprisService::SendChangesSoon() {
    if (changesQueued || serviceName.isEmpty()) return;
    changesQueued = true;
    QMetaObject::invokeMethod(this, &CMprisService::SendChanges, Qt::QueuedConnection);
}

void CMprisService::SendChanges() {
    changesQueued = false;
    if (serviceName.isEmpty()) return;
    const MprisState now = State();
    QVariantMap changed;
    const auto compare = [&changed](const char* name, const QVariant& before, const QVariant& after) {
        if (before != after) changed.insert(QString::fromLatin1(name), after);
    };
    compare("PlaybackStatus", sent.playbackStatus, now.playbackStatus);
    compare("Metadata", sent.metadata, now.metadata);
    compare("Volume", sent.volume, now.volume);
    compare("Rate", sent.rate, now.rate);
    compare("CanGoNext", sent.canGoNext, now.canGoNext);
    compare("CanGoPrevious", sent.canGoPrevious, now.canGoPrevious);
    compare("CanPlay", sent.canPlay, now.canPlay);
    compare("CanPause", sent.canPause, now.canPause);
    compare("CanSeek", sent.canSeek, now.canSeek);
    sent = now;
    if (changed.isEmpty()) return;
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kObjectPath),
                                                     QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kPlayerInterface) << changed << QStringList();
    bus.send(signal);
}
