// frontends/common holds what more than one front-end uses: this scale rule,
// the catalogue's room, the clock and the names a save works with.
// How large a front-end shows the game's picture on a high-density screen:
// every game pixel as k by k screen pixels, k a whole number chosen from the
// desktop's own scale setting and lowered until the window fits its screen.
// Both front-ends use this one rule; nothing above the seam knows k.
#pragma once

#include <cmath>
#include <cstdlib>

#include "seam/window_geometry.h"

namespace platform {

// A window pixel's coordinate as a game pixel's at scale k: rounded down,
// below 0 too, so that a release one pixel left of the window is outside it
// at every scale.
constexpr int FloorDivide(int value, int k) { return value >= 0 ? value / k : -((-value + k - 1) / k); }

// The desktop's dots per inch at 100 % scale.
constexpr int BaseDpi = 96;

// The nearest whole number to dpi / 96, halves rounded up (120 gives 1, 144
// gives 2, 240 gives 3), at least 1; then the largest k not above it at which
// the whole window fits a work area of workWidth by workHeight device pixels
// (never below 1). A dpi of 0 or less means "not set": k is 1.
constexpr int ChooseScale(int dpi, int workWidth, int workHeight) {
    int k = dpi > 0 ? (dpi + BaseDpi / 2) / BaseDpi : 1;
    if (k < 1) k = 1;
    while (k > 1 && (WindowWidth * k > workWidth || WindowHeight * k > workHeight)) --k;
    return k;
}

// Past any screen made: a setting above it is nonsense, and counts as none.
constexpr double HighestDpi = 100.0 * BaseDpi;

// A compositor's whole-number scale (Wayland's 1, 2, 3) in the dpi
// ChooseScale takes, so that both desktops go through the one rule.
constexpr int DpiFromDesktopScale(int scale) { return scale > 0 ? scale * BaseDpi : 0; }

// A desktop's dpi setting as text (X's "Xft.dpi: 192", or "143.5") as the
// whole number ChooseScale takes; 0 when it is not a number or is nonsense.
// A fraction rounds down, which keeps it on the side of a half it lies on
// (143.5 / 96 is below the half, and 143 gives 1).
inline int DpiFromSetting(const char* text) {
    if (text == nullptr) return 0;
    char* end = nullptr;
    const double dpi = std::strtod(text, &end);
    if (end == text || !(dpi > 0 && dpi <= HighestDpi)) return 0;
    return static_cast<int>(std::floor(dpi));
}

}  // namespace platform
