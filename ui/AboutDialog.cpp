#include "ui/AboutDialog.h"

#include "res/resource.h"
#include "ui/AppObjects.h"

namespace {

const char kWebAddress[] = "http://www.example.org/quillowby/";

// The box has no buttons: Enter gives IDOK; Escape and the close box give IDCANCEL.
void OnAboutCommand(HWND dialog, WORD id)
{
    if (id == IDOK || id == IDCANCEL)
        EndDialog(dialog, id);
}

} // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_WEB_ADDRESS, kWebAddress);
        break;
    case WM_COMMAND:
        OnAboutCommand(dialog, LOWORD(wParam));
        break;
    }
    return 0;
}

void ShowAboutBox(HWND owner)
{
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc, 0);
}
