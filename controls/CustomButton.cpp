#include "controls/CustomButton.h"

#include "controls/SkinGeometry.h"
#include "skins/SkinImage.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QWheelEvent>
#include <exception>

void ForwardInputEvent(QWidget* from, QWidget* target, QEvent* event) {
    if (!target) return;
    if (event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const QPointF local = target->mapFromGlobal(wheel->globalPosition());
        QCoreApplication::postEvent(target, new QWheelEvent(local, wheel->globalPosition(), wheel->pixelDelta(),
                                                            wheel->angleDelta(), wheel->buttons(),
                                                            wheel->modifiers(), wheel->phase(), wheel->inverted()));
        return;
    }
    Q_UNUSED(from);
    QCoreApplication::postEvent(target, event->clone());
}

bool HandleControlEvent(QWidget* control, QWidget* forwardWindow, bool forwardInput, QEvent* event,
                        const std::function<bool()>& base) {
    try {
        const QEvent::Type type = event->type();
        if (forwardInput && (type == QEvent::KeyPress || type == QEvent::Wheel)) {
            ForwardInputEvent(control, forwardWindow, event);
            event->accept();
            return true;
        }
        // A screen reader announces what the tooltip says.
        if (type == QEvent::ToolTipChange && !control->toolTip().isEmpty()) control->setAccessibleName(control->toolTip());
        return base();
    } catch (const std::exception&) {
        // Only an allocation can fail here; dropping this one event keeps the panel usable.
        return true;
    }
}

std::unique_ptr<QFont> MakeControlFont(const QString& family, int pointSize, bool bold) {
    auto made = std::make_unique<QFont>();
    if (QFontDatabase::hasFamily(family)) {
        made->setFamily(family);
    } else {
        made->setStyleHint(QFont::SansSerif);
        made->setFamily(QStringLiteral("sans-serif"));
    }
    made->setPointSize(pointSize);
    made->setBold(bold);
    return made;
}

void DrawParentBackground(QPainter& painter, const QWidget* control, const QImage& parentImage) {
    const QWidget* parent = control->parentWidget();
    if (!parent || parentImage.isNull()) return;
    const QRect parentOnScreen(parent->mapToGlobal(QPoint(0, 0)), parent->size());
    const QRect controlOnScreen(control->mapToGlobal(QPoint(0, 0)), control->size());
    const QRectF source = ParentSourceRect(parentOnScreen, parentImage.size(), controlOnScreen);
    painter.drawImage(QRectF(control->rect()), parentImage, source);
}

CCustomButton::CCustomButton(QWidget* parent) : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Button"));
}

void CCustomButton::SetImages(const QString& normal, const QString& checked, const QString& third) {
    if (normal.isEmpty()) return;
    setCheckable(false);
    normalImage = CSkinImage(normal);
    checkedImage = CSkinImage();
    thirdImage = CSkinImage();
    imageSize = normalImage.Size();
    if (!checked.isEmpty()) {
        setCheckable(true);
        checkedImage = CSkinImage(checked);
    }
    if (!third.isEmpty()) thirdImage = CSkinImage(third);
    updateGeometry();
    update();
}

void CCustomButton::Resize(int cx, int cy) {
    if (cx < 1 && cy < 1) return;
    resize(cx >= 1 ? cx : width(), cy >= 1 ? cy : height());
}

QSize CCustomButton::SizeToContent(bool calcOnly) {
    if (!calcOnly) Resize(imageSize.width(), imageSize.height());
    return imageSize;
}

QSize CCustomButton::sizeHint() const { return imageSize.isEmpty() ? QSize(16, 16) : imageSize; }

void CCustomButton::DrawButtonImage(QPainter& painter, const QRect& rect) const {
    const QRect target = HoverImageRect(rect, hover);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    // A two-state button whose second image is missing keeps showing its first, so it stays recognisable.
    const CSkinImage& look = isChecked() && !checkedImage.isNull() ? checkedImage : normalImage;
    // The engine's device is the real target (backing store, or an image when rendered elsewhere); its ratio
    // says which density of art gives crisp pixels.
    const QPaintDevice* device = painter.paintEngine() ? painter.paintEngine()->paintDevice() : painter.device();
    const QImage& image = look.For(device ? device->devicePixelRatioF() : 1.0);
    if (!image.isNull()) painter.drawImage(QRectF(target), image);
}

void CCustomButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (parentImage)
        DrawParentBackground(painter, this, *parentImage);
    else if (!IsTransparentKey(backgroundColor))
        painter.fillRect(rect(), backgroundColor);
    painter.setClipRect(rect());
    DrawButtonImage(painter, rect());
}

bool CCustomButton::event(QEvent* event) {
    return HandleControlEvent(this, forwardWindow, true, event, [&] { return QAbstractButton::event(event); });
}

void CCustomButton::enterEvent(QEnterEvent* event) {
    hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CCustomButton::leaveEvent(QEvent* event) {
    hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}
