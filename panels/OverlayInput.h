// Mouse input that lands on a floating bar outside its controls is handed to the main view, which then
// moves the window, plays (middle button) or shows the context menu as if the bar were not there.
#pragma once

class QWidget;
class QMouseEvent;
class QContextMenuEvent;

void ForwardPressToView(QWidget* view, QMouseEvent* event);
void ForwardContextMenuToView(QWidget* view, QContextMenuEvent* event);
