// The Windows program's entry: the window class, the one window, its drawing
// surfaces and the message loop, and the window procedure that hands every
// message to the game and then to DefWindowProcA. Knows no game rule.
#include <windows.h>
#include <windowsx.h>

#include <climits>

#include "frontends/win32/win32_handles.h"
#include "frontends/common/display_scale.h"
#include "frontends/win32/window_scale.h"
#include "seam/window_geometry.h"
#include "seam/game_entry.h"

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

// The window point under screen point `lParam`, in game pixels.
POINT WindowPointAt(HWND window, LPARAM lParam) {
    RECT outer;
    GetWindowRect(window, &outer);
    const LPARAM game = GameScreenPoint(window, lParam);
    return {GET_X_LPARAM(game) - outer.left, GET_Y_LPARAM(game) - outer.top};
}

// The non-client area is the painted frame: the strip at the top acts as the
// caption (it drags the window and its presses reach the game as caption
// presses), the thin rim as a border.
LRESULT HitTest(HWND window, LPARAM lParam) {
    RECT outer;
    GetWindowRect(window, &outer);
    const POINT screen = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (!PtInRect(&outer, screen)) return HTNOWHERE;
    const POINT p = WindowPointAt(window, lParam);
    if (p.y < CaptionHeight) return HTCAPTION;
    if (platform::OnFrame(p.x, p.y)) return HTBORDER;
    return HTCLIENT;
}

// Mouse messages whose lParam is a client point, and those whose lParam is a
// screen point (the hit test and the non-client ones).
bool HasClientPoint(UINT message) {
    return message == WM_MOUSEMOVE || (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK) ||
           (message >= WM_XBUTTONDOWN && message <= WM_XBUTTONDBLCLK);
}
bool HasScreenPoint(UINT message) {
    return message == WM_NCHITTEST || (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// The window at scale k, centred on the rectangle `around`.
RECT ScaledPlace(const RECT& around, int k) {
    const int x = (around.left + around.right) / 2 - ScaledWidth(k) / 2;
    const int y = (around.top + around.bottom) / 2 - ScaledHeight(k) / 2;
    return {x, y, x + ScaledWidth(k), y + ScaledHeight(k)};
}

// The window has reached a monitor of another DPI: it takes that monitor's
// scale at once, at the place the system suggests for it.
void FollowDpi(HWND window, UINT dpi, const RECT& suggested) {
    const int k = ChooseWindowScale(dpi, suggested);
    ChangeScale(k);
    SetWindowPos(window, nullptr, suggested.left, suggested.top, ScaledWidth(k), ScaledHeight(k),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ShowPicture(true);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LPARAM gameLParam = lParam;
    if (HasClientPoint(message)) gameLParam = GameClientPoint(lParam);
    if (HasScreenPoint(message)) gameLParam = GameScreenPoint(window, lParam);
    MainWindowProc(message, wParam, gameLParam);
    // What the game drew shows before the default handling, which may run a
    // modal loop of its own (the caption drag).
    ShowPicture();
    LRESULT result = DefWindowProcA(window, message, wParam, lParam);
    bool uncovered = false;
    switch (message) {
        case WM_NCCALCSIZE: {
            // Both forms carry the proposed window rectangle first; it becomes
            // the client rectangle, less the painted frame at the window's scale.
            RECT* client = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                                  : reinterpret_cast<RECT*>(lParam);
            client->left += FrameSide * WindowScale;
            client->top += CaptionHeight * WindowScale;
            client->right -= FrameSide * WindowScale;
            client->bottom -= FrameBottom * WindowScale;
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
            uncovered = true;
            break;
        case WM_GETDPISCALEDSIZE: {
            // The size the window takes on a monitor of that DPI (before it is
            // fitted to that monitor's work area), so that the place the system
            // suggests for it is worked out from the right size.
            const int k = platform::ChooseScale(static_cast<int>(wParam), INT_MAX, INT_MAX);
            *reinterpret_cast<SIZE*>(lParam) = {ScaledWidth(k), ScaledHeight(k)};
            result = TRUE;
            break;
        }
        case WM_DPICHANGED:
            FollowDpi(window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            break;
        case WM_PAINT:
        case WM_ERASEBKGND:
        case WM_WINDOWPOSCHANGED:
            uncovered = true;
            break;
        default:
            break;
    }
    // And again where the default handling or the platform drew over it.
    ShowPicture(uncovered);
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

    // Centred on the screen; then, before anything is drawn, as large as the
    // DPI of the monitor it landed on asks, centred again.
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const RECT place = ScaledPlace(screen, 1);
    MainWindow = CreateWindowExA(0, WindowName, WindowName, WindowStyle, place.left, place.top, WindowWidth,
                                 WindowHeight, nullptr, nullptr, AppInstance, nullptr);
    if (MainWindow == nullptr) return 0;
    const int k = ChooseWindowScale(WindowDpi(MainWindow), place);
    if (k > 1) {
        ChangeScale(k);
        const RECT scaled = ScaledPlace(screen, k);
        SetWindowPos(MainWindow, nullptr, scaled.left, scaled.top, ScaledWidth(k), ScaledHeight(k),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    SetUpSurfaces(MainWindow);
    ShowWindow(MainWindow, ShowCommand);
    UpdateWindow(MainWindow);

    if (StartUp() == 0) return QuitCode;  // 0 unless the start-up asked for another

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
