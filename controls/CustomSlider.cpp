#include "controls/CustomSlider.h"

#include "controls/CustomButton.h"
#include "controls/SkinGeometry.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <cmath>
#include <exception>

namespace {
QColor WithAlpha(QColor colour, std::uint8_t alpha) {
    colour.setAlpha(alpha);
    return colour;
}

// A horizontal capsule: half circles of diameter height at both ends joined by straight edges.
QPainterPath Capsule(const QRectF& r) {
    const double d = r.height();
    QPainterPath path;
    path.moveTo(r.left() + d / 2, r.bottom());
    path.arcTo(QRectF(r.left(), r.top(), d, d), 270, -180);
    path.lineTo(r.right() - d / 2, r.top());
    path.arcTo(QRectF(r.right() - d, r.top(), d, d), 90, -180);
    path.closeSubpath();
    return path;
}
} // namespace

CCustomSlider::CCustomSlider(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(tr("Slider"));
}

CCustomSlider::~CCustomSlider() = default;

void CCustomSlider::SetSliderFont(const QString& family) {
    font = MakeControlFont(family, 10, true);
}

void CCustomSlider::CreateTimeToolTip() {
    timeToolTip = CCustomToolTip::CreateToolTipWindow(this);
    if (font) timeToolTip->font = std::make_unique<QFont>(*font);
}

QRect CCustomSlider::CurrentTrackRect() const {
    return SliderTrackRect(rect(), SliderTrackThickness(thickness, height()));
}

std::int64_t CCustomSlider::PositionFromPoint(const QPoint& p) const {
    return SliderPositionFromX(p.x(), CurrentTrackRect(), minimum, maximum);
}

CCustomSlider::Look CCustomSlider::CurrentLook() const {
    Look look;
    look.background = backgroundColor.rgba();
    look.track = trackColor.rgba();
    look.value = valueColor.rgba();
    look.alpha = alpha;
    look.thickness = thickness;
    look.minimum = minimum;
    look.maximum = maximum;
    if (maximum > 0) {
        const SliderValueSpan span = SliderValueSpanFor(CurrentTrackRect(), minimum, maximum, position);
        look.valueEnd = std::lround(span.end);
        look.knobX = std::lround(span.knobX);
    }
    look.tracking = tracking;
    look.leftButton = tracking && (QGuiApplication::mouseButtons() & Qt::LeftButton);
    look.knobShown = tracking && knobShown;
    look.mousePoint = tracking ? mousePoint : QPoint();
    return look;
}

void CCustomSlider::paintEvent(QPaintEvent*) {
    clientRect = rect();
    trackRect = CurrentTrackRect();
    paintedRect = clientRect;
    // A slider on a skin image (the tool windows) takes its background from where it sits on the screen,
    // and is not over the picture: it is simply drawn.
    if (parentImage) {
        QPainter painter(this);
        Draw(painter);
        return;
    }
    kept.Paint(*this, CurrentLook(), QImage::Format_ARGB32_Premultiplied, Qt::transparent,
               [this](QPainter& painter) { Draw(painter); });
}

void CCustomSlider::Draw(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    if (!IsTransparentKey(backgroundColor)) painter.fillRect(clientRect, WithAlpha(backgroundColor, alpha));
    if (parentImage) DrawParentBackground(painter, this, *parentImage);

    const QColor trackEdge(trackColor.red() / 2, trackColor.green() / 2, trackColor.blue() / 2);
    painter.setPen(QPen(trackEdge, 1));
    painter.setBrush(WithAlpha(trackColor, alpha));
    painter.drawPath(Capsule(QRectF(trackRect)));

    if (minimum < 0) {
        const double x = (clientRect.left() + clientRect.left() + clientRect.width()) / 2 + 0.5;
        painter.setPen(QPen(WithAlpha(Qt::red, alpha), 1));
        painter.drawLine(QPointF(x, clientRect.top()), QPointF(x, clientRect.top() + clientRect.height()));
    }

    if (maximum > 0) {
        const SliderValueSpan span = SliderValueSpanFor(trackRect, minimum, maximum, position);
        const QRect inner = trackRect.adjusted(1, 1, -1, -1);
        if (span.end - span.start > trackRect.height() / 2.0) {
            painter.setPen(QPen(WithAlpha(valueColor, alpha), 1));
            painter.setBrush(WithAlpha(valueColor, alpha));
            painter.drawPath(Capsule(QRectF(span.start, inner.top(), span.end - span.start, inner.height())));
        }
        if (tracking) {
            if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
                painter.setPen(QPen(QColor(0xFF, 0xFF, 0x00), 1));
                painter.drawLine(QPointF(mousePoint.x() + 0.5, 0), QPointF(mousePoint.x() + 0.5, height()));
            }
            if (knobShown) {
                const double r = trackRect.height() * 0.5 + 2;
                const double x = std::clamp(span.knobX, trackRect.left() + r / 2,
                                            trackRect.left() + trackRect.width() - r / 2);
                painter.setPen(Qt::NoPen);
                painter.setBrush(WithAlpha(Qt::red, alpha));
                painter.drawEllipse(QPointF(x, trackRect.top() + trackRect.height() / 2.0), r, r);
            }
        }
    }
}

void CCustomSlider::UserMove(const QPoint& p) {
    position = PositionFromPoint(p);
    update();
    emit PositionChanging(position);
    if (const auto now = seeks.Offer(position)) emit SeekRequested(*now);
    emit KeepToolWindowsOnTop();
}

void CCustomSlider::SeekServed() {
    if (const auto next = seeks.Served()) emit SeekRequested(*next);
}

void CCustomSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging = true;
    UserMove(event->position().toPoint());
}

void CCustomSlider::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (!tracking) {
        tracking = true;
        emit KeepToolWindowsOnTop();
    }
    if (SliderDragsWith(event->buttons(), event->modifiers())) UserMove(p);
    if (hoverCursor && tracking) setCursor(*hoverCursor);
    mousePoint = p;
    UpdateTimeTip(p);
    update();
}

void CCustomSlider::mouseReleaseEvent(QMouseEvent* event) {
    QToolTip::hideText();
    if (event->button() != Qt::LeftButton || !dragging) return;
    dragging = false;
    // The drag ends exactly where the button was let go, even if no move event reported that point.
    if (SliderDragsWith(Qt::LeftButton, event->modifiers()) && PositionFromPoint(event->position().toPoint()) != position)
        UserMove(event->position().toPoint());
}

void CCustomSlider::leaveEvent(QEvent* event) {
    tracking = false;
    update();
    UpdateTimeTip(QPoint(0, 0));
    QWidget::leaveEvent(event);
}

void CCustomSlider::UpdateTimeTip(const QPoint& p) {
    if (!timeToolTip) return;
    if (tracking && SliderRangeLength(minimum, maximum) > 0) {
        const QString text = SliderTimeTipText(PositionFromPoint(p), fpsFactor);
        timeToolTip->ShowTipAt(text, mapToGlobal(QPoint(p.x(), 0)));
        timeToolTip->show();
    } else {
        timeToolTip->hide();
    }
}

bool CCustomSlider::event(QEvent* event) {
    return HandleControlEvent(this, forwardWindow, true, event, [&] { return QWidget::event(event); });
}
