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
