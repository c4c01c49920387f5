#include "document/ZoomPan.h"

#include "resources/CommandIds.h"

#include <algorithm>

bool ApplyZoomPanCommand(int command, ZoomPanState& state)
{
    double zoom = state.zoom;
    double panX = state.panX;
    double panY = state.panY;
    const double zoomStep = state.zoomStep;
    const double panStep = state.panStep;
    switch (command) {
    case ID_ZOOM_ORIGINAL:
        zoom = 1.0;
        panX = 0.0;
        panY = 0.0;
        break;
    case ID_PAN_LEFT: panX -= panStep; break;
    case ID_PAN_RIGHT: panX += panStep; break;
    case ID_PAN_UP: panY -= panStep; break;
    case ID_PAN_DOWN: panY += panStep; break;
    case ID_ZOOM_IN: zoom += zoomStep; break;
    case ID_ZOOM_OUT: zoom -= zoomStep; break;
    default: return false;
    }
    if (command != ID_ZOOM_ORIGINAL)
        zoom = std::clamp(zoom, ZoomPanState::kMinZoom, ZoomPanState::kMaxZoom);
    state.zoom = static_cast<float>(zoom);
    state.panX = static_cast<float>(std::clamp(panX, -ZoomPanState::kMaxPan, ZoomPanState::kMaxPan));
    state.panY = static_cast<float>(std::clamp(panY, -ZoomPanState::kMaxPan, ZoomPanState::kMaxPan));
    return true;
}
