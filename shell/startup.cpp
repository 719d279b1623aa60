/* Start-up sequence of the program. */
#include "startup.h"

#include "main_dialog.h"
#include "../core/app_state.h"
#include "../core/language.h"
#include "../resources/resource.h"
#include "../store/store.h"

int ReadCountryDefaults()
{
    int ntsc;
    int offset = CountryDefaults((int)GetPrivateProfileIntA("intl", "iCountry", 0, "WIN.INI"), &ntsc);
    DefaultNtsc = ntsc;
    return offset;
}

/* Walked a character at a time: in a double-byte code page a trail byte can equal
   the backslash. */
void FindProgramFolder()
{
    DWORD length = GetModuleFileNameA(AppInstance, ProgramFolder, sizeof ProgramFolder);
    if (length == 0 || length >= sizeof ProgramFolder) {
        ProgramFolder[0] = 0;
        return;
    }
    char *end = ProgramFolder;
    for (char *p = ProgramFolder; *p; p = CharNextA(p))
        if (*p == '\\')
            end = p + 1;
    *end = 0;
}

void ChooseLanguage()
{
    int offset = ReadCountryDefaults();
    char code[256];
    uint32_t size = sizeof code;
    if (StoreReadNamed(103, 6, code, DATA_TEXT, &size) == 0)
        offset = LanguageOffsetForCode(code, offset);
    SetLanguage(offset);
}

void SetLanguage(int offset)
{
    LanguageOffset = offset;
    MainDialogId = (WORD)(LanguageOffset + IDD_MAIN);
    AboutDialogId = (WORD)(LanguageOffset + IDD_ABOUT);
    SysInfoDialogId = (WORD)(LanguageOffset + IDD_SYSINFO);
    HelpFile = HelpFileForOffset(LanguageOffset);
    if (!LoadLangString(AppInstance, IDS_APP_CAPTION, AppCaption, sizeof AppCaption))
        AppCaption[0] = 0;
}

int RaiseRunningInstance()
{
    HWND running = FindWindowA(0, AppCaption);
    if (!running)
        return 0;
    SetForegroundWindow(running);
    ShowWindow(running, SW_RESTORE);
    return 1;
}

int CheckPlatform()
{
    IsWindowsNT = 0;
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        return 1; /* as on Windows 95 */
    return AcceptPlatform(version.dwPlatformId);
}

int AcceptPlatform(DWORD platformId)
{
    IsWindowsNT = 0;
    if (platformId == VER_PLATFORM_WIN32_WINDOWS)
        return 1;
    if (platformId == VER_PLATFORM_WIN32_NT) {
        IsWindowsNT = 1;
        return 1;
    }
    ShowLangMessage(0, IDS_WRONG_PLATFORM, MB_TASKMODAL | MB_ICONHAND);
    return 0;
}

void RunMainDialog()
{
    if (DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(MainDialogId), 0, DlgMain, 0) == -1)
        ShowLangMessage(0, IDS_NO_MEMORY, MB_TASKMODAL | MB_ICONHAND);
}

int StravoMain(HINSTANCE instance)
{
    AppInstance = instance;
    FindProgramFolder();
    ChooseLanguage();
    if (RaiseRunningInstance())
        return 0;
    ReferenceStored = 0;
    TestStarted = 0;
    if (!CheckPlatform())
        return 0;
    RunMainDialog();
    return 0;
}
