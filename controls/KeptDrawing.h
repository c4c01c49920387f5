// CKeptDrawing: what a control over the picture shows, drawn once into an image and kept. The bars are
// painted again with every frame under them; a control draws anew only when its key (whatever its look
// depends on), its size or its pixel density changed, and otherwise only copies the image.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QWidget>

template <typename Key>
class CKeptDrawing {
public:
    // Paints the kept image on widget (from its paint event), first drawing it again with draw(QPainter&) on
    // an image filled with background when anything it depends on changed.
    template <typename Draw>
    void Paint(QWidget& widget, const Key& key, QImage::Format format, const QColor& background, Draw draw) {
        const qreal dpr = widget.devicePixelRatioF();
        if (image.isNull() || !(key == kept) || image.devicePixelRatio() != dpr ||
            image.deviceIndependentSize() != QSizeF(widget.size())) {
            image = QImage((QSizeF(widget.size()) * dpr).toSize(), format);
            image.setDevicePixelRatio(dpr);
            image.fill(background);
            QPainter painter(&image);
            draw(painter);
            kept = key;
        }
        QPainter(&widget).drawImage(0, 0, image);
    }
    // Something the key does not hold changed (a font): the next paint draws anew.
    void Forget() { image = QImage(); }

private:
    QImage image;
    Key kept{};
};
