// A left-button press or release at a window point, as the message the game
// takes: on the frame or the caption, the non-client message with the point
// on the screen; inside, the client message with the client point. Every
// front-end that makes its own messages (SDL, the page) hands buttons over
// this one way.
#pragma once

#include <cstdint>

#include "seam/messages.h"
#include "seam/platform.h"
#include "seam/window_geometry.h"

namespace platform {

struct ButtonMessage {
    unsigned message;      // msg::LButtonDown/Up or msg::NcLButtonDown/Up
    std::intptr_t lParam;  // the packed point
};

// Without a capture, a point outside the window is not the window's.
constexpr bool InsideWindow(int x, int y) { return x >= 0 && y >= 0 && x < WindowWidth && y < WindowHeight; }

// `origin` is the window's outer top-left corner on the screen.
constexpr ButtonMessage LeftButtonAt(bool press, int x, int y, ScreenPoint origin) {
    if (OnFrame(x, y)) {
        return {press ? msg::NcLButtonDown : msg::NcLButtonUp, msg::PackPoint(origin.x + x, origin.y + y)};
    }
    const WindowPoint client = ClientPointFromWindow(x, y);
    return {press ? msg::LButtonDown : msg::LButtonUp, msg::PackPoint(client.x, client.y)};
}

}  // namespace platform
