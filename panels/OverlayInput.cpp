#include "panels/OverlayInput.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

void ForwardPressToView(QWidget* view, QMouseEvent* event) {
    event->accept();
    if (!view) return;
    const QPointF global = event->globalPosition();
    // Sent, not posted: the view starts moving the window from this very press.
    QMouseEvent copy(event->type(), view->mapFromGlobal(global), global, event->button(), event->buttons(),
                     event->modifiers(), event->pointingDevice());
    QCoreApplication::sendEvent(view, &copy);
}

void ForwardContextMenuToView(QWidget* view, QContextMenuEvent* event) {
    event->accept();
    if (!view) return;
    QContextMenuEvent copy(event->reason(), view->mapFromGlobal(event->globalPos()), event->globalPos(),
                           event->modifiers());
    QCoreApplication::sendEvent(view, &copy);
}
