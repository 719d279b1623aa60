// Start-up and the main dialog, through the program's own procedures on its own
// templates: language and platform, the board found, the settings panel, a test
// evaluated, painted, stored and closed, and the close prompt.
#include <stdio.h>

#include "../../evaluate/capture_rules.h"
#include "../../measure/drive_records.h"
#include "../../resources/resource.h"
#include "../../shell/shell_state.h"
#include "../../shell/startup.h"
#include "runner.h"

namespace {

const HKEY lm = HKEY_LOCAL_MACHINE, cu = HKEY_CURRENT_USER;
const std::string kActBoard = std::string(kStravoKey) + "\\ActBoard";

const int kPanelIds[] = {183, 184, 419, 400, 401, 402, 418, 409, 410, 411, 412, 413,
                         416, 417, 420, 414, 415, 421, 156, 159, 172, 187};

// The check, enable and show states of the settings controls: "402c" checked,
// "401d" disabled, "421h" hidden.
std::string Panel(HWND dialog)
{
    std::string out;
    for (int id : kPanelIds) {
        HWND c = GetDlgItem(dialog, id);
        out += (out.empty() ? "" : " ") + std::to_string(id);
        out += SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED ? "c" : "";
        out += IsWindowEnabled(c) ? "" : "d";
        out += IsWindowVisible(c) ? "" : "h";
    }
    return out;
}

void Command(HWND dialog, int id) { SendMessageA(dialog, WM_COMMAND, id, 0); }
void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void RunMain(std::function<void(HWND)> script)
{
    Script(MainDialogId, script);
    RunMainDialog();
}

int Focus(HWND dialog) { return GetDlgCtrlID(GetFocus()) * (GetParent(GetFocus()) == dialog); }

TEST(StartUpChoosesLanguagePlatformAndInstance)
{
    struct Row {
        const char *country;
        RegData stored;
        int offset, ntsc;
        const char *help;
    } rows[] = {{"49", Missing(), 500, 0, "STRVGER.HLP"}, {"1", Sz("GER"), 500, 1, "STRVGER.HLP"},
                {"33", Sz("eng"), 0, 0, "STRVENG.HLP"},   {"32", Sz("DEU"), 600, 0, "STRVFRE.HLP"},
                {"44", Sz("fre"), 600, 0, "STRVFRE.HLP"}, {"886", Dword(0x524547), 500, 1, "STRVGER.HLP"}};
    for (const Row &r : rows) {
        Context = std::string("country ") + r.country;
        ResetRegistry(r.country);
        if (r.stored.type != Missing().type)
            RegPut(HKEY_CURRENT_USER, kServalKey, "Language", r.stored);
        ChooseLanguage();
        CHECK_EQ(LanguageOffset, r.offset);
        CHECK_EQ(DefaultNtsc, r.ntsc);
        CHECK_EQ(MainDialogId * 100 + AboutDialogId * 10 + SysInfoDialogId,
                 (r.offset + 10) * 100 + (r.offset + 11) * 10 + r.offset + 12);
        CHECK_EQ(std::string(HelpFile), r.help);
        CHECK_EQ(std::string(AppCaption), "vexoVIDEO STRAVO (Stravometer)");
    }
    const char *refusals[] = {"This version of vexoVIDEO STRAVO runs not under this operating system",
                              "Diese Version des vexoVIDEO STRAVO läuft nicht unter Ihrem Betriebssystem",
                              "Servez-vous de la version Windows 95/NT d'STRAVO"};
    for (int language = 0; language < 3; language++) {
        Context = "language " + std::to_string(language);
        StartAs(language ? 400 + 100 * language : 0, 0);
        const DWORD platforms[][3] = {{VER_PLATFORM_WIN32_WINDOWS, 1, 0}, {VER_PLATFORM_WIN32_NT, 1, 1},
                                      {PLATFORM_FAILS, 1, 0}, {VER_PLATFORM_WIN32s, 0, 0}};
        for (auto p : platforms) {
            Platform = p[0];
            IsWindowsNT = 7;
            CHECK_EQ(CheckPlatform(), (int)p[1]);
            CHECK_EQ(IsWindowsNT, (int)p[2]);
        }
        CHECK_EQ(Boxes.size(), 1u);
        CHECK_EQ(Boxes[0].text, Ansi(refusals[language]));
        CHECK(Boxes[0].owner == 0 && Boxes[0].style == (MB_TASKMODAL | MB_ICONHAND));
        CHECK_EQ(Boxes[0].caption, AppCaption);
    }

    Context = "no template";
    StartAs(500, 1);
    MainDialogId = 999;
    RunMainDialog();
    CHECK(Boxes.size() == 1 && Boxes[0].text == "Zu wenig freier Systemspeicher" && !Boxes[0].owner);
    CHECK_EQ(Boxes.size() ? Boxes[0].style : 0, (UINT)(MB_TASKMODAL | MB_ICONHAND));

    Context = "second instance";
    CHECK_EQ(RaiseRunningInstance(), 0);
    HWND first = CreateWindowExA(0, "Static", AppCaption, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, 0, 0, 0, 0);
    ShowWindow(first, SW_MINIMIZE);
    CHECK_EQ(RaiseRunningInstance(), 1);
    CHECK(!IsIconic(first) && IsWindowVisible(first));
    DestroyWindow(first);
}

TEST(MainDialogOpensForTheBoardFound)
{
    struct Row {
        const char *what;
        int nt;
        void (*plant)();
        const char *panel, *texts;
        uint32_t toPuma;
        RegData lastBoard;
    } rows[] = {
        {"nt ocelot, no capture tool", 1, [] { RegPut(lm, kActBoard, "", Sz("vexoVIDEO Ocelot")); },
         "183 184c 419c 400d 401d 402c 418c 409 410 411c 412 413c 416 417c 420h 414ch 415h 421 156 159 172d 187d",
         "", 10000, Sz("vexoVIDEO Ocelot")},
        {"nt lynx in capitals", 1, [] { RegPut(lm, kActBoard, "", Sz("VEXOVIDEO LYNX")); },
         "183 184c 419c 400c 401d 402d 418c 409 410 411c 412 413c 416 417c 420 414c 415 421h 156d 159d 172d 187d",
         "vexoVIDEO Lynx/Margay", 10000, Sz("VEXOVIDEO LYNX")},
        {"nt, nothing", 1, [] {},
         "183 184c 419c 400 401c 402 418c 409 410 411c 412 413c 416 417c 420 414c 415 421h 156 159 172d 187d",
         "", 10000, Sz("none")},
        {"nt puma, rates out of range", 1, [] {
             RegPut(lm, kActBoard, "", Sz("vexoVIDEO Puma"));
             RegPut(cu, "Software\\vexo\\Puma\\PumaToMemory", "", Sz("5000"));
             RegPut(cu, "Software\\vexo\\Puma\\MemoryToPuma", "", Sz("20001")); },
         "183 184c 419c 400d 401c 402d 418c 409 410 411c 412 413c 416 417c 420 414c 415 421h 156 159 172d 187d",
         "", 10000, Sz("vexoVIDEO Puma")},
        {"nt puma", 1, [] {
             RegPut(lm, kActBoard, "", Sz("vexoVIDEO Puma"));
             RegPut(cu, "Software\\vexo\\Puma\\PumaToMemory", "", Sz("5000"));
             RegPut(cu, "Software\\vexo\\Puma\\MemoryToPuma", "", Sz("20000")); },
         nullptr, "", 5000, Sz("vexoVIDEO Puma")},
        {"95 margay, mono 8-bit 11 kHz, PAL, no sound", 0, [] {
             RegPut(cu, kServalKey, "EditingBoard", Sz("vexoVIDEO Margay"));
             RegPut(cu, kVidCapKey, "WaveFormatBinary", {REG_BINARY, std::string("\1\0\1\0\x11\x2B\0\0\x11\x2B\0\0\1\0\x08\0\0\0", 18)});
             RegPut(cu, kVidCapKey, "CaptureAudio", Dword(0));
             RegPut(cu, kVidCapKey, "MicroSecPerFrame", Dword(40000)); },
         "183c 184 419c 400c 401d 402d 418 409cd 410d 411d 412cd 413d 416cd 417d 420d 414cd 415d 421dh 156d 159d 172d 187d",
         "vexoVIDEO Margay", 10000, Missing()},
        {"95 puma plus", 0, [] { RegPut(cu, kServalKey, "EditingBoard", Sz("vexoVIDEO Puma plus")); },
         nullptr, "vexoVIDEO Puma plus", 10000, Missing()},
        {"95 ocelot plus, an empty format", 0, [] {
             RegPut(cu, kServalKey, "EditingBoard", Sz("vexoVIDEO Ocelot plus"));
             RegPut(cu, kVidCapKey, "WaveFormatBinary", {REG_BINARY, ""}); },
         "183c 184 419c 400d 401d 402c 418 409d 410cd 411d 412d 413cd 416d 417cd 420dh 414cdh 415dh 421d 156 159 172d 187d",
         "vexoVIDEO Ocelot plus", 10000, Missing()},
        {"95, nothing", 0, [] {},
         "183 184c 419c 400 401 402c 418c 409 410 411c 412 413c 416 417c 420h 414ch 415h 421 156 159 172d 187d",
         "", 10000, Missing()},
        {"95 puma probe at its limits", 0, [] {
             RegPut(lm, kPumaKey, "WriteToMem", Dword(200));
             RegPut(lm, std::string(kPumaKey) + "\\WriteFromMem", "", Sz("20000")); },
         "183 184c 419c 400d 401c 402d 418c 409 410 411c 412 413c 416 417c 420 414c 415 421h 156 159 172d 187d",
         "", 200, Missing()},
        {"95 puma probe below", 0, [] { RegPut(lm, kPumaKey, "WriteToMem", Dword(199)); },
         nullptr, "", 10000, Missing()},
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
            if (*r.texts)
                CHECK_EQ(TextOf(dialog, id), r.texts);
            CHECK_EQ(PumaToMemoryRate, r.toPuma);
            CHECK_EQ(Focus(dialog), 1);
            RECT window;
            GetWindowRect(dialog, &window);
            CHECK_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2);
            Command(dialog, IDC_CLOSE);
            CHECK_EQ(Help.size() ? Help[0] : "", "STRVENG.HLP 2");
        });
        CHECK_EQ(RegGet(HKEY_LOCAL_MACHINE, std::string(kStravoKey) + "\\LastBoard", ""), r.lastBoard);
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
        CHECK_EQ(Panel(dialog), "183 184c 419c 400 401 402c 418c 409 410 411c 412 413c 416 417c 420h 414ch 415h 421 156 159 172d 187d");
        Click(dialog, IDC_AUDIO);
        Click(dialog, IDC_LYNX);
        CHECK_EQ(Panel(dialog), "183 184c 419c 400c 401 402 418 409d 410d 411cd 412d 413cd 416d 417cd 420d 414cd 415d 421dh 156d 159d 172d 187d");
        Click(dialog, IDC_AUDIO);
        const int choices[][3] = {{IDC_RATE_22K, 1, 0}, {IDC_MONO, 0, 1}, {IDC_SAMPLE8, 0, 2}, {IDC_DMA16, 1, 3},
                                  {IDC_RATE_11K, 0, 0}, {IDC_STEREO, 1, 1}, {IDC_SAMPLE16, 1, 2}, {IDC_DMA8, 0, 3},
                                  {IDC_RATE_44K, 2, 0}, {IDC_PUMA, 1, 4}};
        for (auto c : choices) {
            Click(dialog, c[0]);
            int value[] = {SampleRateChoice, StereoAudio, Audio16Bit, Dma16Bit, BoardType};
            CHECK_EQ(value[c[2]], c[1]);
        }
        Command(dialog, IDC_CLOSE);
    });
}

// A test on C: with 20 ms writes and 10 ms reads, in each language and on both
// platforms, with a Puma found: figures and bars, Store, the rates kept at closing.
TEST(ATestIsShownStoredAndKept)
{
    const char *frames[] = {"360x270", "360x540", "720x540", "304x228", "304x456", "608x456"};
    for (int run = 0; run < 3; run++) {
        int nt = run != 1, offset = run == 0 ? 0 : 400 + 100 * run;
        Context = "run " + std::to_string(run);
        ResetRegistry(nt ? "1" : "49");
        if (nt)
            RegPut(HKEY_LOCAL_MACHINE, kActBoard, "", Sz("vexoVIDEO Puma"));
        else
            RegPut(HKEY_LOCAL_MACHINE, kPumaKey, "WriteToMem", Dword(10000)),
                RegPut(HKEY_CURRENT_USER, kVidCapKey, "MicroSecPerFrame", Dword(40000));
        RegPut(HKEY_LOCAL_MACHINE, kWriteSpeed, "C:", Dword(3000));
        StartAs(offset, nt);
        DefaultNtsc = nt;
        RunMain([&](HWND dialog) {
            CHECK(TextOf(dialog, IDC_DRIVES).find("(C:) ") != std::string::npos);
            UseScriptedDisk(dialog);
            Command(dialog, IDC_START);
            CHECK_EQ(CursorShown, 0);
            CHECK(MemoryTestDone && TestResults[0].tested);
            CHECK_EQ(TestResults[0].storedWriteRate, 3000u);
            CHECK_EQ(TestResults[0].writeRate * 10000 + TestResults[0].readRate, 4800u * 10000 + 9600);
            CHECK_EQ(Focus(dialog), IDC_STORE);
            CHECK(IsWindowEnabled(GetDlgItem(dialog, IDC_STORE)) && IsWindowEnabled(GetDlgItem(dialog, IDC_GRAPHIC)));
            UpdateWindow(dialog);
            // Puma at 10000/12000 on a 4800/9600 drive, with the capture tool's default
            // sound: 2311 kB/s on NT, NTSC cropped; 2141 on Windows 95, PAL/SECAM cropped.
            const char *rate = nt ? "2311 kB/s" : "2141 kB/s";
            const char *ratios[3][3] = {{"3.0:1", "3.5:1", "7.0:1"}, {"3,0:1", "4,4:1", "8,8:1"}, {"3,0:1", "3,5:1", "7,0:1"}};
            CHECK_EQ(TextOf(dialog, IDC_RATE), rate);
            for (int column = 0; column < 3; column++) {
                CHECK_EQ(TextOf(dialog, IDC_RATIO1 + column), ratios[run][column]);
                CHECK_EQ(TextOf(dialog, IDC_FRAME1 + column), frames[column + 3 * nt]);
            }
            CHECK_EQ(TextOf(dialog, IDC_WRITE_TEXT) + TextOf(dialog, IDC_READ_TEXT), "4800 kB/s9600 kB/s");
            // Bars: the stored write rate grey at full height, the measured cyan over
            // the lower 70 %, blue ticks at every ninth.
            HWND bar = GetDlgItem(dialog, IDC_WRITE_BAR);
            RECT r;
            GetClientRect(bar, &r);
            HDC dc = GetDC(bar);
            CHECK_EQ(GetPixel(dc, 3, r.bottom / 10 + 1), RGB(127, 127, 127));
            CHECK_EQ(GetPixel(dc, 3, r.bottom * 8 / 10), RGB(0, 192, 192));
            CHECK_EQ(GetPixel(dc, r.right * 3000 / 9000 + 3, r.bottom / 10 + 1) == RGB(127, 127, 127), false);
            CHECK_EQ(GetPixel(dc, (r.right - r.left) / 9, r.top + 2), RGB(0, 0, 192));
            ReleaseDC(bar, dc);

            Command(dialog, IDC_STORE);
            CHECK_EQ(Focus(dialog), IDC_DRIVES);
            // A log-off cleans up as a close does, whatever its answer.
            SendMessageA(dialog, WM_ENDSESSION, run == 2, 0);
            CHECK_EQ(GetFileAttributesA("C:\\VEXOSV32.DAT"), INVALID_FILE_ATTRIBUTES);
            SendMessageA(dialog, WM_CLOSE, 0, 0);
        });
        if (nt) {
            CHECK_EQ(RegGet(HKEY_CURRENT_USER, "Software\\vexo\\Puma\\CapRate", ""), Sz("2311"));
            CHECK_EQ(RegGet(HKEY_CURRENT_USER, "Software\\vexo\\Puma\\CapDrive", ""), Sz("C:"));
            CHECK_EQ(RegGet(HKEY_CURRENT_USER, "Software\\vexo\\Puma\\CapFormat", ""), Sz("HIGH"));
        } else {
            CHECK_EQ(RegGet(HKEY_CURRENT_USER, kPumaKey, "AssumedDataRate"), Dword(2141));
            CHECK_EQ(RegGet(HKEY_CURRENT_USER, kPumaKey, "CapDrive"), Sz("C:"));
        }
        CHECK_EQ(RegGet(HKEY_CURRENT_USER, kVidCapKey, "WaveFormatBinary"),
                 (RegData{REG_BINARY, std::string("\1\0\2\0\x44\xAC\0\0\x10\xB1\2\0\4\0\x10\0\0\0", 18)}));
        CHECK_EQ(RegGet(HKEY_CURRENT_USER, kVidCapKey, "CaptureAudio"), Missing());
        CHECK_EQ(RegGet(HKEY_CURRENT_USER, kVidCapKey, "MicroSecPerFrame"), nt ? Missing() : Dword(40000));
        CHECK_EQ(RegGet(HKEY_LOCAL_MACHINE, kWriteSpeed, "C:"), Dword(4800));
        CHECK_EQ(RegGet(HKEY_LOCAL_MACHINE, kReadSpeed, "C:"), Dword(9600));
        CHECK_EQ(GetFileAttributesA("C:\\VEXOSV32.DAT"), INVALID_FILE_ATTRIBUTES);
        CHECK(Boxes.empty() && Help.empty());
        for (int kind = 0; kind < WATCH_KINDS; kind++)
            CHECK_EQ(Live(kind), 0);
    }
}

// Closing asks to store exactly when a measured rate would otherwise be lost.
TEST(ClosingAsksWhenAStoreIsDue)
{
    struct Row {
        const char *what;
        bool board, caracal, test, testFails, selectOther;
        std::vector<int> answers;
        size_t prompts;
        bool stored, warned;
    } rows[] = {
        {"tested, no reference yet", true, false, true, false, false, {}, 0, true, false},
        {"tested, a reference: yes", true, true, true, false, false, {IDYES}, 1, true, false},
        {"tested, a reference: cancel, no", true, true, true, false, false, {IDCANCEL, IDNO}, 2, false, false},
        {"another drive selected: yes", true, false, true, false, true, {IDYES}, 1, true, false},
        {"a test that failed: yes", true, false, true, true, false, {IDOK, IDYES}, 1, false, true},
        {"no board", false, false, true, false, false, {}, 0, false, false},
        {"nothing tested", true, true, false, false, false, {}, 0, false, false},
    };
    for (const Row &r : rows) {
        Context = r.what;
        ResetRegistry();
        if (r.board)
            RegPut(HKEY_LOCAL_MACHINE, kActBoard, "", Sz("vexoVIDEO Ocelot"));
        if (r.caracal)
            RegPut(HKEY_CURRENT_USER, kCaracalKey, "AssumedDataRate", Dword(2000));
        StartAs(0, 1);
        BoxAnswers = r.answers;
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
            size_t before = Boxes.size();
            SendMessageA(dialog, WM_CLOSE, 0, 0);
            if (r.answers.size() && r.answers[0] == IDCANCEL) {
                CHECK(IsWindow(dialog) && IsWindowVisible(dialog));
                CHECK_EQ(Focus(dialog), IDC_STORE);
                SendMessageA(dialog, WM_CLOSE, 0, 0);
            }
            CHECK_EQ(Boxes.size() - before, r.prompts + r.warned);
        });
        for (size_t i = 0; i < r.prompts; i++) {
            CHECK_EQ(Boxes[Boxes.size() - 1 - r.warned - i].text,
                     "Data rate for selected hard disk still not saved\nSave as reference and close program ?");
            CHECK_EQ(Boxes[Boxes.size() - 1 - r.warned - i].style, (UINT)(MB_TASKMODAL | MB_ICONEXCLAMATION | MB_YESNOCANCEL));
        }
        if (r.warned)
            CHECK(Boxes.back().text == "Hard disk not yet tested" && Boxes.back().style == MB_ICONEXCLAMATION && Boxes.back().owner);
        CHECK_EQ(RegGet(HKEY_CURRENT_USER, "Software\\vexo\\Ocelot\\CapDrive", ""), r.stored ? Sz("C:") : Missing());
        CHECK_EQ(RegGet(HKEY_CURRENT_USER, "Software\\vexo\\Puma\\CapDrive", ""), Missing());
    }
}

// A click on the program icon opens the about box; one on the data rate takes the
// board's cap off and puts it back.
TEST(HotSpots)
{
    ResetRegistry();
    RegPut(HKEY_LOCAL_MACHINE, kActBoard, "", Sz("vexoVIDEO Ocelot"));
    RegPut(HKEY_LOCAL_MACHINE, kWriteSpeed, "C:", Dword(20000));
    RegPut(HKEY_LOCAL_MACHINE, kReadSpeed, "C:", Dword(20000));
    StartAs(600, 1);
    for (int answer : {IDOK, IDCANCEL})
        Script(611, [answer](HWND about) {
            CHECK_EQ(TextOf(about, IDC_CLOSE), "&Fermeture");
            SendMessageA(about, WM_COMMAND, answer, 0);
            if (CHECK(!IsWindowVisible(about)) == false)
                EndDialog(about, 0);
        });
    RunMain([](HWND dialog) {
        auto clickOn = [dialog](int id) {
            RECT r;
            GetWindowRect(GetDlgItem(dialog, id), &r);
            MapWindowPoints(0, dialog, (POINT *)&r, 2);
            SendMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(r.left + 2, r.top + 2));
            UpdateWindow(dialog);
        };
        clickOn(IDC_PROGRAM_ICON);
        clickOn(IDC_PROGRAM_ICON);
        CHECK_EQ(TextOf(dialog, IDC_RATE), "6144 kB/s");
        clickOn(IDC_RATE);
        CHECK_EQ(TextOf(dialog, IDC_RATE), "11833 kB/s");
        clickOn(IDC_RATE);
        CHECK_EQ(TextOf(dialog, IDC_RATE), "6144 kB/s");
        SendMessageA(dialog, WM_CLOSE, 0, 0);
    });
}

}  // namespace
