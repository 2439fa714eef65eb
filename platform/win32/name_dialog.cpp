// The name dialog on Windows: runs the "ScoreDB" template modally over the
// window and hands its two buttons, with the edit box's text, to the game's
// name-entry procedure. Keeps no result of its own.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/window_scale.h"
#include "scores/high_score_table.h"
#include "scores/name_entry.h"

namespace {

HWND OpenDialog = nullptr;  // the dialog between its start and its end

INT_PTR CALLBACK NameDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    OpenDialog = dialog;
    if (message == WM_INITDIALOG) {
        // The player types the name at once: the edit box takes the focus.
        SetFocus(GetDlgItem(dialog, NameDialogEdit));
        return FALSE;
    }
    if (message != WM_COMMAND) return FALSE;
    char text[EnteredNameSize] = {};
    GetDlgItemTextA(dialog, NameDialogEdit, text, EnteredNameSize);
    return NameEntryDialogProc(LOWORD(wParam), text);
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
