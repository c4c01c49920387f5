#include "controls/CustomStatic.h"

#include "controls/CustomButton.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

CCustomStatic::CCustomStatic(QWidget* parent) : QLabel(parent) {}

void CCustomStatic::SetStaticFont(const QString& family) {
    staticFont = MakeControlFont(family, 8, false);
    cached = QImage();
    update();
}

void CCustomStatic::paintEvent(QPaintEvent* event) {
    if (!staticFont) {
        QLabel::paintEvent(event);
        return;
    }
    const qreal dpr = devicePixelRatioF();
    if (cached.isNull() || cachedText != text() || cached.devicePixelRatio() != dpr ||
        cached.deviceIndependentSize() != QSizeF(size())) {
        cached = QImage((QSizeF(size()) * dpr).toSize(), QImage::Format_RGB32);
        cached.setDevicePixelRatio(dpr);
        cached.fill(Qt::black);
        QPainter painter(&cached);
        painter.setFont(*staticFont);
        painter.setPen(Qt::white);
        const QSizeF textSize = QFontMetricsF(*staticFont).size(Qt::TextSingleLine, text());
        const QPointF origin((width() - textSize.width()) * 0.5 - 0.5, (height() - textSize.height()) * 0.5);
        painter.drawText(QRectF(origin, textSize), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text());
        cachedText = text();
    }
    QPainter(this).drawImage(0, 0, cached);
    paintedRect = rect();
}
