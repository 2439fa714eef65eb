// The Windows program's whole-number scale: the game draws its 350 by 420
// picture into WindowDC at scale 1; at a scale k above 1, WindowDC is that
// picture in memory, shown on the window with every game pixel as k by k screen
// pixels, and mouse points are divided by k before the game sees them. At k 1
// WindowDC is the window's own surface, exactly as without scaling.
#pragma once

#include <windows.h>

#include "seam/window_geometry.h"

extern int WindowScale;  // k: screen pixels per game pixel, 1 or more

// The window's outer size at scale k.
constexpr int ScaledWidth(int k) { return platform::WindowWidth * k; }
constexpr int ScaledHeight(int k) { return platform::WindowHeight * k; }

// The monitor DPI of `window` (the system's DPI where Windows cannot tell one
// monitor from another).
UINT WindowDpi(HWND window);
// The scale for a monitor of `dpi` whose work area holds the rectangle `place`.
int ChooseWindowScale(UINT dpi, const RECT& place);

// Sets WindowDC and MemoryDC up for `window` at the current WindowScale.
void SetUpSurfaces(HWND window);
// Releases what SetUpSurfaces made: the window's surface (and the picture in
// memory), then MemoryDC.
void ReleaseWindowSurfaces();
// Changes WindowScale to k, keeping the picture drawn so far. Does not resize
// the window.
void ChangeScale(int k);

// The game has drawn into WindowDC.
void NotePictureChanged();
// Shows the picture in memory on the window if the game has drawn since it was
// last shown, or whatever the game has drawn when `always`; nothing at k 1,
// where every drawing step lands on the window at once.
void ShowPicture(bool always = false);

// A mouse message's lParam as the game sees it: client points divided by k,
// screen points moved to the window's corner plus the window point divided by k.
LPARAM GameClientPoint(LPARAM lParam);
LPARAM GameScreenPoint(HWND window, LPARAM lParam);
