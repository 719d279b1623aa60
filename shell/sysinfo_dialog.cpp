/* The system information dialog: the memory test's result, the test file size and
   the language of the next start. */
#include "sysinfo_dialog.h"

#include <stdio.h>

#include "../core/app_state.h"
#include "../core/combo_table.h"
#include "../evaluate/capture_rules.h"
#include "../measure/memory_bandwidth.h"
#include "../measure/memory_rules.h"
#include "../measure/rate_analysis.h"
#include "../resources/resource.h"
#include "../store/store.h"

enum { LANGUAGE_KEY = 103, LANGUAGE_VALUE = 4, LANGUAGE_NAME_SIZE = 16 };

struct LanguageEntry {
    int32_t key;
    char *text;
};

static char LanguageNames[3][LANGUAGE_NAME_SIZE];
static LanguageEntry LanguageList[3] = {
    {0, LanguageNames[0]}, {1, LanguageNames[1]}, {2, LanguageNames[2]}};
static int InitialLanguage;
static int CurrentLanguage;

static void InitSysInfo(HWND window)
{
    uint32_t shown = BoardType == BOARD_PUMA ? PumaToMemoryRate : MeasuredMemoryRate;
    snprintf(TextBuffer, sizeof TextBuffer, "%lu", (unsigned long)shown);
    SetDlgItemTextA(window, IDC_MEMORY_RATE, TextBuffer);
    /* The automatic length in words; a number typed over them sets a size. */
    if (TestFileSizeMB == TEST_SIZE_AUTOMATIC) {
        if (!LoadLangString(AppInstance, IDS_SIZE_AUTOMATIC, TextBuffer, sizeof TextBuffer))
            TextBuffer[0] = 0;
        SetDlgItemTextA(window, IDC_FILESIZE, TextBuffer);
    } else {
        SetDlgItemInt(window, IDC_FILESIZE, (UINT)TestFileSizeMB, FALSE);
    }

    for (int i = 0; i < 3; i++)
        if (!LoadLangString(AppInstance, IDS_ENGLISH + i, LanguageNames[i], LANGUAGE_NAME_SIZE))
            LanguageNames[i][0] = 0;

    char code[11] = {0};  /* one more than the read may fill: always terminated */
    uint32_t size = 10;
    InitialLanguage = 0;
    if (StoreReadNamed(LANGUAGE_KEY, LANGUAGE_VALUE, code, DATA_TEXT, &size) == 0)
        InitialLanguage = LanguageKeyForCode(code);
    CurrentLanguage = InitialLanguage;
    FillComboFromTable(window, IDC_LANGUAGE, LanguageList, 3, CurrentLanguage);
}

static void OnLanguageChange(HWND window)
{
    int key = GetComboKey(window, IDC_LANGUAGE, LanguageList);
    if (key != 1 && key != 2)
        key = 0;
    StoreWriteNamed(LANGUAGE_KEY, LANGUAGE_VALUE, CodeForLanguageKey(key), DATA_TEXT);
    CurrentLanguage = key;
}

static void TakeFileSize(HWND window)
{
    char text[32];
    if (!GetDlgItemTextA(window, IDC_FILESIZE, text, sizeof text))
        text[0] = 0;
    TestFileSizeMB = (int)TestFileSizeFromText(text);
}

/* The notice speaks the language just chosen, since that is the one the user
   reads best now; the running program keeps its own. */
static void CloseWithLanguageNotice(HWND window)
{
    TakeFileSize(window);
    if (CurrentLanguage != InitialLanguage) {
        int saved = LanguageOffset;
        LanguageOffset = OffsetForLanguageKey(CurrentLanguage);
        if (LoadLangString(AppInstance, IDS_LANGUAGE_NOTICE, TextBuffer, sizeof TextBuffer))
            MessageBoxA(0, TextBuffer, AppCaption, MB_ICONHAND | MB_TASKMODAL);
        LanguageOffset = saved;
    }
    EndDialog(window, 1);
}

extern "C" INT_PTR CALLBACK SysInfoDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitSysInfo(window);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_LANGUAGE:
            if (HIWORD(wParam) != CBN_SELCHANGE)
                return FALSE;
            OnLanguageChange(window);
            return TRUE;
        case IDC_FILESIZE:
            if (HIWORD(wParam) == EN_KILLFOCUS)
                TakeFileSize(window);
            return TRUE;
        case IDOK:
        case IDCANCEL:
        case SC_CLOSE:
            CloseWithLanguageNotice(window);
            return TRUE;
        }
        return FALSE;
    case WM_SYSCOMMAND:
        if ((LOWORD(wParam) & 0xFFF0) != SC_CLOSE)
            return FALSE;
        TakeFileSize(window);
        EndDialog(window, 1);
        return TRUE;
    case WM_ENDSESSION:
        EndDialog(window, 1);
        return TRUE;
    case WM_DESTROY:
        return TRUE;
    }
    return FALSE;
}
