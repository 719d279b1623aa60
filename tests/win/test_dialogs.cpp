#include "test_dialogs.h"

#include "../../resources/resource.h"
#include "../../shell/shell_state.h"

static INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

void UseEnglish()
{
    AppInstance = GetModuleHandleA(0);
    LanguageOffset = 0;
    LoadLangString(AppInstance, IDS_APP_CAPTION, AppCaption, sizeof AppCaption);
}

HWND OpenQuietMainDialog()
{
    return CreateDialogParamA(GetModuleHandleA(0), MAKEINTRESOURCEA(IDD_MAIN), 0, QuietDialog, 0);
}
