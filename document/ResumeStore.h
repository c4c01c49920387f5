// CResumeStore: where each file was left, so that reopening it continues there. A small file beside the
// settings holding the most recently left files; contents that cannot be read are ignored and replaced by
// the next save, which is written whole or not at all.
#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

// Whether a file left at `seconds` of `duration` (both in seconds) opens there next time: not a file under
// a minute, not one watched to within 5 % of its end, and not one barely started.
bool WorthResuming(std::int64_t seconds, std::int64_t duration);

class CResumeStore {
public:
    static constexpr int kMaxFiles = 200;

    // file: where the store lives; empty: nothing is read or written.
    explicit CResumeStore(QString file = {});

    // Reads the file; a missing or unreadable one leaves the store empty (and is replaced at the next save).
    void Load();
    // Writes the store through a temporary file renamed over the old one. False when it could not be written.
    bool Save() const;

    // The position kept for the file of that path and size, in seconds.
    std::optional<std::int64_t> Find(const QString& path, std::int64_t size) const;
    // Keeps the position as the newest entry, dropping the oldest beyond kMaxFiles.
    void Remember(const QString& path, std::int64_t size, std::int64_t seconds);
    // Forgets the file (it was watched to the end, or is too short to resume).
    void Forget(const QString& path, std::int64_t size);

    QString FileName() const { return file_; }
    int Count() const { return static_cast<int>(entries_.size()); }

private:
    struct Entry {
        QString path;
        std::int64_t size = 0;
        std::int64_t seconds = 0;
    };
    int IndexOf(const QString& path, std::int64_t size) const;

    QString file_;
    QList<Entry> entries_; // newest first
};
