#include "skins/SkinImage.h"

#include <QFileInfo>
#include <QImageReader>

QString SkinImageTwinPath(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    if (dot <= slash + 1) return path + QStringLiteral("@2x");
    return path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}

QImage LoadSkinImage(const QString& path, qreal devicePixelRatio) {
    if (path.isEmpty()) return {};
    if (devicePixelRatio > 1.0) {
        const QString twin = SkinImageTwinPath(path);
        if (QFileInfo::exists(twin)) {
            QImage image(twin);
            if (!image.isNull()) {
                image.setDevicePixelRatio(2.0);
                return image;
            }
        }
    }
    return QImage(path);
}
