// FitFrame: where a frame of a given size goes inside the view's client area (letterbox or pillarbox).
#pragma once

// Client coordinates in logical pixels; all zeros when there is no frame to place.
struct DestRect {
    float X = 0.0f;
    float Y = 0.0f;
    float W = 0.0f;
    float H = 0.0f;
};

// frameHeight may be negative (a top-down header); only its magnitude matters. A landscape client keeps
// the whole picture; a portrait (or square) client fills its width and may cut a tall picture.
DestRect FitFrame(int frameWidth, int frameHeight, int clientWidth, int clientHeight);
