// The name dialog on Windows: runs the "ScoreDB" template modally over the
// window and hands its two buttons, with the edit box's text, to the game's
// name-entry procedure. Keeps no result of its own, and hands over all that
// was typed: the game cuts the name to its own length.
#include <windows.h>

#include "seam/platform.h"
#include "frontends/win32/win32_handles.h"
#include "frontends/win32/window_scale.h"
#include "seam/game_entry.h"

namespace {

HWND OpenDialog = nullptr;  // the dialog between its start and its end

// The edit box's text at a button press: room for the most a one-line edit
// box holds by default (32767 characters) and a terminator.
char TypedText[32 * 1024];

INT_PTR CALLBACK NameDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    OpenDialog = dialog;
    if (message == WM_INITDIALOG) {
        // The player types the name at once: the edit box takes the focus.
        SetFocus(GetDlgItem(dialog, NameDialogEdit));
        return FALSE;
    }
    if (message != WM_COMMAND) return FALSE;
    TypedText[0] = '\0';
    GetDlgItemTextA(dialog, NameDialogEdit, TypedText, static_cast<int>(sizeof TypedText));
    return NameEntryDialogProc(LOWORD(wParam), TypedText);
}

}  // namespace

namespace platform {

int RunNameDialog() {
    ShowPicture();  // the picture the dialog opens over
    const INT_PTR result =
        DialogBoxParamA(AppInstance, "ScoreDB", MainWindow, NameDialogProcedure, 0);
    OpenDialog = nullptr;
    return result == -1 ? 0 : 1;
}

void EndNameDialog() {
    if (OpenDialog != nullptr) EndDialog(OpenDialog, 0);
}

}  // namespace platform
