// CProfileStore: the application's profile functions (typed values under named keys of the per-user store).
#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

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
    QString FileName() const { return settings_->fileName(); }

    // True when the file holds what this program never writes: text the store cannot parse, bytes that are not
    // text, or any entry outside ownGroups (top-level group paths such as "Params/GlobalParams"). A missing or
    // empty file, and a stray value inside an own group, are not damage: the reader ignores such values.
    bool IsDamaged(const QStringList& ownGroups) const;
    // Keeps the damaged file as FileName() + ".bad" (a newer one replaces an older one) and goes on with an
    // empty store in its place. When the file cannot be moved it is left as it is and the store stops writing,
    // so the user's file is never lost. False in that case.
    bool SetAside();
    // The file kept by SetAside during this run; empty when nothing was set aside.
    QString SetAsidePath() const { return setAsidePath_; }
    // False after a failed SetAside: writes are dropped and Flush reports failure.
    bool Writable() const { return writable_; }

    // The store the settings object works on; null when there is no application object.
    static CProfileStore* Active();
    static void SetActive(CProfileStore* store);

private:
    QVariant Value(const QString& key, const QString& entry) const;
    static QString Path(const QString& key, const QString& entry);

    std::unique_ptr<QSettings> settings_; // replaced by an empty store when the file is set aside
    QString setAsidePath_;
    bool writable_ = true;
};
