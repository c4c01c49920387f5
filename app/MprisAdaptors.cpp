#include "app/MprisAdaptors.h"

#include "app/MprisService.h"

CMprisRootAdaptor::CMprisRootAdaptor(CMprisService* service, QStringList mimeTypes)
    : QDBusAbstractAdaptor(service), service(service), mimeTypes(std::move(mimeTypes)) {}

QString CMprisRootAdaptor::Identity() const { return QStringLiteral("NRX MediaPlayer"); }
QString CMprisRootAdaptor::DesktopEntry() const { return QStringLiteral("nrx-mediaplayer"); }
QStringList CMprisRootAdaptor::SupportedUriSchemes() const { return {QStringLiteral("file")}; }
void CMprisRootAdaptor::Raise() { service->Raise(); }
void CMprisRootAdaptor::Quit() { service->Quit(); }

CMprisPlayerAdaptor::CMprisPlayerAdaptor(CMprisService* service) : QDBusAbstractAdaptor(service), service(service) {
    connect(service, &CMprisService::seeked, this, &CMprisPlayerAdaptor::Seeked);
}

QString CMprisPlayerAdaptor::PlaybackStatus() const { return service->State().playbackStatus; }
double CMprisPlayerAdaptor::Rate() const { return service->State().rate; }
void CMprisPlayerAdaptor::SetRate(double rate) { service->SetRate(rate); }
QVariantMap CMprisPlayerAdaptor::Metadata() const { return service->State().metadata; }
double CMprisPlayerAdaptor::Volume() const { return service->State().volume; }
void CMprisPlayerAdaptor::SetVolume(double volume) { service->SetVolume(volume); }
qlonglong CMprisPlayerAdaptor::Position() const { return service->PositionUs(); }
bool CMprisPlayerAdaptor::CanGoNext() const { return service->State().canGoNext; }
bool CMprisPlayerAdaptor::CanGoPrevious() const { return service->State().canGoPrevious; }
bool CMprisPlayerAdaptor::CanPlay() const { return service->State().canPlay; }
bool CMprisPlayerAdaptor::CanPause() const { return service->State().canPause; }
bool CMprisPlayerAdaptor::CanSeek() const { return service->State().canSeek; }
void CMprisPlayerAdaptor::PlayPause() { service->PlayPause(); }
void CMprisPlayerAdaptor::Play() { service->Play(); }
void CMprisPlayerAdaptor::Pause() { service->Pause(); }
void CMprisPlayerAdaptor::Stop() { service->Stop(); }
void CMprisPlayerAdaptor::Next() { service->Next(); }
void CMprisPlayerAdaptor::Previous() { service->Previous(); }
void CMprisPlayerAdaptor::Seek(qlonglong offset) { service->Seek(offset); }
void CMprisPlayerAdaptor::SetPosition(const QDBusObjectPath& trackId, qlonglong position) {
    service->SetPosition(trackId.path(), position);
}
void CMprisPlayerAdaptor::OpenUri(const QString& uri) { service->OpenUri(uri); }
