#include "app/DesktopMimeTypes.h"

#include <QMimeDatabase>
#include <QRegularExpression>
#include <set>

QStringList ExtensionsOfFilter(const QString& filter) {
    QStringList extensions;
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9_+\\-]+)"));
    for (auto it = pattern.globalMatch(filter); it.hasNext();) {
        const QString extension = it.next().captured(1).toLower();
        if (!extensions.contains(extension)) extensions << extension;
    }
    return extensions;
}

QStringList VideoMimeTypesForExtensions(const QStringList& extensions) {
    const QMimeDatabase database;
    std::set<QString> types;
    for (const QString& extension : extensions) {
        // Every type claiming the extension, not just the preferred one: ".ts" is both a video stream and
        // source text, and the video reading is the one that matters here.
        for (const QMimeType& type : database.mimeTypesForFileName(QStringLiteral("x.") + extension)) {
            if (type.name().startsWith(QLatin1String("video/"))) types.insert(type.name());
            for (const QString& alias : type.aliases())
                if (alias.startsWith(QLatin1String("video/"))) types.insert(alias);
        }
    }
    return {types.begin(), types.end()};
}
