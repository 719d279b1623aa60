/* Help: the user's guide that ships beside the program, as pages a browser shows.
   The help viewer of the old files is gone from current Windows, so an old help
   file is opened only where one still lies beside the program. */
#include "help.h"

#include <shellapi.h>
#include <stdio.h>

#include "../core/app_state.h"
#include "../core/language.h"
#include "../resources/resource.h"

static void PathBesideProgram(const char *name, char *path, int size)
{
    snprintf(path, size, "%s%s", ProgramFolder, name);
}

static int IsFile(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

/* A language-dependent text whose %s is the file concerned. */
static void ShowFileMessage(HWND dialog, UINT id, const char *path)
{
    char format[256], text[512];
    if (!LoadLangString(AppInstance, id, format, sizeof format))
        snprintf(format, sizeof format, "%s", "%s");
    snprintf(text, sizeof text, format, path);
    MessageBoxA(dialog, text, AppCaption, MB_ICONEXCLAMATION);
}

void OpenHelp(HWND dialog)
{
    char path[MAX_PATH];
    /* By its full name: the file found here, not one of the same name that the
       viewer's own search through other folders might come to first. */
    PathBesideProgram(HelpFile, path, sizeof path);
    if (IsFile(path)) {
        if (WinHelpA(dialog, path, HELP_CONTENTS, 0))
            HelpViewerStarted = 1;
        return;
    }
    PathBesideProgram(GuidePageForOffset(LanguageOffset), path, sizeof path);
    if (!IsFile(path)) {
        ShowFileMessage(dialog, IDS_GUIDE_MISSING, path);
        return;
    }
    /* The shell may hand the page to a handler that needs COM on this thread.
       CoInitialize, since Windows 95 without DCOM has no CoInitializeEx. */
    HRESULT com = CoInitialize(0);
    INT_PTR opened = (INT_PTR)ShellExecuteA(dialog, "open", path, 0, 0, SW_SHOWNORMAL);
    if (SUCCEEDED(com))
        CoUninitialize();
    if (opened <= 32)
        ShowFileMessage(dialog, IDS_GUIDE_NOT_OPENED, path);
}

void QuitHelp(HWND dialog)
{
    if (!HelpViewerStarted)
        return;
    char path[MAX_PATH];
    PathBesideProgram(HelpFile, path, sizeof path);
    WinHelpA(dialog, path, HELP_QUIT, 0);
}
