#include "controls/CustomToolTip.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

CCustomToolTip::CCustomToolTip(QWidget* owner)
    : QWidget(owner ? owner->window() : nullptr,
              Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(tr("Time"));
}

std::unique_ptr<CCustomToolTip> CCustomToolTip::CreateToolTipWindow(QWidget* owner) {
    return std::unique_ptr<CCustomToolTip>(new CCustomToolTip(owner));
}

void CCustomToolTip::ShowTipAt(const QString& newText, const QPoint& p) {
    if (!font) return;
    anchor = p;
    if (newText.size() != text.size() || textSize.width() == -999) {
        const QSizeF measured = QFontMetricsF(*font).size(Qt::TextSingleLine, newText);
        textSize = QSize(int(std::floor(measured.width())), int(std::floor(measured.height())));
    }
    text = newText;
    setGeometry(p.x() - textSize.width() / 2, p.y() - textSize.height(), textSize.width() + 1,
                textSize.height() + 1);
    setAccessibleDescription(text);
    update();
}

void CCustomToolTip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.setPen(Qt::white);
    painter.drawRect(0, 0, width() - 1, height() - 1);
    if (!font) return;
    painter.setFont(*font);
    const double y = std::max(0.0, height() * 0.5 - textSize.height() * 0.5 + 1);
    painter.drawText(QRectF(0, y, width(), textSize.height()), Qt::AlignLeft | Qt::AlignTop, text);
}
