// Pure geometry of the skinned controls: which piece of a panel's skin lies behind a control, the slider's
// track, value part and mouse-to-value rules, and the time tip's text. Kept free of widgets so tests can feed
// them the numbers directly.
#pragma once

#include <QRect>
#include <QRectF>
#include <QString>
#include <Qt>
#include <cstdint>

// The part of parentImage (pixel units) behind a control, when the image is stretched over the whole parent
// window. Both rectangles are in the same (screen) coordinates. An empty image or parent gives an empty rect.
QRectF ParentSourceRect(const QRect& parentWindow, const QSize& parentImage, const QRect& control);

// The button image grows by 2 pixels on every side while the mouse is over it.
QRect HoverImageRect(const QRect& rect, bool hover);

// Range length: maximum - minimum for a negative minimum, otherwise maximum + minimum (panels use 0 or -maximum).
std::int64_t SliderRangeLength(std::int64_t minimum, std::int64_t maximum);

// Track thickness in pixels from the thickness percentage of the client height.
int SliderTrackThickness(float thicknessPercent, int clientHeight);

// The capsule track inside the client rectangle, for a track thickness t.
QRect SliderTrackRect(const QRect& client, int thickness);

// Where the value part runs: from start to end (start <= end), and where the knob sits.
struct SliderValueSpan {
    double start = 0;
    double end = 0;
    double knobX = 0;
};
SliderValueSpan SliderValueSpanFor(const QRect& track, std::int64_t minimum, std::int64_t maximum,
                                   std::int64_t position);

// The value under client x: the fraction of the track left of x (clamped to 0..1) times the range length,
// shifted down by the maximum for ranges with a negative minimum.
std::int64_t SliderPositionFromX(int x, const QRect& track, std::int64_t minimum, std::int64_t maximum);

// A mouse move drags only while exactly the left button is down and no modifier key is held.
bool SliderDragsWith(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

// The time tip's text for a value: value / framesPerSecond whole seconds as a clock ("%H:%M:%S").
QString SliderTimeTipText(std::int64_t value, float framesPerSecond);
