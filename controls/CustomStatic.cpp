#include "controls/CustomStatic.h"

#include "controls/CustomButton.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

CCustomStatic::CCustomStatic(QWidget* parent) : QLabel(parent) {}

void CCustomStatic::SetStaticFont(const QString& family) {
    staticFont = MakeControlFont(family, 8, false);
    kept.Forget();
    update();
}

void CCustomStatic::paintEvent(QPaintEvent* event) {
    if (!staticFont) {
        QLabel::paintEvent(event);
        return;
    }
    kept.Paint(*this, text(), QImage::Format_RGB32, Qt::black, [this](QPainter& painter) {
        painter.setFont(*staticFont);
        painter.setPen(Qt::white);
        const QSizeF textSize = QFontMetricsF(*staticFont).size(Qt::TextSingleLine, text());
        const QPointF origin((width() - textSize.width()) * 0.5 - 0.5, (height() - textSize.height()) * 0.5);
        painter.drawText(QRectF(origin, textSize), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text());
    });
    paintedRect = rect();
}
