// Zoom and pan arithmetic of the "Frame Size & Position" commands.
#pragma once

// The renderer's zoom and pan fields. The fields are floats as the renderer keeps them; every step
// is computed in double and stored back, so long key repeats land exactly on the limits.
struct ZoomPanState {
    float zoom = 1.0f;
    float panX = 0.0f;
    float panY = 0.0f;
    float zoomStep = 0.007f;
    float panStep = 0.005f;

    static constexpr double kMinZoom = 0.2;
    static constexpr double kMaxZoom = 4.0;
    static constexpr double kMaxPan = 1.0;
};

// Applies one command ID_ZOOM_ORIGINAL .. ID_ZOOM_OUT: Original Size resets to zoom 1 and pan 0;
// Move Left/Right change panX and Move Up/Down panY by panStep; Frame Size +/- change zoom by
// zoomStep; zoom stays in [0.2, 4], pan in [-1, 1]. Returns false, changing nothing, for any other id.
bool ApplyZoomPanCommand(int command, ZoomPanState& state);
