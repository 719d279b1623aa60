/* Main dialog procedure: a switchboard that hands each message to its handler. */
#include "main_dialog.h"

#include <stdio.h>

#include "about_box.h"
#include "help.h"
#include "settings_panel.h"
#include "sysinfo_dialog.h"
#include "../core/app_state.h"
#include "../core/combo_table.h"
#include "../evaluate/capture_settings.h"
#include "../evaluate/capture_store.h"
#include "../evaluate/evaluation.h"
#include "../evaluate/evaluation_rules.h"
#include "../graph/graph_dialog.h"
#include "../logo/logo_panel.h"
#include "../measure/disk_speed.h"
#include "../measure/drive_list.h"
#include "../measure/memory_bandwidth.h"
#include "../resources/resource.h"
#include "../store/store.h"

enum {
    VALUE_CAP_RATE = 0, VALUE_CAP_FORMAT = 1, VALUE_CAP_DRIVE = 2, VALUE_LOGO = 5,
    VALUE_ASSUMED_RATE = 13,
    STORE_PROMPT_STYLE = MB_TASKMODAL | MB_ICONEXCLAMATION | MB_YESNOCANCEL,
};

static void ReadLogoName(char *name, uint32_t size)
{
    if (StoreReadNamed(103, VALUE_LOGO, name, DATA_TEXT, &size) != 0)
        snprintf(name, size, "%s", "VEXOLOGO.DIB");
}

/* Narrowed to end at the logo panel when there is no logo, then centred, or spread
   over the screen when it does not fit. */
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

static void SetBoardButtons(HWND dialog)
{
    int checked;
    switch (DetectedBoard) {
    case BOARD_LYNX:
        /* Only Windows 95 reads the board's own name (Lynx or Margay); on NT the
           name would be the bare "vexoVIDEO", so the template's text stays. */
        if (!IsWindowsNT)
            SetDlgItemTextA(dialog, IDC_LYNX, BoardName);
        checked = IDC_LYNX;
        break;
    case BOARD_PUMA:
        checked = IDC_PUMA;
        break;
    case BOARD_OCELOT:
        checked = IDC_OCELOT;
        break;
    case BOARD_PUMA_PLUS:
        SetDlgItemTextA(dialog, IDC_PUMA, "vexoVIDEO Puma plus");
        checked = IDC_PUMA;
        break;
    case BOARD_OCELOT_PLUS:
        SetDlgItemTextA(dialog, IDC_OCELOT, "vexoVIDEO Ocelot plus");
        checked = IDC_OCELOT;
        break;
    default:
        /* Nothing found: the user picks, from the likeliest board on. */
        CheckRadioButton(dialog, IDC_LYNX, IDC_OCELOT, IsWindowsNT ? IDC_PUMA : IDC_OCELOT);
        return;
    }
    CheckRadioButton(dialog, IDC_LYNX, IDC_OCELOT, checked);
    for (int id = IDC_LYNX; id <= IDC_OCELOT; id++)
        if (id != checked)
            EnableWindow(GetDlgItem(dialog, id), FALSE);
}

static BOOL OnInitDialog(HWND dialog)
{
    LogoLoaded = 0;
    MemoryTestDone = 0;
    TestFileSizeMB = TEST_SIZE_AUTOMATIC;
    HelpViewerStarted = 0;
    SetWindowTextA(dialog, AppCaption);
    IconHandle = LoadIconA(AppInstance, "STRAVOICON");

    char logoName[80];
    ReadLogoName(logoName, sizeof logoName);
    if (LogoFileUsable(logoName)) {
        WORD width, height;
        LogoLoaded = LoadLogo(dialog, IDC_LOGO, logoName, &LogoImage, &width, &height) ? 1 : 0;
    }

    LoadCaptureSettings(dialog);
    CheckRadioButton(dialog, IDC_PAL, IDC_NTSC, IDC_PAL + DefaultNtsc);
    CheckDlgButton(dialog, IDC_CROPPING, BST_CHECKED);
    CheckRadioButton(dialog, IDC_RATE_11K, IDC_RATE_44K, IDC_RATE_11K + SampleRateChoice);
    CheckRadioButton(dialog, IDC_MONO, IDC_STEREO, IDC_MONO + StereoAudio);
    CheckRadioButton(dialog, IDC_SAMPLE8, IDC_SAMPLE16, IDC_SAMPLE8 + Audio16Bit);
    CheckRadioButton(dialog, IDC_DMA8, IDC_DMA16, IDC_DMA8 + Dma16Bit);
    EnableWindow(GetDlgItem(dialog, IDC_STORE), FALSE);
    RefreshSettingsPanel(dialog);
    PlaceMainDialog(dialog);

    SelectedDrive = 0;
    int count = BuildDriveList(dialog);
    FillComboFromTable(dialog, IDC_DRIVES, DriveTable, count, 0);
    SetBoardButtons(dialog);
    EnableWindow(GetDlgItem(dialog, IDC_GRAPHIC), FALSE);
    EvaluateDrive(dialog, SelectedDrive);
    return TRUE;
}

static void EnableResultButtons(HWND dialog)
{
    BOOL tested = TestResults[SelectedDrive].tested != 0;
    EnableWindow(GetDlgItem(dialog, IDC_GRAPHIC), tested);
    EnableWindow(GetDlgItem(dialog, IDC_STORE), tested);
}

static void OnDriveChange(HWND dialog)
{
    SelectedDrive = GetComboKey(dialog, IDC_DRIVES, DriveTable);
    if (!TestResults[SelectedDrive].tested) {
        static const int results[] = {IDC_FRAME1, IDC_FRAME2, IDC_FRAME3, IDC_RATIO1,
                                      IDC_RATIO2, IDC_RATIO3, IDC_RATE};
        for (int id : results)
            SetDlgItemTextA(dialog, id, "");
        EvaluateDrive(dialog, SelectedDrive);
        RefreshSpeedBars(dialog);
        RefreshSettingsPanel(dialog);
    } else {
        EvaluateDrive(dialog, SelectedDrive);
        RefreshSpeedBars(dialog);
    }
    EnableResultButtons(dialog);
}

static BOOL OnStartTest(HWND dialog)
{
    if (!MemoryTestDone)
        RunMemoryTest();
    int succeeded = RunDiskTest(dialog, SelectedDrive);
    EnableResultButtons(dialog);
    if (!succeeded)
        return TRUE;
    LastTestedDrive = SelectedDrive;
    EvaluateDrive(dialog, SelectedDrive);
    RefreshSpeedBars(dialog);
    RefreshSettingsPanel(dialog);
    SetFocus(GetDlgItem(dialog, DetectedBoard == BOARD_NONE ? IDC_GRAPHIC : IDC_STORE));
    return FALSE;
}

/* The product keys of the capture software, then the capture tool's settings. */
static void OnStore(HWND dialog)
{
    const TestResult *result = &TestResults[SelectedDrive];
    if (!result->tested) {
        if (!LoadLangString(AppInstance, IDS_NOT_TESTED, TextBuffer, sizeof TextBuffer))
            TextBuffer[0] = 0;
        MessageBoxA(dialog, TextBuffer, AppCaption, MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(dialog, IDC_START));
        return;
    }
    snprintf(QualityText, sizeof QualityText, "%s", QualityWord(result->qualityClass));
    /* The drive that was tested, by name: a list position would name another drive
       as soon as a letter is skipped (a CD-ROM between two hard disks). */
    const char *capDrive = DriveTable[SelectedDrive].driveName;

    if (IsWindowsNT) {
        uint16_t key = ReferenceKey(1, BoardType);
        snprintf(TextBuffer, sizeof TextBuffer, "%lu", (unsigned long)result->availableRate);
        StoreWriteSubkey(key, VALUE_CAP_RATE, TextBuffer, DATA_TEXT);
        snprintf(TextBuffer, sizeof TextBuffer, "%s", capDrive);
        StoreWriteSubkey(key, VALUE_CAP_DRIVE, TextBuffer, DATA_TEXT);
        StoreWriteSubkey(key, VALUE_CAP_FORMAT, QualityText, DATA_TEXT);
    } else {
        uint16_t key = ReferenceKey(0, BoardType);
        uint32_t rate = result->availableRate;
        StoreWriteNamed(key, VALUE_ASSUMED_RATE, &rate, DATA_NUMBER);
        snprintf(TextBuffer, sizeof TextBuffer, "%s", capDrive);
        StoreWriteNamed(key, VALUE_CAP_DRIVE, TextBuffer, DATA_TEXT);
    }
    StoreCaptureToolSettings(dialog);
    SetFocus(GetDlgItem(dialog, IDC_DRIVES));
    ReferenceStored = 1;
}

static void RunStoreCommand(HWND dialog)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_STORE, BN_CLICKED), 0);
}

static int AskToStore(HWND dialog)
{
    return ShowLangMessage(dialog, IDS_STORE_PROMPT, STORE_PROMPT_STYLE);
}

/* Offers to store a measured rate before the program ends. Returns 0 when the user
   cancels and the dialog stays open. */
static BOOL OnClose(HWND dialog)
{
    if (!ReferenceStored && TestResults[SelectedDrive].tested && DetectedBoard != BOARD_NONE) {
        unsigned char assumed[256];
        uint32_t size = sizeof assumed;
        if (StoreReadNamed(99, VALUE_ASSUMED_RATE, assumed, DATA_NUMBER, &size) != 0) {
            RunStoreCommand(dialog);
        } else {
            int answer = AskToStore(dialog);
            if (answer == IDCANCEL) {
                SetFocus(GetDlgItem(dialog, IDC_STORE));
                return TRUE;
            }
            if (answer == IDYES)
                RunStoreCommand(dialog);
        }
    } else if (!ReferenceStored && TestStarted && DetectedBoard != BOARD_NONE) {
        int answer = AskToStore(dialog);
        if (answer == IDCANCEL) {
            SetFocus(GetDlgItem(dialog, IDC_STORE));
            return TRUE;
        }
        if (answer == IDYES) {
            SelectedDrive = LastTestedDrive;
            RunStoreCommand(dialog);
        }
    }
    DeleteTestFiles(dialog);
    EndDialog(dialog, 0);
    return TRUE;
}

static BOOL OnSettingChange(HWND dialog)
{
    EvaluateDrive(dialog, SelectedDrive);
    RefreshSettingsPanel(dialog);
    return TRUE;
}

static BOOL OnCommand(HWND dialog, WORD id, WORD notification)
{
    switch (id) {
    case IDC_CLOSE:
        QuitHelp(dialog);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    case IDC_DRIVES:
        if (notification == CBN_SELCHANGE)
            OnDriveChange(dialog);
        return TRUE;
    case IDC_HELP_BUTTON:
        OpenHelp(dialog);
        return TRUE;
    case IDC_START:
        return OnStartTest(dialog);
    case IDC_STORE:
        OnStore(dialog);
        return FALSE;
    case IDC_MORE:
        if (!MemoryTestDone)
            RunMemoryTest();
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(SysInfoDialogId), dialog, SysInfoDlgProc, 0);
        SetFocus(GetDlgItem(dialog, IDC_START));
        return TRUE;
    case IDC_GRAPHIC:
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(LanguageOffset + IDD_GRAPH), dialog,
                        GraphDlgProc, 0);
        SetFocus(GetDlgItem(dialog, IDC_STORE));
        return TRUE;
    case IDC_PAL: case IDC_NTSC: case IDC_AUDIO: case IDC_CROPPING:
        return OnSettingChange(dialog);
    case IDC_LYNX: case IDC_PUMA: case IDC_OCELOT:
        BoardType = id - IDC_LYNX;
        return OnSettingChange(dialog);
    case IDC_RATE_11K: case IDC_RATE_22K: case IDC_RATE_44K:
        SampleRateChoice = id - IDC_RATE_11K;
        return OnSettingChange(dialog);
    case IDC_MONO: case IDC_STEREO:
        StereoAudio = id - IDC_MONO;
        return OnSettingChange(dialog);
    case IDC_DMA8: case IDC_DMA16:
        Dma16Bit = id - IDC_DMA8;
        return OnSettingChange(dialog);
    case IDC_SAMPLE8: case IDC_SAMPLE16:
        Audio16Bit = id - IDC_SAMPLE8;
        return OnSettingChange(dialog);
    default:
        return FALSE;
    }
}

static int PointInControl(HWND dialog, int id, POINT point)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return 0;
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(0, dialog, (POINT *)&r, 2);
    return PtInRect(&r, point);
}

/* A click on the program icon opens the about box; one on the data rate switches
   the board's cap on or off. */
static void OnLeftButtonUp(HWND dialog, LPARAM lParam)
{
    POINT point = {(LONG)LOWORD(lParam), (LONG)HIWORD(lParam)};
    if (PointInControl(dialog, IDC_PROGRAM_ICON, point))
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(AboutDialogId), dialog, AboutBoxProc, 0);
    if (PointInControl(dialog, IDC_RATE, point)) {
        RateCapOff = 1 - RateCapOff;
        EvaluateDrive(dialog, SelectedDrive);
        RefreshSettingsPanel(dialog);
    }
}

static void OnPaint(HWND dialog)
{
    if (!IsIconic(dialog)) {
        PaintResults(dialog);
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    RECT client;
    GetClientRect(dialog, &client);
    if (IconHandle)
        DrawIcon(dc, (client.right - GetSystemMetrics(SM_CXICON)) / 2,
                 (client.bottom - GetSystemMetrics(SM_CYICON)) / 2, IconHandle);
    EndPaint(dialog, &paint);
}

static BOOL OnEraseBackground(HWND dialog, HDC dc)
{
    if (!IsIconic(dialog))
        return FALSE;
    RECT client;
    GetClientRect(dialog, &client);
    HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_BACKGROUND));
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    return TRUE;
}

extern "C" INT_PTR CALLBACK DlgMain(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_PAINT:
        OnPaint(dialog);
        return TRUE;
    case WM_ERASEBKGND:
        return OnEraseBackground(dialog, (HDC)wParam);
    case WM_CLOSE:
        return OnClose(dialog);
    case WM_DESTROY:
        if (LogoLoaded)
            FreeLogo(&LogoImage);
        PostQuitMessage(0);
        return FALSE;
    case WM_ENDSESSION:
        DeleteTestFiles(dialog);
        return TRUE;
    case WM_QUERYDRAGICON:
        return (INT_PTR)IconHandle;
    case WM_LBUTTONUP:
        OnLeftButtonUp(dialog, lParam);
        return FALSE;
    case WM_PALETTECHANGED:
        if ((HWND)wParam == dialog)
            return FALSE;
        /* fall through */
    case WM_QUERYNEWPALETTE:
        if (LogoLoaded)
            RealizeLogoPalette(dialog, &LogoImage);
        return FALSE;
    default:
        return FALSE;
    }
}
