// The window's fixed geometry, written once for the game and both front-ends:
// its outer size, and the frame the game's own picture paints around the
// client area (a 3-pixel rim at the sides and the bottom, a 22-pixel caption
// strip at the top). Every place and hit box of the game is in window points,
// counted from the outer top-left corner; a client point becomes a window
// point by the frame's size.
#pragma once

namespace platform {

constexpr int WindowWidth = 350;
constexpr int WindowHeight = 420;
constexpr int FrameSide = 3;       // left and right rim
constexpr int CaptionHeight = 22;  // the strip above the client area
constexpr int FrameBottom = 3;     // the rim below the client area

struct WindowPoint {
    int x;
    int y;
};

constexpr WindowPoint WindowPointFromClient(int x, int y) { return {x + FrameSide, y + CaptionHeight}; }
constexpr WindowPoint ClientPointFromWindow(int x, int y) { return {x - FrameSide, y - CaptionHeight}; }

// The rim and the caption strip: the part of the window outside the client area.
constexpr bool OnFrame(int x, int y) {
    return x < FrameSide || x >= WindowWidth - FrameSide || y < CaptionHeight || y >= WindowHeight - FrameBottom;
}

}  // namespace platform
