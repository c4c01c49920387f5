#include "settings/ProfileStore.h"

#include <QStringList>

namespace {
CProfileStore* activeStore = nullptr;
}

CProfileStore::CProfileStore(const QString& organisation, const QString& application)
    : settings_(QSettings::NativeFormat, QSettings::UserScope, organisation, application) {}

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
    return settings_.value(Path(key, entry));
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
    settings_.setValue(Path(key, entry), value);
}

void CProfileStore::WriteProfileString(const QString& key, const QString& entry, const QString& value) {
    settings_.setValue(Path(key, entry), value);
}

void CProfileStore::WriteProfileBinary(const QString& key, const QString& entry, const QByteArray& data) {
    settings_.setValue(Path(key, entry), data);
}

void CProfileStore::DeleteKey(const QString& key) { settings_.remove(Path(key, QString())); }

bool CProfileStore::Flush() {
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}
