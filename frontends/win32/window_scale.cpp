// The Windows program's whole-number scale: which k the window's monitor asks
// for, the surfaces the game draws into at that k, showing the picture k times
// larger, and the mouse points divided by k. Knows no game rule.
#include "frontends/win32/window_scale.h"

#include <windowsx.h>

#include "frontends/common/display_scale.h"
#include "frontends/win32/win32_handles.h"
#include "seam/messages.h"

int WindowScale = 1;

namespace {

using platform::FloorDivide;
using platform::WindowHeight;
using platform::WindowWidth;

HDC WindowSurface = nullptr;     // the window's own surface, caption and frame included
HBITMAP Picture = nullptr;       // the game's picture in memory while k is above 1
HGDIOBJ SurfaceBitmap = nullptr;  // what the memory surface held before the picture
bool PictureChanged = false;     // drawn since last shown

// GetDpiForWindow exists from Windows 10 (version 1607) on; older systems know
// one DPI for every monitor, the screen's.
using DpiForWindow = UINT(WINAPI*)(HWND);

DpiForWindow FindDpiForWindow() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    FARPROC found = user32 != nullptr ? GetProcAddress(user32, "GetDpiForWindow") : nullptr;
    return reinterpret_cast<DpiForWindow>(reinterpret_cast<void (*)()>(found));
}


// Makes the picture in memory and turns WindowDC into it, with the font the
// window's surface holds.
void MakePicture() {
    HDC surface = CreateCompatibleDC(WindowSurface);
    Picture = CreateCompatibleBitmap(WindowSurface, WindowWidth, WindowHeight);
    SurfaceBitmap = SelectObject(surface, Picture);
    SelectObject(surface, GetCurrentObject(WindowSurface, OBJ_FONT));
    WindowDC = surface;
}

// Turns WindowDC back into the window's surface, with the picture's font.
void DropPicture() {
    SelectObject(WindowSurface, GetCurrentObject(WindowDC, OBJ_FONT));
    SelectObject(WindowDC, SurfaceBitmap);
    DeleteDC(WindowDC);
    DeleteObject(Picture);
    Picture = nullptr;
    WindowDC = WindowSurface;
}

}  // namespace

// Looked up on each call, not kept in a function-local static: the program
// asks once per window placement, and a static with a run-time initialiser
// would pull the thread-safe-static runtime, and through it the C++ runtime's
// terminate path, demangler and printf, into the exe (some 64 KB).
UINT WindowDpi(HWND window) {
    const DpiForWindow dpiForWindow = FindDpiForWindow();
    if (dpiForWindow != nullptr) return dpiForWindow(window);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

int ChooseWindowScale(UINT dpi, const RECT& place) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&place, MONITOR_DEFAULTTONEAREST), &monitor)) return 1;
    const RECT& work = monitor.rcWork;
    return platform::ChooseScale(static_cast<int>(dpi), work.right - work.left, work.bottom - work.top);
}

void SetUpSurfaces(HWND window) {
    WindowSurface = GetWindowDC(window);
    // Whole pixels, each copied k by k times: never a blend of neighbours.
    SetStretchBltMode(WindowSurface, COLORONCOLOR);
    WindowDC = WindowSurface;
    MemoryDC = CreateCompatibleDC(WindowSurface);
    if (WindowScale > 1) MakePicture();
}

void ReleaseWindowSurfaces() {
    if (Picture != nullptr) DropPicture();
    ReleaseDC(MainWindow, WindowSurface);
    DeleteDC(MemoryDC);
    WindowSurface = nullptr;
    WindowDC = nullptr;
    MemoryDC = nullptr;
}

void ChangeScale(int k) {
    if (k == WindowScale) return;
    if (WindowSurface != nullptr) {
        if (Picture == nullptr && k > 1) {
            MakePicture();
            // What the game has drawn so far is on the window, at scale 1.
            BitBlt(WindowDC, 0, 0, WindowWidth, WindowHeight, WindowSurface, 0, 0, SRCCOPY);
        } else if (Picture != nullptr && k == 1) {
            BitBlt(WindowSurface, 0, 0, WindowWidth, WindowHeight, WindowDC, 0, 0, SRCCOPY);
            DropPicture();
        }
    }
    WindowScale = k;
}

void NotePictureChanged() { PictureChanged = true; }

void ShowPicture(bool always) {
    if (Picture == nullptr || !(PictureChanged || always)) return;
    StretchBlt(WindowSurface, 0, 0, ScaledWidth(WindowScale), ScaledHeight(WindowScale), WindowDC, 0, 0,
               WindowWidth, WindowHeight, SRCCOPY);
    PictureChanged = false;
}

LPARAM GameClientPoint(LPARAM lParam) {
    if (WindowScale == 1) return lParam;
    return msg::PackPoint(FloorDivide(GET_X_LPARAM(lParam), WindowScale), FloorDivide(GET_Y_LPARAM(lParam), WindowScale));
}

LPARAM GameScreenPoint(HWND window, LPARAM lParam) {
    if (WindowScale == 1) return lParam;
    RECT outer = {0, 0, 0, 0};
    GetWindowRect(window, &outer);
    const int x = outer.left + FloorDivide(GET_X_LPARAM(lParam) - outer.left, WindowScale);
    const int y = outer.top + FloorDivide(GET_Y_LPARAM(lParam) - outer.top, WindowScale);
    return msg::PackPoint(x, y);
}
