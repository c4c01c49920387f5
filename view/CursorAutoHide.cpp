#include "view/CursorAutoHide.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>

void CCursorAutoHide::OnMouseMove()
{
    mouseTracking_ = true;
    leftInside_ = false;
}

void CCursorAutoHide::OnMouseLeave(bool leftButtonDown, bool insideViewRect)
{
    if (leftButtonDown) {
        leftInside_ = true;
        return;
    }
    leftInside_ = insideViewRect;
    mouseTracking_ = false;
}

bool CCursorAutoHide::Tick(bool active, const QRect& viewRect, QPoint cursor)
{
    if (!active || !mouseTracking_) {
        // Restart the count, so after a stop or a drag the cursor gets its full 2.5 s again.
        stillTicks_ = 0;
        cursorShown_ = true;
        return cursorShown_;
    }
    const QRect area = viewRect.adjusted(-kBorder, -kBorder, kBorder, kBorder);
    if (area.contains(cursor) && cursor == lastCursor_) {
        if (stillTicks_ < kHideAfterTicks)
            ++stillTicks_;
        cursorShown_ = stillTicks_ < kHideAfterTicks;
    } else {
        stillTicks_ = 0;
        cursorShown_ = true;
    }
    lastCursor_ = cursor;
    return cursorShown_;
}

CViewCursorHider::CViewCursorHider(QWidget* view) : QObject(view), view_(view)
{
    view->setMouseTracking(true);
    view->installEventFilter(this);
}

CViewCursorHider::~CViewCursorHider()
{
    // Never leave a blank cursor behind on a view that outlives this object.
    Apply(true);
}

void CViewCursorHider::Tick(bool active)
{
    if (!view_)
        return;
    const QRect rect(view_->mapToGlobal(QPoint(0, 0)), view_->size());
    Apply(logic_.Tick(active, rect, QCursor::pos(view_->screen())));
}

bool CViewCursorHider::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view_) {
        if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
            logic_.OnMouseMove();
            // The first movement shows the cursor at once, not at the next tick.
            if (!applied_ && event->type() == QEvent::MouseMove)
                Apply(true);
        } else if (event->type() == QEvent::Leave) {
            const bool leftDown = QGuiApplication::mouseButtons() & Qt::LeftButton;
            const QRect rect(view_->mapToGlobal(QPoint(0, 0)), view_->size());
            logic_.OnMouseLeave(leftDown, rect.contains(QCursor::pos(view_->screen())));
        }
    }
    return QObject::eventFilter(watched, event);
}

void CViewCursorHider::Apply(bool shown)
{
    if (!view_ || shown == applied_)
        return;
    if (shown) {
        if (hadOwnCursor_)
            view_->setCursor(ownCursor_);
        else
            view_->unsetCursor();
    } else {
        hadOwnCursor_ = view_->testAttribute(Qt::WA_SetCursor);
        ownCursor_ = view_->cursor();
        view_->setCursor(Qt::BlankCursor);
    }
    applied_ = shown;
}
