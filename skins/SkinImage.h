// LoadSkinImage: reads one skin image file, taking its "@2x" twin on high-density screens.
#pragma once

#include <QImage>
#include <QString>

// The image at path, or its "Name@2x.ext" twin (marked as a 2x image) when devicePixelRatio is above 1 and the
// twin exists. A missing or unreadable file gives a null image and no message: the control then draws without
// it, as every skinned control does.
QImage LoadSkinImage(const QString& path, qreal devicePixelRatio);

// "dir/Name@2x.ext" for "dir/Name.ext"; a path without an extension gets "@2x" appended.
QString SkinImageTwinPath(const QString& path);

// One skin image at both densities, loaded once; drawing picks the one that suits the surface.
class CSkinImage {
public:
    CSkinImage() = default;
    explicit CSkinImage(const QString& path) : oneX(LoadSkinImage(path, 1.0)), twoX(LoadSkinImage(path, 2.0)) {}

    bool isNull() const { return oneX.isNull() && twoX.isNull(); }
    // The image for a surface of this device pixel ratio (either one when only one could be read).
    const QImage& For(qreal devicePixelRatio) const {
        if (devicePixelRatio > 1.0 && !twoX.isNull()) return twoX;
        return oneX.isNull() ? twoX : oneX;
    }
    // Size in logical pixels, as panels lay out with it.
    QSize Size() const { return For(1.0).deviceIndependentSize().toSize(); }

private:
    QImage oneX, twoX;
};
