// Where the docked bars go and when they show: the rules behind the document's panel operations.
#pragma once

#include <QRect>

// frame is the frame's window rectangle in the coordinates the bar is placed in.
QRect TitleBarRect(const QRect& frame, int barHeight, int cxEdge, int cyEdge);
QRect ControlBarRect(const QRect& frame, int barHeight, int cxEdge);

struct PanelVisibilityInputs {
    bool cursorInFrame = false;
    bool cursorShown = true;
    bool stopped = false; // the engine exists and reports play state 2
    bool popupMenuOpen = false;
    bool opening = false;
};
// Whether the title and control bars should be showing.
bool BarsWanted(const PanelVisibilityInputs& in);
