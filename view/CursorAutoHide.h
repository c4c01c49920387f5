// Hides the mouse cursor over a still video on the view's 100 ms timer and shows it again on movement.
#pragma once

#include <QCursor>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

class QWidget;

// The decision, free of any window: fed with pointer tracking and one call per timer tick.
class CCursorAutoHide {
public:
    // Still ticks before the cursor hides: 25 x 100 ms = 2.5 s.
    static constexpr int kHideAfterTicks = 25;
    // Margin around the view's rectangle that still counts as over the video (the frame's border).
    static constexpr int kBorder = 6;

    // The pointer moved over the view: tracking starts (again).
    void OnMouseMove();
    // The pointer left the view. With the left button down (a drag in progress) tracking goes on.
    void OnMouseLeave(bool leftButtonDown, bool insideViewRect);

    // One timer tick. active = a file is open and playback is playing or paused, and the frame is
    // not being moved or sized. viewRect and cursor are in global coordinates. Returns whether the
    // cursor should be visible now.
    bool Tick(bool active, const QRect& viewRect, QPoint cursor);

    bool CursorShown() const { return cursorShown_; }
    bool Tracking() const { return mouseTracking_; }

private:
    bool mouseTracking_ = false;
    bool leftInside_ = false;
    bool cursorShown_ = true;
    int stillTicks_ = 0;
    QPoint lastCursor_{-999, -999};
};

// The adapter for a real view: watches its mouse moves and leaves (it turns on mouse tracking for
// that), and on Tick applies Qt::BlankCursor to the view or restores the cursor the view had before.
class CViewCursorHider : public QObject {
    Q_OBJECT
public:
    explicit CViewCursorHider(QWidget* view);
    ~CViewCursorHider() override;

    // Call from the view's 100 ms timer; the cursor position is read from QCursor::pos().
    void Tick(bool active);
    const CCursorAutoHide& State() const { return logic_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Apply(bool shown);

    QPointer<QWidget> view_;
    CCursorAutoHide logic_;
    bool applied_ = true;  // what the view shows now
    bool hadOwnCursor_ = false;  // the view's own cursor, given back when the cursor shows again
    QCursor ownCursor_;
};
