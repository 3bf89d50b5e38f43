#include "ui/AboutDialog.h"

#include "res/resource.h"
#include "ui/AppObjects.h"
#include "ui/CommandRoutes.h"
#include "ui/RunLoop.h"

namespace {

const char kWebAddress[] = "http://www.example.org/quillowby/";

void CloseAbout(HWND dialog)
{
    EndDialog(dialog, IDCANCEL);
}

// The box has no buttons: Enter gives IDOK; Escape and the close box give IDCANCEL. It may
// be open while work is under way.
const CommandRoute kAboutRoutes[] = {
    {IDOK, CloseAbout, true},
    {IDCANCEL, CloseAbout, true},
};

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_WEB_ADDRESS, kWebAddress);
        break;
    case WM_COMMAND:
        RouteCommand(kAboutRoutes, dialog, LOWORD(wParam), WorkInProgress());
        break;
    }
    return 0;
}

void ShowAboutBox(HWND owner)
{
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc, 0);
}
