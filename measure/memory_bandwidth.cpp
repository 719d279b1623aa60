/* The memory bandwidth test, run once per program run, and the system information
   dialog that shows its result. */
#include "memory_bandwidth.h"

#include <stdio.h>
#include <string.h>

#include "memory_rules.h"
#include "../core/app_state.h"
#include "../core/combo_table.h"
#include "../evaluate/capture_rules.h"
#include "../resources/resource.h"
#include "../store/store.h"

enum { LANGUAGE_KEY = 103, LANGUAGE_VALUE = 4, LANGUAGE_NAME_SIZE = 16 };

uint32_t MeasuredMemoryRate;

/* Each run timed by the performance counter, as the disk passes are: 16 MB take a
   current machine a millisecond or two, far less than one step of the tick counter,
   which serves only a machine without a counter. */
uint32_t MeasureMemoryRate(const void *source)
{
    void *destination = (void *)GlobalAlloc(GMEM_FIXED, MEMORY_DESTINATION_SIZE);
    if (!destination)
        return 0;
    uint32_t rates[MEMORY_RUNS];
    LARGE_INTEGER frequency, before, after;
    const int counter = QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0;
    ShowCursor(FALSE);
    for (int run = 0; run < MEMORY_RUNS; run++) {
        if (counter) {
            QueryPerformanceCounter(&before);
            MemoryCopyKernel(source, destination);
            QueryPerformanceCounter(&after);
            rates[run] = MemoryRunRateFromCounts((uint64_t)(after.QuadPart - before.QuadPart),
                                                 (uint64_t)frequency.QuadPart);
        } else {
            DWORD ticks = GetTickCount();
            MemoryCopyKernel(source, destination);
            rates[run] = MemoryRunRate(ticks, GetTickCount());
        }
    }
    ShowCursor(TRUE);
    GlobalFree((HGLOBAL)destination);
    return AverageMemoryRate(rates);
}

int RunMemoryTest()
{
    void *source = (void *)GlobalAlloc(GMEM_FIXED, MEMORY_SOURCE_SIZE);
    if (!source) {
        ToMemoryRate = MEMORY_RATE_WITHOUT_TEST;
        return 0;
    }
    MeasuredMemoryRate = MeasureMemoryRate(source);
    ToMemoryRate = EvaluatedMemoryRate(MeasuredMemoryRate);
    GlobalFree((HGLOBAL)source);
    FromMemoryRate = ToMemoryRate;
    MemoryTestDone = 1;
    return 1;
}

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
    SetDlgItemInt(window, IDC_FILESIZE, (UINT)TestFileSizeMB, FALSE);

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
