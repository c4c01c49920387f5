// FitFrame: where a frame of a given size goes inside the view's client area (letterbox or pillarbox).
#pragma once

// Client coordinates in logical pixels; all zeros when there is no frame to place.
struct DestRect {
    float X = 0.0f;
    float Y = 0.0f;
    float W = 0.0f;
    float H = 0.0f;
};

// frameHeight may be negative (a top-down header); only its magnitude matters. Whatever the client's shape,
// the whole picture is shown, aspect kept and centred, as large as the client allows: a client at least the
// frame's size in one side and exactly it in the other shows the frame pixel for pixel. A client without
// area gives all zeros.
DestRect FitFrame(int frameWidth, int frameHeight, int clientWidth, int clientHeight);
