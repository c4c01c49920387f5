#include "controls/CustomTabCtrl.h"

#include "controls/CustomButton.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {
// An unselected tab reaches down over the strip's edge line, so the selected one looks raised.
constexpr int kEdgeHeight = 2;
} // namespace

QColor TabTextColor(bool enabled, bool selected, const QColor& text, const QColor& disabledText,
                    const QColor& selectedText) {
    if (!enabled) return disabledText;
    return selected ? selectedText : text;
}

CCustomTabCtrl::CCustomTabCtrl(QWidget* parent)
    : QTabBar(parent), itemFill(palette().color(QPalette::Window)),
      disabledTextColor(palette().color(QPalette::Disabled, QPalette::WindowText)) {
    setDrawBase(false);
    setExpanding(false);
    setAccessibleName(tr("Tabs"));
}

void CCustomTabCtrl::SetItemSize(const QSize& size) {
    itemSize = size;
    updateGeometry();
    update();
}

void CCustomTabCtrl::SetMinTabWidth(int width) {
    minTabWidth = width;
    updateGeometry();
    update();
}

QSize CCustomTabCtrl::tabSizeHint(int index) const {
    QSize size = itemSize.isValid() ? itemSize : QTabBar::tabSizeHint(index);
    size.setWidth(std::max(size.width(), minTabWidth));
    return size;
}

QSize CCustomTabCtrl::minimumTabSizeHint(int index) const { return tabSizeHint(index); }

bool CCustomTabCtrl::event(QEvent* event) {
    // Arrow keys choose a tab, so nothing is forwarded; the shared edge still names and guards the control.
    return HandleControlEvent(this, nullptr, false, event, [&] { return QTabBar::event(event); });
}

void CCustomTabCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (drawParentBackground && parentImage && count() > 0) {
        // Only the strip from the top to the first tab's bottom shows the skin; the rest is the tabs' own fill.
        painter.save();
        painter.setClipRect(QRect(0, 0, width(), tabRect(0).bottom() + 1));
        DrawParentBackground(painter, this, *parentImage);
        painter.restore();
    }
    for (int i = 0; i < count(); ++i) {
        const bool selected = i == currentIndex();
        QRect box = tabRect(i);
        if (!selected) box.setBottom(box.bottom() + kEdgeHeight);
        painter.fillRect(box, itemFill);
        if (!tabFont) continue;
        painter.setFont(*tabFont);
        painter.setPen(TabTextColor(isEnabled(), selected, textColor, disabledTextColor, selectedTextColor));
        const QString label = tabText(i).left(199);
        const QSizeF size = QFontMetricsF(*tabFont).size(Qt::TextSingleLine, label);
        const QPointF origin(QRectF(box).center() - QPointF(size.width() / 2, size.height() / 2));
        painter.drawText(QRectF(origin, size), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, label);
    }
}
