#include "document/ResumeStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {
// Files shorter than this start from the beginning: there is little to lose.
constexpr std::int64_t kShortestResumable = 60;
// Positions this close to the start are not worth a jump and a message.
constexpr std::int64_t kBarelyStarted = 5;
} // namespace

bool WorthResuming(std::int64_t seconds, std::int64_t duration) {
    if (duration < kShortestResumable || seconds < kBarelyStarted) return false;
    // Within 5 % of the end the file counts as watched.
    return seconds * 100 < duration * 95;
}

CResumeStore::CResumeStore(QString file) : file_(std::move(file)) {}

void CResumeStore::Load() {
    entries_.clear();
    if (file_.isEmpty()) return;
    QFile in(file_);
    if (!in.open(QIODevice::ReadOnly)) return;
    // A store larger than any this program writes is not one of its own.
    if (in.size() > 4 * 1024 * 1024) return;
    const QJsonDocument document = QJsonDocument::fromJson(in.readAll());
    const QJsonArray files = document.object().value(QStringLiteral("files")).toArray();
    for (const QJsonValue& value : files) {
        const QJsonObject entry = value.toObject();
        const QString path = entry.value(QStringLiteral("path")).toString();
        const double size = entry.value(QStringLiteral("size")).toDouble(-1);
        const double seconds = entry.value(QStringLiteral("position")).toDouble(-1);
        // An entry with anything missing or out of range is dropped alone; the rest are still good.
        if (path.isEmpty() || size < 0 || seconds < 0 || seconds > 1e9 || size > 9e15) continue;
        if (IndexOf(path, static_cast<std::int64_t>(size)) >= 0) continue;
        entries_.append({path, static_cast<std::int64_t>(size), static_cast<std::int64_t>(seconds)});
        if (entries_.size() == kMaxFiles) break;
    }
}

bool CResumeStore::Save() const {
    if (file_.isEmpty()) return false;
    QJsonArray files;
    for (const Entry& entry : entries_)
        files.append(QJsonObject{{QStringLiteral("path"), entry.path},
                                 {QStringLiteral("size"), static_cast<double>(entry.size)},
                                 {QStringLiteral("position"), static_cast<double>(entry.seconds)}});
    QSaveFile out(file_);
    // Never written in place: a reader (or the next start after a crash) sees the old store or the new one.
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly)) return false;
    out.write(QJsonDocument(QJsonObject{{QStringLiteral("version"), 1}, {QStringLiteral("files"), files}})
                  .toJson(QJsonDocument::Compact));
    return out.commit();
}

int CResumeStore::IndexOf(const QString& path, std::int64_t size) const {
    for (int i = 0; i < entries_.size(); ++i)
        if (entries_[i].size == size && entries_[i].path == path) return i;
    return -1;
}

std::optional<std::int64_t> CResumeStore::Find(const QString& path, std::int64_t size) const {
    const int index = IndexOf(path, size);
    if (index < 0) return std::nullopt;
    return entries_[index].seconds;
}

void CResumeStore::Remember(const QString& path, std::int64_t size, std::int64_t seconds) {
    Forget(path, size);
    entries_.prepend({path, size, seconds});
    while (entries_.size() > kMaxFiles)
        entries_.removeLast();
}

void CResumeStore::Forget(const QString& path, std::int64_t size) {
    if (const int index = IndexOf(path, size); index >= 0) entries_.removeAt(index);
}
