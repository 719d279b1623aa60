/* Definitions of the program's process-wide state, and the string loader. */
#include "app_state.h"

#include "../resources/resource.h"

HINSTANCE AppInstance;
int LanguageOffset;
WORD MainDialogId = IDD_MAIN;
WORD AboutDialogId = IDD_ABOUT;
WORD SysInfoDialogId = IDD_SYSINFO;
const char *HelpFile = "STRVENG.HLP";
char AppCaption[APP_CAPTION_SIZE];
int IsWindowsNT;
int DefaultNtsc;
int ReferenceStored;
int TestStarted;
char ProgramFolder[MAX_PATH];

int SelectedDrive;
int LastTestedDrive;
int LogoLoaded;
int MemoryTestDone;
int TestFileSizeMB; /* automatic */
int RateCapOff;
char QualityText[QUALITY_TEXT_SIZE];
char TextBuffer[TEXT_BUFFER_SIZE];
HICON IconHandle;
int HelpViewerStarted;

int LoadLangString(HINSTANCE instance, UINT id, char *buffer, int size)
{
    return LoadStringA(instance, id + LanguageOffset, buffer, size);
}

int ShowLangMessage(HWND owner, UINT id, UINT style)
{
    char text[256];
    if (!LoadLangString(AppInstance, id, text, sizeof text))
        text[0] = 0;
    return MessageBoxA(owner, text, AppCaption, style);
}
