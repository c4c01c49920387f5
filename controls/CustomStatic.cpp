#include "controls/CustomStatic.h"

#include "controls/CustomButton.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

CCustomStatic::CCustomStatic(QWidget* parent) : QLabel(parent) {}

void CCustomStatic::SetStaticFont(const QString& family) {
    staticFont = MakeControlFont(family, 8, false);
    update();
}

void CCustomStatic::paintEvent(QPaintEvent* event) {
    if (!staticFont) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.setFont(*staticFont);
    painter.setPen(Qt::white);
    const QSizeF size = QFontMetricsF(*staticFont).size(Qt::TextSingleLine, text());
    const QPointF origin((width() - size.width()) * 0.5 - 0.5, (height() - size.height()) * 0.5);
    painter.drawText(QRectF(origin, size), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text());
    paintedRect = rect();
}
