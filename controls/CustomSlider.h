// CCustomSlider: the skinned horizontal slider (seek bar, volume, picture and balance sliders) with a 64-bit
// range: a capsule track, the value part, an optional knob, a hover line and a time tip. A click or a
// left-button drag moves the position to the mouse at once and tells the owner.
#pragma once

#include "controls/CustomToolTip.h"
#include "controls/KeptDrawing.h"
#include "controls/SeekCoalescer.h"

#include <QColor>
#include <QCursor>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

class CCustomSlider : public QWidget {
    Q_OBJECT
public:
    explicit CCustomSlider(QWidget* parent = nullptr);
    ~CCustomSlider() override;

    // A bold 10-point font of that family (the generic sans-serif family when unknown), for the time tip.
    void SetSliderFont(const QString& family);
    // (Re)creates the time tip with a copy of the slider's font.
    void CreateTimeToolTip();
    // The owner finished the seek it was given by SeekRequested; the newest position the user moved to
    // meanwhile, if any, is requested now.
    void SeekServed();

    // True from a left-button press on the slider until its release: the user is placing the position.
    bool Dragging() const { return dragging; }
    // The value under client x (see SliderPositionFromX).
    std::int64_t PositionFromPoint(const QPoint& p) const;

    // Set directly by the owning panel, then update().
    QPointer<QWidget> forwardWindow;         // receives keys and wheel turns
    std::unique_ptr<CCustomToolTip> timeToolTip;
    const QImage* parentImage = nullptr;     // the panel's skin, stretched over the panel; not owned
    std::unique_ptr<QFont> font;
    std::optional<QCursor> hoverCursor;
    QColor backgroundColor{0, 0, 0}, trackColor{0, 0, 0}, valueColor{0, 0, 0};
    std::int64_t maximum = 0, minimum = 0, position = 0;
    QRect clientRect, paintedRect, trackRect;
    QPoint mousePoint{-999, -999};
    bool tracking = false;   // the mouse is over the control
    std::uint8_t alpha = 255;
    bool knobShown = false;
    float thickness = 100.0f;        // track thickness, percent of the client height
    float fpsFactor = -999.0f;       // position units per second, for the time tip

signals:
    // The user moved the position (click or each drag step), at the mouse's pace; read `position`.
    void PositionChanging(qint64 position);
    // The same moves, but at most one outstanding: the next comes after SeekServed(), carrying the newest
    // position. Consumers that take time per move (the engine's seek) listen here.
    void SeekRequested(qint64 position);
    // The mouse entered the control or the user moved it: the view keeps the tool windows on top.
    void KeepToolWindowsOnTop();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // What one paint depends on besides the size: over the picture the slider is drawn anew only when one of
    // these changed.
    struct Look {
        QRgb background = 0, track = 0, value = 0;
        std::uint8_t alpha = 255;
        float thickness = 0;
        std::int64_t minimum = 0, maximum = 0;
        long valueEnd = 0, knobX = 0; // whole pixels: the position moves a fraction of one with every frame
        bool tracking = false, leftButton = false, knobShown = false;
        QPoint mousePoint;
        bool operator==(const Look&) const = default;
    };
    Look CurrentLook() const;
    void Draw(QPainter& painter);

    void UserMove(const QPoint& p);
    void UpdateTimeTip(const QPoint& p);
    QRect CurrentTrackRect() const;

    CSeekCoalescer seeks;
    bool dragging = false;
    CKeptDrawing<Look> kept;
};
