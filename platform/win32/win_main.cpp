// The Windows program's entry: the window class, the one window, its drawing
// surfaces and the message loop, and the window procedure that hands every
// message to the game and then to DefWindowProcA. Knows no game rule.
#include <windows.h>

#include "platform/win32/win32_handles.h"
#include "platform/window_geometry.h"
#include "shell/window_proc.h"

HINSTANCE AppInstance = nullptr;
int ShowCommand = 0;
HWND MainWindow = nullptr;
HDC WindowDC = nullptr;
HDC MemoryDC = nullptr;
HBITMAP CatalogueBitmaps[MaxImages] = {};
bool QuitRequested = false;
int QuitCode = 0;

namespace {

constexpr const char* WindowName = "Quarvelle";
constexpr WORD IconId = 601;

// The frame the game's picture paints around the client area: the game turns
// client points into window points by exactly these amounts.
using platform::CaptionHeight;
using platform::FrameBottom;
using platform::FrameSide;
using platform::WindowHeight;
using platform::WindowWidth;

// A popup window has no caption or frame of the platform's own, so nothing
// drawn by the platform (or by the desktop compositor) hides the picture. It
// has no system menu either (Alt+Space opens nothing, and the window manager is
// offered no close of its own); the minimise box only lets the taskbar minimise
// and restore it, as the painted minimise button does.
constexpr DWORD WindowStyle = WS_POPUP | WS_MINIMIZEBOX;

// The non-client area is the painted frame: the strip at the top acts as the
// caption (it drags the window and its presses reach the game as caption
// presses), the thin rim as a border.
LRESULT HitTest(HWND window, LPARAM lParam) {
    RECT outer;
    GetWindowRect(window, &outer);
    const POINT p = {static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
    if (!PtInRect(&outer, p)) return HTNOWHERE;
    if (p.y < outer.top + CaptionHeight) return HTCAPTION;
    if (p.x < outer.left + FrameSide || p.x >= outer.right - FrameSide ||
        p.y >= outer.bottom - FrameBottom) {
        return HTBORDER;
    }
    return HTCLIENT;
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindowProc(message, wParam, lParam);
    LRESULT result = DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_NCCALCSIZE: {
            // Both forms carry the proposed window rectangle first; it becomes
            // the client rectangle, less the painted frame.
            RECT* client = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                                  : reinterpret_cast<RECT*>(lParam);
            client->left += FrameSide;
            client->top += CaptionHeight;
            client->right -= FrameSide;
            client->bottom -= FrameBottom;
            // A minimised window's rectangle can be smaller than the frame.
            if (client->right < client->left) client->right = client->left;
            if (client->bottom < client->top) client->bottom = client->top;
            result = 0;
            break;
        }
        case WM_NCHITTEST:
            result = HitTest(window, lParam);
            break;
        case WM_NCPAINT:
            // The game repaints its frame only when the client area is painted;
            // when only the frame was uncovered, have the client painted too.
            InvalidateRect(window, nullptr, FALSE);
            break;
        default:
            break;
    }
    // A modal loop of the default handling (Wine's caption drag among them)
    // may take the quit message for itself; the main loop must still see it.
    if (QuitRequested) PostQuitMessage(QuitCode);
    return result;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    AppInstance = instance;
    ShowCommand = showCommand;

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = AppInstance;
    windowClass.hIcon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IconId));
    windowClass.hIconSm = LoadIconA(AppInstance, MAKEINTRESOURCEA(IconId));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = WindowName;
    if (RegisterClassExA(&windowClass) == 0) return 0;

    const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - WindowWidth / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - WindowHeight / 2;
    MainWindow = CreateWindowExA(0, WindowName, WindowName, WindowStyle, x, y, WindowWidth,
                                 WindowHeight, nullptr, nullptr, AppInstance, nullptr);
    if (MainWindow == nullptr) return 0;

    WindowDC = GetWindowDC(MainWindow);
    MemoryDC = CreateCompatibleDC(WindowDC);
    ShowWindow(MainWindow, ShowCommand);
    UpdateWindow(MainWindow);

    if (StartUp() == 0) return 0;

    // Waits for the next message instead of polling: an idle or paused game
    // costs no processor time, and messages are taken in the same order.
    MSG message;
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return 0;  // only for a bad window filter, which is never given
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
