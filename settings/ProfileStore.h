// CProfileStore: the application's profile functions (typed values under named keys of the per-user store).
#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <cstdint>

class CProfileStore {
public:
    // Opens the per-user store of organisation / application.
    CProfileStore(const QString& organisation, const QString& application);

    // Readers never fail: a missing or malformed value yields the default (or false for binary).
    std::int32_t GetProfileInt(const QString& key, const QString& entry, std::int32_t defaultValue) const;
    QString GetProfileString(const QString& key, const QString& entry) const;
    bool GetProfileBinary(const QString& key, const QString& entry, QByteArray& data) const;

    void WriteProfileInt(const QString& key, const QString& entry, std::int32_t value);
    void WriteProfileString(const QString& key, const QString& entry, const QString& value);
    void WriteProfileBinary(const QString& key, const QString& entry, const QByteArray& data);
    // Removes the key with all its values (the registry's "write no value under no name").
    void DeleteKey(const QString& key);

    // Pushes pending writes to disk; false when the store could not be written.
    bool Flush();
    QString FileName() const { return settings_.fileName(); }

    // The store the settings object works on; null when there is no application object.
    static CProfileStore* Active();
    static void SetActive(CProfileStore* store);

private:
    QVariant Value(const QString& key, const QString& entry) const;
    static QString Path(const QString& key, const QString& entry);

    mutable QSettings settings_;
};
