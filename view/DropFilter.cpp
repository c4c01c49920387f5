#include "view/DropFilter.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

namespace {

// Playlist paths are compared without regard to case, the way the original file system does.
QString PathKey(const QString& path) { return QDir::cleanPath(path).toCaseFolded(); }

} // namespace

CDropFilter::CDropFilter(SupportedPredicate isSupported, QStringList playlistPaths)
    : isSupported_(std::move(isSupported))
{
    for (const QString& path : playlistPaths)
        playlistKeys_.insert(PathKey(path));
}

QStringList CDropFilter::FolderFiles(const QString& folder)
{
    const QDir dir(folder);
    QStringList files;
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase))
        files.append(info.absoluteFilePath());
    return files;
}

QStringList CDropFilter::Collect(const QList<QUrl>& urls, bool firstOnly) const
{
    QStringList taken;
    QSet<QString> takenKeys;
    auto consider = [&](const QString& path) {
        const QString key = PathKey(path);
        if (playlistKeys_.contains(key) || takenKeys.contains(key) || !isSupported_ || !isSupported_(path))
            return false;
        taken.append(path);
        takenKeys.insert(key);
        return firstOnly;
    };
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo info(url.toLocalFile());
        if (info.isDir()) {
            for (const QString& file : FolderFiles(info.absoluteFilePath()))
                if (consider(file))
                    return taken;
        } else if (info.isFile()) {
            if (consider(info.absoluteFilePath()))
                return taken;
        }
    }
    return taken;
}

QStringList CDropFilter::Acceptable(const QList<QUrl>& urls) const { return Collect(urls, false); }

bool CDropFilter::AcceptsAny(const QList<QUrl>& urls) const { return !Collect(urls, true).isEmpty(); }
