// frontends/win32 holds the Windows program: the seam on user32, gdi32 and winmm.
// The Windows program's process-wide handles: the instance, the one window and
// its two drawing surfaces, and the catalogue's bitmaps. Set by WinMain and the
// seam's loads; nothing above the platform seam sees them.
#pragma once

#include <windows.h>

#include "frontends/common/image_slots.h"

extern HINSTANCE AppInstance;  // module of every resource; set on entry
extern int ShowCommand;        // show state handed to WinMain; used once
extern HWND MainWindow;        // the one window; owner of boxes, timer, dialog
extern HDC WindowDC;           // the whole window, caption and frame included, at
                               // scale 1: its own surface, or its picture in memory
                               // when the window shows it larger (window_scale.h)
extern HDC MemoryDC;           // holds the one bitmap being copied
extern HBITMAP CatalogueBitmaps[MaxImages];  // filled by LoadCatalogueImage
extern bool QuitRequested;     // set once the game has asked the loop to end
extern int QuitCode;           // the exit code it asked for
