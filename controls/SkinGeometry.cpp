#include "controls/SkinGeometry.h"

#include "panels/FormatClock.h"

#include <algorithm>
#include <cmath>

QRectF ParentSourceRect(const QRect& parentWindow, const QSize& parentImage, const QRect& control) {
    if (parentImage.isEmpty() || parentWindow.isEmpty()) return {};
    const float scaleX = float(parentWindow.width()) / float(parentImage.width());
    const float scaleY = float(parentWindow.height()) / float(parentImage.height());
    return QRectF((control.left() - parentWindow.left()) / scaleX, (control.top() - parentWindow.top()) / scaleY,
                  control.width() / scaleX, control.height() / scaleY);
}

QRect HoverImageRect(const QRect& rect, bool hover) { return hover ? rect.adjusted(-2, -2, 2, 2) : rect; }

std::int64_t SliderRangeLength(std::int64_t minimum, std::int64_t maximum) {
    return minimum < 0 ? maximum - minimum : maximum + minimum;
}

int SliderTrackThickness(float thicknessPercent, int clientHeight) {
    return int(std::trunc(thicknessPercent / 100.0f * float(clientHeight) + 0.5f));
}

QRect SliderTrackRect(const QRect& client, int t) {
    // Right and bottom are exclusive edges here, as in the drawing rules.
    const int left = client.left() + t / 2;
    const int right = client.left() + client.width() - t / 2;
    const int top = int(std::trunc(client.top() + (client.height() - t) * 0.5 + 0.5));
    return QRect(left, top, right - left, t);
}

namespace {
double Fraction(std::int64_t minimum, std::int64_t maximum, std::int64_t position) {
    const std::int64_t length = SliderRangeLength(minimum, maximum);
    if (length == 0) return 0.0;
    return std::clamp(double(position - minimum) / double(length), 0.0, 1.0);
}
} // namespace

SliderValueSpan SliderValueSpanFor(const QRect& track, std::int64_t minimum, std::int64_t maximum,
                                   std::int64_t position) {
    const double f = Fraction(minimum, maximum, position);
    const QRect inner = track.adjusted(1, 1, -1, -1);
    SliderValueSpan span;
    span.start = inner.left();
    span.end = inner.left() + inner.width() * f;
    span.knobX = span.end;
    if (minimum < 0) {
        // Between the centre and the position end, which moves across the inner track with f (centre at 0.5).
        const double centre = (track.left() + track.left() + track.width()) / 2;
        span.knobX = span.end;
        span.start = std::min(centre, span.end);
        span.end = std::max(centre, span.end);
    }
    return span;
}

std::int64_t SliderPositionFromX(int x, const QRect& track, std::int64_t minimum, std::int64_t maximum) {
    const double width = std::max(1, track.width());
    const double f = std::clamp((x - track.left()) / width, 0.0, 1.0);
    const auto value = std::int64_t(std::trunc(f * double(SliderRangeLength(minimum, maximum))));
    return minimum < 0 ? value - maximum : value;
}

bool SliderDragsWith(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    return buttons == Qt::LeftButton && (modifiers & ~Qt::KeypadModifier) == Qt::NoModifier;
}

QString SliderTimeTipText(std::int64_t value, float framesPerSecond) {
    return FormatClock(std::int64_t(std::trunc(double(value) / double(framesPerSecond))));
}
