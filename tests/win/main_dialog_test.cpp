// Start-up and the main dialog, through the program's own procedures on its own
// templates: language and platform, the board found, the settings panel, a test
// evaluated, painted, stored and closed, and the close prompt.
#include "../../evaluate/capture_rules.h"
#include "../../measure/drive_records.h"
#include "../../resources/resource.h"
#include "../../shell/shell_state.h"
#include "../../shell/startup.h"
#include "../native/text.h"
#include "runner.h"

namespace {

// The settings controls that are checked ("402c"), disabled ("401d") or hidden ("421h").
std::string Panel(HWND dialog)
{
    std::string out;
    for (int id : {183, 184, 419, 400, 401, 402, 418, 409, 410, 411, 412, 413, 416, 417, 420, 414, 415, 421, 156, 159,
                   172, 187}) {
        HWND c = GetDlgItem(dialog, id);
        std::string state = std::string(SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED ? "c" : "") +
                            (IsWindowEnabled(c) ? "" : "d") + (IsWindowVisible(c) ? "" : "h");
        out += state.empty() ? "" : (out.empty() ? "" : " ") + std::to_string(id) + state;
    }
    return out;
}

void Command(HWND dialog, int id) { SendMessageA(dialog, WM_COMMAND, id, 0); }
void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
int Focus(HWND dialog) { return GetDlgCtrlID(GetFocus()) * (GetParent(GetFocus()) == dialog); }

void RunMain(std::function<void(HWND)> script)
{
    Script(MainDialogId, script);
    RunMainDialog();
}

TEST(StartUpChoosesLanguageAndPlatform)
{
    struct Row {
        const char *country, *stored, *expected;
    } rows[] = {{"49", "", "500 0 510 511 512 STRVGER.HLP"}, {"32", "sz:DEU", "600 0 610 611 612 STRVFRE.HLP"},
                {"33", "sz:eng", "0 0 10 11 12 STRVENG.HLP"}, {"886", "dw:5391687", "500 1 510 511 512 STRVGER.HLP"}};
    for (const Row &r : rows) {
        Context = std::string("country ") + r.country;
        ResetRegistry(r.country);
        if (*r.stored)
            Put(CU, kServal, "Language", r.stored);
        ChooseLanguage();
        CHECK_EQ(Text("%d %d %d %d %d %s %s", LanguageOffset, DefaultNtsc, MainDialogId, AboutDialogId, SysInfoDialogId,
                      HelpFile, AppCaption),
                 std::string(r.expected) + " vexoVIDEO STRAVO (Stravometer)");
    }
    const char *refusals[] = {"This version of vexoVIDEO STRAVO runs not under this operating system",
                              "Diese Version des vexoVIDEO STRAVO läuft nicht unter Ihrem Betriebssystem",
                              "Servez-vous de la version Windows 95/NT d'STRAVO"};
    for (int language = 0; language < 3; language++) {
        Context = "language " + std::to_string(language);
        StartAs(language ? 400 + 100 * language : 0, 0);
        std::string seen;
        for (DWORD platform : {(DWORD)VER_PLATFORM_WIN32_WINDOWS, (DWORD)VER_PLATFORM_WIN32_NT, PLATFORM_FAILS,
                               (DWORD)VER_PLATFORM_WIN32s}) {
            Platform = platform;
            IsWindowsNT = 7;
            int accepted = CheckPlatform();
            seen += Text("%d%d ", accepted, IsWindowsNT);
        }
        CHECK_EQ(seen, "10 11 10 00 ");
        CHECK_EQ(Boxes, std::vector<std::string>{Box(refusals[language], MB_TASKMODAL | MB_ICONHAND, false)});
    }
    Context = "no template";
    StartAs(500, 1);
    MainDialogId = 999;
    RunMainDialog();
    CHECK_EQ(Boxes, std::vector<std::string>{Box("Zu wenig freier Systemspeicher", MB_TASKMODAL | MB_ICONHAND, false)});
}

TEST(MainDialogOpensForTheBoardFound)
{
    struct Row {
        const char *what;
        int nt;
        void (*plant)();
        const char *panel, *boardText;
        uint32_t toPuma;
        const char *lastBoard;
    } rows[] = {
        {"nt ocelot, no capture tool", 1, [] { Put(LM, kActBoard, "", "sz:vexoVIDEO Ocelot"); },
         "184c 419c 400d 401d 402c 418c 411c 413c 417c 420h 414ch 415h 172d 187d", "", 10000, "sz:vexoVIDEO Ocelot"},
        {"nt lynx in capitals", 1, [] { Put(LM, kActBoard, "", "sz:VEXOVIDEO LYNX"); },
         "184c 419c 400c 401d 402d 418c 411c 413c 417c 414c 421h 156d 159d 172d 187d", "vexoVIDEO Lynx/Margay", 10000,
         "sz:VEXOVIDEO LYNX"},
        {"nt, nothing", 1, [] {}, "184c 419c 401c 418c 411c 413c 417c 414c 421h 172d 187d", "", 10000, "sz:none"},
        {"nt puma", 1, [] {
             Put(LM, kActBoard, "", "sz:vexoVIDEO Puma");
             Put(CU, "Software\\vexo\\Puma\\PumaToMemory", "", "sz:5000");
             Put(CU, "Software\\vexo\\Puma\\MemoryToPuma", "", "sz:20000"); },
         nullptr, "", 5000, "sz:vexoVIDEO Puma"},
        {"95 margay, mono 8-bit 11 kHz, PAL, no sound", 0, [] {
             Put(CU, kServal, "EditingBoard", "sz:vexoVIDEO Margay");
             Put(CU, kVidCap, "WaveFormatBinary", "bin:01000100112b0000112b0000010008000000");
             Put(CU, kVidCap, "CaptureAudio", "dw:0");
             Put(CU, kVidCap, "MicroSecPerFrame", "dw:40000"); },
         "183c 419c 400c 401d 402d 409cd 410d 411d 412cd 413d 416cd 417d 420d 414cd 415d 421dh 156d 159d 172d 187d",
         "vexoVIDEO Margay", 10000, "-"},
        {"95 puma plus", 0, [] { Put(CU, kServal, "EditingBoard", "sz:vexoVIDEO Puma plus"); },
         nullptr, "vexoVIDEO Puma plus", 10000, "-"},
        {"95 ocelot plus, an empty format", 0, [] {
             Put(CU, kServal, "EditingBoard", "sz:vexoVIDEO Ocelot plus");
             Put(CU, kVidCap, "WaveFormatBinary", "bin:"); },
         "183c 419c 400d 401d 402c 409d 410cd 411d 412d 413cd 416d 417cd 420dh 414cdh 415dh 421d 172d 187d",
         "vexoVIDEO Ocelot plus", 10000, "-"},
        {"95, nothing", 0, [] {}, "184c 419c 402c 418c 411c 413c 417c 420h 414ch 415h 172d 187d", "", 10000, "-"},
        {"95 puma probe at its limits", 0, [] {
             Put(LM, kPuma, "WriteToMem", "dw:200");
             Put(LM, kPuma + "\\WriteFromMem", "", "sz:20000"); },
         "184c 419c 400d 401c 402d 418c 411c 413c 417c 414c 421h 172d 187d", "", 200, "-"},
    };
    for (const Row &r : rows) {
        Context = r.what;
        ResetRegistry(r.nt ? "1" : "49");
        r.plant();
        StartAs(0, r.nt);
        DefaultNtsc = r.nt;
        RunMain([&](HWND dialog) {
            if (r.panel)
                CHECK_EQ(Panel(dialog), r.panel);
            int id = DetectedBoard == BOARD_PUMA_PLUS ? 401 : DetectedBoard == BOARD_LYNX ? 400 : 402;
            if (*r.boardText)
                CHECK_EQ(TextOf(dialog, id), r.boardText);
            CHECK_EQ(PumaToMemoryRate, r.toPuma);
            CHECK_EQ(Focus(dialog), 1);
            RECT window;
            GetWindowRect(dialog, &window);
            CHECK_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2);
            Command(dialog, IDC_HELP_BUTTON);
            Command(dialog, IDC_CLOSE);
            CHECK_EQ(Help, (std::vector<std::string>{"STRVENG.HLP 3", "STRVENG.HLP 2"}));
        });
        CHECK_EQ(Get(LM, kStravo + "\\LastBoard", ""), r.lastBoard);
        CHECK(Boxes.empty());
    }
}

TEST(SettingsPanelFollowsTheClicks)
{
    ResetRegistry();
    StartAs(0, 1);
    RunMain([](HWND dialog) {
        Click(dialog, IDC_OCELOT);
        CHECK_EQ(BoardType, BOARD_OCELOT);
        CHECK_EQ(Panel(dialog), "184c 419c 402c 418c 411c 413c 417c 420h 414ch 415h 172d 187d");
        Click(dialog, IDC_AUDIO);
        Click(dialog, IDC_LYNX);
        CHECK_EQ(Panel(dialog), "184c 419c 400c 409d 410d 411cd 412d 413cd 416d 417cd 420d 414cd 415d 421dh 156d 159d 172d 187d");
        Click(dialog, IDC_AUDIO);
        std::string seen;
        for (int id : {IDC_RATE_22K, IDC_MONO, IDC_SAMPLE8, IDC_DMA16, IDC_RATE_11K, IDC_STEREO, IDC_SAMPLE16, IDC_DMA8,
                       IDC_RATE_44K, IDC_PUMA}) {
            Click(dialog, id);
            seen += Text("%d%d%d%d%d ", SampleRateChoice, StereoAudio, Audio16Bit, Dma16Bit, BoardType);
        }
        CHECK_EQ(seen, "11100 10100 10000 10010 00010 01010 01110 01100 21100 21101 ");
        Command(dialog, IDC_CLOSE);
    });
}

// A test on C: with 20 ms writes and 10 ms reads, in each language and on both
// platforms, with a Puma found: figures and bars, Store, the rates kept at closing.
TEST(ATestIsShownStoredAndKept)
{
    for (int run = 0; run < 3; run++) {
        int nt = run != 1, offset = run == 0 ? 0 : 400 + 100 * run;
        Context = "run " + std::to_string(run);
        ResetRegistry(nt ? "1" : "49");
        if (nt)
            Put(LM, kActBoard, "", "sz:vexoVIDEO Puma");
        else
            Put(LM, kPuma, "WriteToMem", "dw:10000"), Put(CU, kVidCap, "MicroSecPerFrame", "dw:40000");
        Put(LM, kWriteSpeed, "C:", "dw:3000");
        StartAs(offset, nt);
        DefaultNtsc = nt;
        RunMain([&](HWND dialog) {
            CHECK(TextOf(dialog, IDC_DRIVES).find("(C:) ") != std::string::npos);
            UseScriptedDisk(dialog);
            Command(dialog, IDC_START);
            CHECK_EQ(CursorShown, 0);
            CHECK(MemoryTestDone && TestResults[0].tested);
            CHECK_EQ(Text("%u %u %u", TestResults[0].storedWriteRate, TestResults[0].writeRate, TestResults[0].readRate),
                     "3000 4800 9600");
            CHECK_EQ(Focus(dialog), IDC_STORE);
            CHECK(IsWindowEnabled(GetDlgItem(dialog, IDC_STORE)) && IsWindowEnabled(GetDlgItem(dialog, IDC_GRAPHIC)));
            UpdateWindow(dialog);
            // Puma at 10000/12000 on a 4800/9600 drive, with the capture tool's default
            // sound: 2311 kB/s on NT, NTSC cropped; 2141 on Windows 95, PAL/SECAM cropped.
            const char *shown[] = {"2311 kB/s 3.0:1 3.5:1 7.0:1 304x228 304x456 608x456 4800 kB/s 9600 kB/s",
                                   "2141 kB/s 3,0:1 4,4:1 8,8:1 360x270 360x540 720x540 4800 kB/s 9600 kB/s",
                                   "2311 kB/s 3,0:1 3,5:1 7,0:1 304x228 304x456 608x456 4800 kB/s 9600 kB/s"};
            std::string texts;
            for (int id : {IDC_RATE, IDC_RATIO1, IDC_RATIO2, IDC_RATIO3, IDC_FRAME1, IDC_FRAME2, IDC_FRAME3,
                           IDC_WRITE_TEXT, IDC_READ_TEXT})
                texts += (texts.empty() ? "" : " ") + TextOf(dialog, id);
            CHECK_EQ(texts, shown[run]);
            // Bars: the stored write rate grey at full height, the measured cyan over
            // the lower 70 %, blue ticks at every ninth.
            HWND bar = GetDlgItem(dialog, IDC_WRITE_BAR);
            RECT r;
            GetClientRect(bar, &r);
            HDC dc = GetDC(bar);
            CHECK_EQ(Text("%06lx %06lx %d %06lx", GetPixel(dc, 3, r.bottom / 10 + 1), GetPixel(dc, 3, r.bottom * 8 / 10),
                          GetPixel(dc, r.right * 3000 / 9000 + 3, r.bottom / 10 + 1) == RGB(127, 127, 127),
                          GetPixel(dc, (r.right - r.left) / 9, r.top + 2)),
                     "7f7f7f c0c000 0 c00000");
            ReleaseDC(bar, dc);
            Command(dialog, IDC_STORE);
            CHECK_EQ(Focus(dialog), IDC_DRIVES);
            // A log-off cleans up as a close does, whatever its answer.
            SendMessageA(dialog, WM_ENDSESSION, run == 2, 0);
            CHECK_EQ(GetFileAttributesA("C:\\VEXOSV32.DAT"), INVALID_FILE_ATTRIBUTES);
            SendMessageA(dialog, WM_CLOSE, 0, 0);
        });
        std::string stored;
        for (auto v : {std::make_pair(kVidCap, "WaveFormatBinary"), {kVidCap, "CaptureAudio"}, {kVidCap, "MicroSecPerFrame"},
                       {kPuma, "AssumedDataRate"}, {kPuma, "CapDrive"}, {"Software\\vexo\\Puma\\CapRate", ""},
                       {"Software\\vexo\\Puma\\CapDrive", ""}, {"Software\\vexo\\Puma\\CapFormat", ""}})
            stored += Get(CU, v.first, v.second) + " ";
        CHECK_EQ(stored, nt ? "bin:0100020044ac000010b10200040010000000 - - - - sz:2311 sz:C: sz:HIGH "
                            : "bin:0100020044ac000010b10200040010000000 - dw:40000 dw:2141 sz:C: - - - ");
        CHECK_EQ(Get(LM, kWriteSpeed, "C:") + Get(LM, kReadSpeed, "C:"), "dw:4800dw:9600");
        CHECK_EQ(GetFileAttributesA("C:\\VEXOSV32.DAT"), INVALID_FILE_ATTRIBUTES);
        CHECK(Boxes.empty() && Help.empty());
        CHECK_EQ(Live(), 0);
    }
}

// Closing asks to store exactly when a measured rate would otherwise be lost.
TEST(ClosingAsksWhenAStoreIsDue)
{
    const std::string ask = Box("Data rate for selected hard disk still not saved\nSave as reference and close program ?",
                                MB_TASKMODAL | MB_ICONEXCLAMATION | MB_YESNOCANCEL, true);
    const std::string untested = Box("Hard disk not yet tested", MB_ICONEXCLAMATION, true);
    struct Row {
        const char *what;
        bool board, caracal, test, testFails, selectOther;
        std::vector<int> answers;
        std::vector<std::string> boxes;
        bool stored;
    } rows[] = {
        {"tested, no reference yet", true, false, true, false, false, {}, {}, true},
        {"tested, a reference: yes", true, true, true, false, false, {IDYES}, {ask}, true},
        {"tested, a reference: cancel, no", true, true, true, false, false, {IDCANCEL, IDNO}, {ask, ask}, false},
        {"another drive selected: yes", true, false, true, false, true, {IDYES}, {ask}, true},
        {"a test that failed: yes", true, false, true, true, false, {IDYES}, {ask, untested}, false},
        {"no board", false, false, true, false, false, {}, {}, false},
        {"nothing tested", true, true, false, false, false, {}, {}, false},
    };
    for (const Row &r : rows) {
        Context = r.what;
        ResetRegistry();
        if (r.board)
            Put(LM, kActBoard, "", "sz:vexoVIDEO Ocelot");
        if (r.caracal)
            Put(CU, kCaracal, "AssumedDataRate", "dw:2000");
        StartAs(0, 1);
        RunMain([&](HWND dialog) {
            if (r.test) {
                DiskScript script;
                script.shortReadAt = r.testFails ? 5 : 0;
                UseScriptedDisk(dialog, script);
                Command(dialog, IDC_START);
            }
            if (r.selectOther) {
                strcpy(DriveTable[1].driveName, "Q:");
                SendDlgItemMessageA(dialog, IDC_DRIVES, CB_ADDSTRING, 0, (LPARAM) "(Q:)");
                SendDlgItemMessageA(dialog, IDC_DRIVES, CB_SETCURSEL, 1, 0);
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_DRIVES, CBN_SELCHANGE), 0);
                CHECK(!IsWindowEnabled(GetDlgItem(dialog, IDC_STORE)) && TextOf(dialog, IDC_RATE).empty());
            }
            Boxes.clear();
            BoxAnswers = r.answers;
            SendMessageA(dialog, WM_CLOSE, 0, 0);
            if (r.answers.size() && r.answers[0] == IDCANCEL) {
                CHECK(IsWindow(dialog) && IsWindowVisible(dialog));
                CHECK_EQ(Focus(dialog), IDC_STORE);
                SendMessageA(dialog, WM_CLOSE, 0, 0);
            }
        });
        CHECK_EQ(Boxes, r.boxes);
        CHECK_EQ(Get(CU, "Software\\vexo\\Ocelot\\CapDrive", "") + Get(CU, "Software\\vexo\\Puma\\CapDrive", ""),
                 r.stored ? "sz:C:-" : "--");
    }
}

// A click on the program icon opens the about box; one on the data rate takes the
// board's cap off and puts it back.
TEST(HotSpots)
{
    ResetRegistry();
    Put(LM, kActBoard, "", "sz:vexoVIDEO Ocelot");
    Put(LM, kWriteSpeed, "C:", "dw:20000");
    Put(LM, kReadSpeed, "C:", "dw:20000");
    StartAs(600, 1);
    for (int answer : {IDOK, IDCANCEL})
        Script(611, [answer](HWND about) {
            CHECK_EQ(TextOf(about, IDC_CLOSE), "&Fermeture");
            SendMessageA(about, WM_COMMAND, answer, 0);
            if (CHECK(!IsWindowVisible(about)) == false)
                EndDialog(about, 0);
        });
    RunMain([](HWND dialog) {
        std::string rates;
        for (int id : {IDC_PROGRAM_ICON, IDC_PROGRAM_ICON, IDC_RATE, IDC_RATE}) {
            RECT r;
            GetWindowRect(GetDlgItem(dialog, id), &r);
            MapWindowPoints(0, dialog, (POINT *)&r, 2);
            SendMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(r.left + 2, r.top + 2));
            UpdateWindow(dialog);
            rates += TextOf(dialog, IDC_RATE) + " ";
        }
        CHECK_EQ(rates, "6144 kB/s 6144 kB/s 11833 kB/s 6144 kB/s ");
        // Store before a test says so; More shows the system information; both give
        // the focus to the start button.
        Script(612, [](HWND info) { EndDialog(info, IDOK); });
        for (int id : {IDC_STORE, IDC_MORE}) {
            SetFocus(GetDlgItem(dialog, IDC_CLOSE));
            Command(dialog, id);
            CHECK_EQ(Focus(dialog), IDC_START);
        }
        CHECK_EQ(Boxes, std::vector<std::string>{Box("Le disque dur n'a pas encore été testé", MB_ICONEXCLAMATION, true)});
        SendMessageA(dialog, WM_CLOSE, 0, 0);
    });
}

}  // namespace
