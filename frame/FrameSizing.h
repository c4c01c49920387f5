// The main frame's layout constants and the minimum-size rule applied while the user drags a border.
#pragma once

inline constexpr int FRAME_BORDER_WIDTH = 6;
inline constexpr int FRAME_BORDER_HEIGHT = 6;
inline constexpr int MIN_FRAME_WIDTH = 480;
inline constexpr int MIN_FRAME_HEIGHT = 280;

// Which border or corner is being dragged.
enum class SizingEdge { Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };

// A window rectangle with exclusive right and bottom, as the sizing code reasons about edges.
struct FrameRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const FrameRect&, const FrameRect&) = default;
};

// Grows a too-small proposed rectangle back to the minimum by moving the dragged edge, never the opposite one.
FrameRect EnforceMinimumSize(SizingEdge edge, FrameRect proposed);
