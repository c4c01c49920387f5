#include "engine/MediaPath.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>

QString FileNameOf(const QString& path) {
#ifdef _WIN32
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
#else
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
#endif
    return slash <= 0 ? QString() : path.mid(slash + 1);
}

bool IsMediaUrl(const QString& path) {
    const qsizetype colon = path.indexOf(QStringLiteral("://"));
    // One letter before the colon is a Windows drive, not a scheme.
    if (colon < 2) return false;
    const QUrl url(path);
    return url.isValid() && !url.isLocalFile() && url.scheme().size() == colon;
}

QString NormalizeMediaPath(const QString& path) {
    if (path.isEmpty()) return path;
    QString local = path;
    if (path.startsWith(QLatin1String("file://"), Qt::CaseInsensitive)) {
        local = QUrl(path).toLocalFile();
        if (local.isEmpty()) return path;
    } else if (IsMediaUrl(path)) {
        return path;
    }
    const QFileInfo info(local);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}
