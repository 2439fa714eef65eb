// A Windows helper for the tests under Wine: reports what the Windows side
// sees of a running program (a window's rectangles, a box's texts), which the
// X screen alone cannot tell, and restores a minimised window as a taskbar
// would. Changes nothing else in the windows it looks at. It also stands in
// for a copy of the game that holds the score file's lock and is killed.
//
//   window_probe frame CLASS  prints the outer rectangle, the client origin
//                             and 1 when the window is minimised, else 0
//   window_probe restore CLASS  restores that window
//   window_probe texts TITLE  prints the text of each child of that window;
//                             a TITLE of "#32770" finds any dialog instead
//   window_probe lock PATH    takes the exclusive lock on the file PATH the way
//                             a saving copy does (LockFileEx), prints "locked"
//                             and holds it until the process is killed
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

BOOL CALLBACK PrintChildText(HWND child, LPARAM) {
    char text[512] = {};
    GetWindowTextA(child, text, sizeof text);
    if (text[0] != '\0') std::printf("%s\n", text);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    if (std::strcmp(argv[1], "frame") == 0) {
        HWND window = FindWindowA(argv[2], nullptr);
        if (window == nullptr) return 1;
        RECT outer;
        GetWindowRect(window, &outer);
        POINT client = {0, 0};
        ClientToScreen(window, &client);
        std::printf("%ld %ld %ld %ld %ld %ld %d\n", outer.left, outer.top, outer.right - outer.left,
                    outer.bottom - outer.top, client.x, client.y, IsIconic(window) ? 1 : 0);
        return 0;
    }
    if (std::strcmp(argv[1], "restore") == 0) {
        HWND window = FindWindowA(argv[2], nullptr);
        if (window == nullptr) return 1;
        ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(window);
        return 0;
    }
    if (std::strcmp(argv[1], "texts") == 0) {
        const bool byClass = argv[2][0] == '#';
        HWND window = byClass ? FindWindowA(argv[2], nullptr) : FindWindowA(nullptr, argv[2]);
        if (window == nullptr) return 1;
        EnumChildWindows(window, PrintChildText, 0);
        return 0;
    }
    if (std::strcmp(argv[1], "lock") == 0) {
        HANDLE file = CreateFileA(argv[2], GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        OVERLAPPED start = {};
        if (file == INVALID_HANDLE_VALUE || !LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &start)) return 1;
        std::printf("locked\n");
        std::fflush(stdout);
        Sleep(INFINITE);
    }
    return 2;
}
