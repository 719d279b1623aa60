/* Main dialog procedure: a switchboard that hands each message to its handler. */
#include "main_dialog.h"

#include "about_box.h"
#include "shell_state.h"
#include "../resources/resource.h"

/* Places the dialog: narrowed to end at the logo panel when there is no logo, then
   centred, or spread over the screen when it does not fit. */
static void PlaceMainDialog(HWND dialog)
{
    RECT window, logo;
    GetWindowRect(dialog, &window);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    HWND panel = GetDlgItem(dialog, IDC_LOGO);
    if (LogoLoaded) {
        ShowWindow(panel, SW_HIDE);
    } else if (panel) {
        GetWindowRect(panel, &logo);
        width = logo.left - window.left;
    }
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    int x = 0, y = 0;
    if (width < screenWidth && height < screenHeight) {
        x = (screenWidth - width) / 2;
        y = (screenHeight - height) / 2;
    } else {
        width = screenWidth;
        height = screenHeight;
    }
    SetWindowPos(dialog, HWND_TOP, x, y, width, height, SWP_SHOWWINDOW | SWP_FRAMECHANGED);
}

static BOOL OnInitDialog(HWND dialog)
{
    LogoLoaded = 0;
    MemoryTestDone = 0;
    TestFileSizeMB = 20;
    SetWindowTextA(dialog, AppCaption);
    EnableWindow(GetDlgItem(dialog, IDC_STORE), FALSE);
    PlaceMainDialog(dialog);
    SelectedDrive = 0;
    EnableWindow(GetDlgItem(dialog, IDC_GRAPHIC), FALSE);
    return TRUE;
}

static BOOL OnCommand(HWND dialog, WORD id)
{
    switch (id) {
    case IDC_CLOSE:
        WinHelpA(dialog, HelpFile, HELP_QUIT, 0);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    case IDC_HELP_BUTTON:
        WinHelpA(dialog, HelpFile, HELP_CONTENTS, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

static BOOL OnClose(HWND dialog)
{
    EndDialog(dialog, 0);
    return TRUE;
}

/* A click on the program icon opens the about box. */
static void OnLeftButtonUp(HWND dialog, LPARAM lParam)
{
    POINT point = {(LONG)LOWORD(lParam), (LONG)HIWORD(lParam)};
    RECT icon;
    HWND control = GetDlgItem(dialog, IDC_PROGRAM_ICON);
    if (control) {
        GetWindowRect(control, &icon);
        MapWindowPoints(0, dialog, (POINT *)&icon, 2);
        if (PtInRect(&icon, point))
            DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(AboutDialogId), dialog, AboutBoxProc, 0);
    }
}

extern "C" INT_PTR CALLBACK DlgMain(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    case WM_CLOSE:
        return OnClose(dialog);
    case WM_DESTROY:
        PostQuitMessage(0);
        return FALSE;
    case WM_LBUTTONUP:
        OnLeftButtonUp(dialog, lParam);
        return FALSE;
    default:
        return FALSE;
    }
}
