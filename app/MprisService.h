// CMprisService: the player on the session bus as a desktop media player (org.mpris.MediaPlayer2 and its
// .Player interface), so media keys, the panel's media widget and command-line controllers drive it.
//
// Calls from the bus end in the document's commands, as the control bar's buttons do; what the bus sees
// is what the control bar shows (play state, file, length, volume, neighbours in the playlist). Changes
// are sent as PropertiesChanged: at once after the document's own notices and the service's own calls,
// and otherwise found by a look at the state twice a second, reading the engine as the control bar does.
// Without a session bus the service stays silent and does nothing. UI thread only.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>

class CMediaPlayerDoc;
class QWidget;

// What the bus shows of the player at one moment; compared to find what changed.
struct MprisState {
    QString playbackStatus = QStringLiteral("Stopped"); // "Playing", "Paused" or "Stopped"
    QVariantMap metadata;                                // mpris:trackid, mpris:length, xesam:title, xesam:url
    double volume = 0.0;                                 // 0..1
    double rate = 1.0;
    bool canGoNext = false;
    bool canGoPrevious = false;
    bool canPlay = false;
    bool canPause = false;
    bool canSeek = false;
};

class CMprisService : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";
    static constexpr const char* kServiceName = "org.mpris.MediaPlayer2.nrx_mediaplayer";

    // window is raised by Raise; the document and the window outlive the service.
    CMprisService(CMediaPlayerDoc& doc, QWidget* window, QDBusConnection bus);
    ~CMprisService() override;

    // Publishes the player under kServiceName (or, when another player holds it, with an instance suffix).
    // False, and nothing published, without a bus or when the bus refuses.
    bool Register();
    const QString& ServiceName() const { return serviceName; }

    // The state as the bus sees it now.
    MprisState State() const;
    // Microseconds into the open file; 0 with none.
    qint64 PositionUs() const;

    // Requests from the bus.
    void PlayPause();
    void Play();
    void Pause();
    void Stop();
    void Next();
    void Previous();
    void Seek(qint64 offsetUs);
    void SetPosition(const QString& trackId, qint64 positionUs);
    void SetVolume(double volume);
    void SetRate(double rate);
    void OpenUri(const QString& uri);
    void Raise();
    void Quit();

signals:
    // A jump in position the player did not get by playing (MPRIS Seeked).
    void seeked(qint64 positionUs);

private:
    // Fills state from the document and the engine; may throw what a component call throws.
    void ReadState(MprisState& state) const;
    // Sends PropertiesChanged for whatever differs from the last state sent.
    void SendChanges();
    // Soon, once: several notices in one turn of the event loop make one comparison.
    void SendChangesSoon();
    void SeekToUs(qint64 positionUs);

    CMediaPlayerDoc& doc;
    QPointer<QWidget> window;
    QDBusConnection bus;
    QString serviceName;
    MprisState sent;
    QTimer watch;
    bool changesQueued = false;
};
