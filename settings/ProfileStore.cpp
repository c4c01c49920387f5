#include "settings/ProfileStore.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {
CProfileStore* activeStore = nullptr;
}

CProfileStore::CProfileStore(const QString& organisation, const QString& application)
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, organisation, application)) {}

CProfileStore* CProfileStore::Active() { return activeStore; }
void CProfileStore::SetActive(CProfileStore* store) { activeStore = store; }

QString CProfileStore::Path(const QString& key, const QString& entry) {
    // Key paths are written with either separator by callers; the store nests on '/'.
    QString path = key;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (path.endsWith(QLatin1Char('/'))) path.chop(1);
    return entry.isEmpty() ? path : path + QLatin1Char('/') + entry;
}

QVariant CProfileStore::Value(const QString& key, const QString& entry) const {
    return settings_->value(Path(key, entry));
}

std::int32_t CProfileStore::GetProfileInt(const QString& key, const QString& entry, std::int32_t defaultValue) const {
    const QVariant value = Value(key, entry);
    if (!value.isValid()) return defaultValue;
    // A hand-edited file may hold anything here; only a whole decimal number that fits counts.
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    if (!ok || number < INT32_MIN || number > UINT32_MAX) return defaultValue;
    // DWORD semantics: values up to 0xFFFFFFFF are kept as their 32-bit pattern.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
}

QString CProfileStore::GetProfileString(const QString& key, const QString& entry) const {
    const QVariant value = Value(key, entry);
    // An unquoted comma in the file makes the store split the text into a list; give the text back whole.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QStringLiteral(", "));
    if (value.typeId() == QMetaType::QByteArray) return QString();
    return value.toString();
}

bool CProfileStore::GetProfileBinary(const QString& key, const QString& entry, QByteArray& data) const {
    const QVariant value = Value(key, entry);
    if (value.typeId() != QMetaType::QByteArray) return false;
    data = value.toByteArray();
    return true;
}

void CProfileStore::WriteProfileInt(const QString& key, const QString& entry, std::int32_t value) {
    if (writable_) settings_->setValue(Path(key, entry), value);
}

void CProfileStore::WriteProfileString(const QString& key, const QString& entry, const QString& value) {
    if (writable_) settings_->setValue(Path(key, entry), value);
}

void CProfileStore::WriteProfileBinary(const QString& key, const QString& entry, const QByteArray& data) {
    if (writable_) settings_->setValue(Path(key, entry), data);
}

void CProfileStore::DeleteKey(const QString& key) {
    if (writable_) settings_->remove(Path(key, QString()));
}

bool CProfileStore::Flush() {
    if (!writable_) return false;
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

namespace {
// The store writes control characters escaped, and a text editor does not put them in; a file holding them
// raw came from somewhere else. Tab and line ends are text.
bool HoldsNonTextBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return true;
    }
    return false;
}
} // namespace

bool CProfileStore::IsDamaged(const QStringList& ownGroups) const {
    // Only a file can be damaged in these ways; a store kept elsewhere (the registry) is taken as it is.
    if (!QFileInfo(settings_->fileName()).isFile()) return false;
    // Sections are parsed when first used, so the store knows of every format error only once all are read.
    const QStringList keys = settings_->allKeys();
    if (settings_->status() == QSettings::FormatError) return true;
    for (const QString& key : keys) {
        const bool own = std::any_of(ownGroups.begin(), ownGroups.end(), [&key](const QString& group) {
            return key.startsWith(group + QLatin1Char('/'));
        });
        if (!own) return true;
    }
    return HoldsNonTextBytes(settings_->fileName());
}

bool CProfileStore::SetAside() {
    const QString path = settings_->fileName();
    const QString kept = path + QStringLiteral(".bad");
    const QString organisation = settings_->organizationName(), application = settings_->applicationName();
    const QSettings::Format format = settings_->format();
    const QSettings::Scope scope = settings_->scope();
    // The old store object goes before the move, so that nothing it holds can be written back over either file.
    settings_.reset();
    // One move that replaces an older kept file, so there is no moment in which both could be lost.
    std::error_code error;
    std::filesystem::rename(QFile(path).filesystemFileName(), QFile(kept).filesystemFileName(), error);
    settings_ = std::make_unique<QSettings>(format, scope, organisation, application);
    if (error) {
        writable_ = false;
        return false;
    }
    setAsidePath_ = kept;
    return true;
}
