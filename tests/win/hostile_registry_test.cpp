// Hostile registry state under every value the program reads: wrong types, texts
// that overrun or do not end inside the reader's buffer, zero-length data, a key
// where a value belongs and a value where a key belongs, missing keys. Each state
// is read through the real reader and, where the program acts on it, its caller.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "../../evaluate/capture_rules.h"
#include "../../evaluate/capture_settings.h"
#include "../../evaluate/capture_store.h"
#include "../../logo/logo_panel.h"
#include "../../measure/drive_list.h"
#include "../../measure/memory_test.h"
#include "../../resources/resource.h"
#include "../../shell/main_dialog.h"
#include "../../shell/shell_state.h"
#include "../../shell/startup.h"
#include "../../store/store.h"
#include "registry_helpers.h"
#include "test_dialogs.h"

namespace {

const char kStravo[] = "Software\\vexo Computer Products\\vexoVIDEO STRAVO";
const char kServal[] = "Software\\vexo Computer Products\\Serval";
const char kPumaDriver[] = "Software\\vexo Computer Products\\vexoVIDEO Puma";
const char kPuma[] = "Software\\vexo\\Puma";
const char kVidCap[] = "Software\\Microsoft\\Multimedia Tools\\VidCap";
const char kIntl[] = "Control Panel\\International";

// Where a reader looks: a named value of a key (value form), or the default value
// of the key's subkey of that name (subkey form).
struct Spot {
    HKEY root;
    std::string key;
    const char *name;
    bool subkeyForm;
};

// HERE: where the reader looks. SWAPPED: where the other form would look (a subkey
// in place of a value, a value in place of a subkey). KEY_AS_VALUE: the reader's
// key itself is missing and a value of its name stands in its parent.
enum Where { HERE, SWAPPED, KEY_AS_VALUE, NOWHERE };

struct Plant {
    const char *what;
    Where where;
    DWORD type;
    std::string bytes;
};

template <size_t N> std::string Raw(const char (&bytes)[N]) { return std::string(bytes, N - 1); }
std::string Sz(const std::string &text) { return text + '\0'; }
std::string Dword(DWORD v) { return std::string((const char *)&v, 4); }
std::string Qword(ULONGLONG v) { return std::string((const char *)&v, 8); }

void PlantAt(const Spot &spot, const Plant &p)
{
    // RegSetValueExA counts a text's terminator by itself when the byte after the
    // counted ones is zero, as it is after any std::string: a byte that is not
    // zero keeps an unterminated text unterminated.
    std::string data = p.bytes + 'Z';
    DWORD size = (DWORD)p.bytes.size();
    bool subkey = spot.subkeyForm != (p.where == SWAPPED);
    if (p.where == KEY_AS_VALUE) {
        size_t cut = spot.key.rfind('\\');
        SetRegValue(spot.root, spot.key.substr(0, cut).c_str(), spot.key.c_str() + cut + 1, p.type,
                    data.data(), size);
    } else if (p.where != NOWHERE && subkey) {
        SetRegValue(spot.root, (spot.key + "\\" + spot.name).c_str(), 0, p.type, data.data(), size);
    } else if (p.where != NOWHERE) {
        SetRegValue(spot.root, spot.key.c_str(), spot.name, p.type, data.data(), size);
    }
}

class HostileRegistry : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseEnglish();
        Reset();
        IsWindowsNT = 0;
        country_ = GetRegValue(HKEY_CURRENT_USER, kIntl, "iCountry");
    }
    void TearDown() override
    {
        if (dialog_)
            DestroyWindow(dialog_);
        DrainMessages();
        Reset();
        IsWindowsNT = 0;
        UseEnglish();
        MainDialogId = IDD_MAIN;
        AboutDialogId = IDD_ABOUT;
        SysInfoDialogId = IDD_SYSINFO;
        WritePrivateProfileStringA("intl", "iCountry", 0, "WIN.INI");
        DeleteRegTree(HKEY_CURRENT_USER, (std::string(kIntl) + "\\iCountry").c_str());
        if (country_.found)
            SetRegValue(HKEY_CURRENT_USER, kIntl, "iCountry", country_.type, country_.data.data(),
                        (DWORD)country_.data.size());
    }
    // A main dialog's WM_DESTROY posts the quit message; left in the queue it
    // would end the next modal loop at once.
    static void DrainMessages()
    {
        MSG message;
        while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE))
            ;
    }
    void Reset()
    {
        ResetProgramRegistry();
        HKEY tools;  // the capture tool's key planted as a value of its parent
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Multimedia Tools", 0, KEY_SET_VALUE,
                          &tools) == ERROR_SUCCESS) {
            RegDeleteValueA(tools, "VidCap");
            RegCloseKey(tools);
        }
    }
    HWND dialog_ = 0;
    RegValue country_;
};

// Every text the program reads, at the size its caller reads it with.
struct TextReader {
    const char *who;
    Spot spot;
    uint16_t key, number;
    uint32_t size;
};
const TextReader kTextReaders[] = {
    {"start-up language", {HKEY_CURRENT_USER, kServal, "Language", false}, 103, 6, 256},
    {"language list", {HKEY_CURRENT_USER, kServal, "Language", false}, 103, 4, 10},
    {"logo name", {HKEY_CURRENT_USER, kServal, "Logo", false}, 103, 5, 80},
    {"editing board", {HKEY_CURRENT_USER, kServal, "EditingBoard", false}, 103, 16, BOARD_NAME_SIZE},
    {"active board", {HKEY_LOCAL_MACHINE, kStravo, "ActBoard", true}, 102, 7, 256},
};

TEST_F(HostileRegistry, EveryTextReadEndsInsideItsBufferOrFails)
{
    enum { GUARD = 16 };
    for (const TextReader &reader : kTextReaders) {
        const std::string fits(reader.size - 1, 'x'), full(reader.size, 'x');
        const struct Row {
            Plant plant;
            bool ok;
            std::string text;
        } rows[] = {
            {{"text that just fits", HERE, REG_SZ, Sz(fits)}, true, fits},
            {{"text of the buffer's size, unterminated", HERE, REG_SZ, full}, false, ""},
            {{"binary of the buffer's size", HERE, REG_BINARY, full}, false, ""},
            {{"binary one byte short", HERE, REG_BINARY, fits}, true, fits},
            {{"text one byte too long", HERE, REG_SZ, Sz(full)}, false, ""},
            {{"text of 4 kB", HERE, REG_SZ, Sz(std::string(4096, 'y'))}, false, ""},
            {{"number with a zero byte", HERE, REG_DWORD, Dword(0x00455246)}, true, "FRE"},
            {{"number without one", HERE, REG_DWORD, Dword(0x44434241)}, true, "ABCD"},
            {{"eight-byte number", HERE, REG_QWORD, Qword(0x00524547)}, true, "GER"},
            {{"multi-string", HERE, REG_MULTI_SZ, Raw("ab\0cd\0\0")}, true, "ab"},
            {{"expandable text, not expanded", HERE, REG_EXPAND_SZ, Sz("%TEMP%")}, true, "%TEMP%"},
            {{"zero-length text", HERE, REG_SZ, ""}, true, ""},
            {{"zero-length binary", HERE, REG_BINARY, ""}, true, ""},
            {{"swapped form", SWAPPED, REG_SZ, Sz("FRE")}, false, ""},
            {{"key replaced by a value", KEY_AS_VALUE, REG_SZ, Sz("FRE")}, false, ""},
            {{"nothing", NOWHERE, 0, ""}, false, ""},
        };
        for (const Row &row : rows) {
            SCOPED_TRACE(std::string(reader.who) + ": " + row.plant.what);
            Reset();
            PlantAt(reader.spot, row.plant);
            std::vector<char> output(reader.size + GUARD, 'q');
            uint32_t size = reader.size;
            uint16_t status = reader.spot.subkeyForm
                                  ? StoreReadSubkey(reader.key, reader.number, output.data(), DATA_TEXT, &size)
                                  : StoreReadNamed(reader.key, reader.number, output.data(), DATA_TEXT, &size);
            ASSERT_EQ(status, row.ok ? 0 : 1);
            if (!row.ok)
                EXPECT_EQ(size, reader.size);
            else
                ASSERT_TRUE(size >= 1 && size <= reader.size) << size;
            // Nothing past the bytes delivered, and nothing at all on failure.
            for (size_t i = row.ok ? size : 0; i < output.size(); i++)
                ASSERT_EQ(output[i], 'q') << "written at " << i;
            if (row.ok) {
                ASSERT_TRUE(memchr(output.data(), 0, size)) << "unterminated in the delivered bytes";
                EXPECT_EQ(std::string(output.data()), row.text);
            }
        }
    }
}

TEST_F(HostileRegistry, EveryNumberReadFillsFourBytesOrNone)
{
    // A value-form number takes exactly four bytes of any type; a subkey-form one
    // any text that fits its 100-byte buffer. Either way the caller's output gets
    // four bytes or none, also where it is larger (the close sequence reads into
    // 256 bytes).
    const struct NumberReader {
        const char *who;
        Spot spot;
        uint16_t key, number;
        const char *name;
    } readers[] = {
        {"write rate", {HKEY_LOCAL_MACHINE, std::string(kStravo) + "\\WriteSpeed", "C:", false}, 102, 11, "C:"},
        {"read rate", {HKEY_LOCAL_MACHINE, std::string(kStravo) + "\\ReadSpeed", "C:", false}, 102, 12, "C:"},
        {"reference rate", {HKEY_CURRENT_USER, "Software\\vexo Computer Products\\vexoVIDEO Caracal",
                            "AssumedDataRate", false}, 99, NO_VALUE_NUMBER, "AssumedDataRate"},
        {"Puma probe", {HKEY_LOCAL_MACHINE, kPumaDriver, "WriteToMem", false}, 98, NO_VALUE_NUMBER, "WriteToMem"},
        {"Windows 95 Puma rate", {HKEY_LOCAL_MACHINE, kPumaDriver, "WriteFromMem", true}, 98, 15, 0},
        {"Puma to memory", {HKEY_CURRENT_USER, kPuma, "PumaToMemory", true}, 112, 9, 0},
        {"memory to Puma", {HKEY_CURRENT_USER, kPuma, "MemoryToPuma", true}, 112, 10, 0},
    };
    const struct Row {
        Plant plant;
        bool valueFormOk, subkeyFormOk;
    } rows[] = {
        {{"number", HERE, REG_DWORD, Dword(4800)}, true, true},
        {{"text of four bytes", HERE, REG_SZ, Sz("480")}, true, true},
        {{"text of five bytes", HERE, REG_SZ, Sz("4800")}, false, true},
        {{"eight-byte number", HERE, REG_QWORD, Qword(4800)}, false, true},
        {{"two bytes", HERE, REG_BINARY, Raw("12")}, false, true},
        {{"zero-length", HERE, REG_SZ, ""}, false, true},
        {{"100 digits", HERE, REG_SZ, Sz(std::string(100, '1'))}, false, false},
        {{"100 digits, unterminated", HERE, REG_SZ, std::string(100, '1')}, false, false},
        {{"swapped form", SWAPPED, REG_DWORD, Dword(4800)}, false, false},
        {{"key replaced by a value", KEY_AS_VALUE, REG_DWORD, Dword(4800)}, false, false},
    };
    for (const NumberReader &reader : readers) {
        for (const Row &row : rows) {
            SCOPED_TRACE(std::string(reader.who) + ": " + row.plant.what);
            Reset();
            PlantAt(reader.spot, row.plant);
            unsigned char output[256];
            memset(output, 'q', sizeof output);
            uint32_t size = sizeof output;
            bool ok = reader.spot.subkeyForm ? row.subkeyFormOk : row.valueFormOk;
            EXPECT_EQ(StoreRead(reader.key, reader.number, reader.name, output, DATA_NUMBER, &size), ok ? 0 : 1);
            for (size_t i = ok ? 4 : 0; i < sizeof output; i++)
                ASSERT_EQ(output[i], 'q') << "written at " << i;
        }
    }
}

TEST_F(HostileRegistry, UnterminatedPlantsReallyLackTheirTerminator)
{
    // The fixture's own check: without it the cases above could pass on texts that
    // the registry terminated on its own.
    Spot spot = {HKEY_CURRENT_USER, kServal, "Logo", false};
    PlantAt(spot, {"", HERE, REG_SZ, "VEXO"});
    EXPECT_EQ(GetRegValue(HKEY_CURRENT_USER, kServal, "Logo").data.size(), 4u);
}

TEST_F(HostileRegistry, StartUpLanguageFallsBackToTheCountry)
{
    // France by the country: whatever the stored value cannot say stays French.
    const Spot spot = {HKEY_CURRENT_USER, kServal, "Language", false};
    const struct Row {
        Plant plant;
        int offset;
    } rows[] = {
        {{"number holding GER", HERE, REG_DWORD, Dword(0x00524547)}, 500},
        {{"multi-string, ger first", HERE, REG_MULTI_SZ, Raw("ger\0ENG\0\0")}, 500},
        {{"expandable ENG", HERE, REG_EXPAND_SZ, Sz("ENG")}, 0},
        {{"GER without terminator", HERE, REG_SZ, "GER"}, 500},
        {{"GER, a zero and junk", HERE, REG_SZ, Raw("GER\0junk\0")}, 500},
        {{"GER and 253 letters, unterminated", HERE, REG_SZ, "GER" + std::string(253, 'x')}, 600},
        {{"GER with a blank", HERE, REG_SZ, Sz("GER ")}, 600},
        {{"zero-length", HERE, REG_SZ, ""}, 600},
        {{"a key named Language", SWAPPED, REG_SZ, Sz("GER")}, 600},
        {{"Serval as a value", KEY_AS_VALUE, REG_SZ, Sz("GER")}, 600},
    };
    WritePrivateProfileStringA("intl", "iCountry", "33", "WIN.INI");
    for (const Row &row : rows) {
        SCOPED_TRACE(row.plant.what);
        Reset();
        PlantAt(spot, row.plant);
        ChooseLanguage();
        EXPECT_EQ(LanguageOffset, row.offset);
        EXPECT_EQ(MainDialogId, row.offset + IDD_MAIN);
        EXPECT_EQ(DefaultNtsc, 0);
    }
}

TEST_F(HostileRegistry, CountryEntryIsTakenOnlyAsTextUpToItsFirstNonDigit)
{
    // WIN.INI [intl] lives in the registry here; the profile reader takes texts only
    // and reads digits up to the first that is not one. A text without terminator
    // or of zero length is left out: this profile reader reads past its end.
    const Spot spot = {HKEY_CURRENT_USER, kIntl, "iCountry", false};
    const struct Row {
        Plant plant;
        int offset, ntsc;
    } rows[] = {
        {{"number 49", HERE, REG_DWORD, Dword(49)}, 0, 0},
        {{"49 and letters", HERE, REG_SZ, Sz("49abc")}, 500, 0},
        {{"minus 49", HERE, REG_SZ, Sz("-49")}, 0, 0},
        {{"3000 digits", HERE, REG_SZ, Sz(std::string(3000, '4'))}, 0, 0},
        {{"a key named iCountry", SWAPPED, REG_SZ, Sz("49")}, 0, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.plant.what);
        WritePrivateProfileStringA("intl", "iCountry", 0, "WIN.INI");
        DeleteRegTree(HKEY_CURRENT_USER, (std::string(kIntl) + "\\iCountry").c_str());
        PlantAt(spot, row.plant);
        DefaultNtsc = 7;
        EXPECT_EQ(ReadCountryDefaults(), row.offset);
        EXPECT_EQ(DefaultNtsc, row.ntsc);
    }
}

TEST_F(HostileRegistry, LogoNameFallsBackToTheDefaultLogo)
{
    // The default logo lies beside the runner. A name the read takes and no file
    // answers to narrows the dialog; a read that fails brings the default back.
    // Each row is a whole main dialog (two seconds under Xvfb): the texts the store
    // gives back are covered above, these are the ones that decide the panel.
    const Spot spot = {HKEY_CURRENT_USER, kServal, "Logo", false};
    const std::string name80 = "VEXOLOGO.DIB" + std::string(68, 'x');
    const struct Row {
        Plant plant;
        bool loaded;
    } rows[] = {
        {{"80 bytes, unterminated", HERE, REG_SZ, name80}, true},
        {{"79 characters naming no file", HERE, REG_SZ, Sz(name80.substr(0, 79))}, false},
        {{"multi-string, the logo first", HERE, REG_MULTI_SZ, Raw("VEXOLOGO.DIB\0NOSUCH.DIB\0\0")}, true},
        {{"number 0: an empty name", HERE, REG_DWORD, Dword(0)}, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.plant.what);
        Reset();
        PlantAt(spot, row.plant);
        dialog_ = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAIN), 0, DlgMain, 0);
        ASSERT_TRUE(dialog_);
        EXPECT_EQ(LogoLoaded, row.loaded ? 1 : 0);
        RECT window, panel;
        GetWindowRect(dialog_, &window);
        GetWindowRect(GetDlgItem(dialog_, IDC_LOGO), &panel);
        EXPECT_EQ(IsWindowVisible(GetDlgItem(dialog_, IDC_LOGO)) != 0, !row.loaded);
        if (row.loaded)
            EXPECT_GE(window.right, panel.right);
        else
            EXPECT_EQ(window.right, panel.left) << "narrowed to end at the logo panel";
        DestroyWindow(dialog_);
        dialog_ = 0;
        DrainMessages();
    }
}

class HostileCaptureSettings : public HostileRegistry {
protected:
    void SetUp() override
    {
        HostileRegistry::SetUp();
        dialog_ = OpenQuietMainDialog();
        ASSERT_TRUE(dialog_);
    }
    void Load(int nt)
    {
        IsWindowsNT = nt;
        strcpy(BoardName, "vexoVIDEO");
        memset(&CaptureWaveFormat, 0, sizeof CaptureWaveFormat);
        ASSERT_EQ(LoadCaptureSettings(dialog_), 1);
    }
    static std::string LastBoard()
    {
        RegValue value = GetRegValue(HKEY_LOCAL_MACHINE, (std::string(kStravo) + "\\LastBoard").c_str(), 0);
        EXPECT_EQ(value.type, (DWORD)REG_SZ);
        return value.text();
    }
};

TEST_F(HostileCaptureSettings, ActiveBoardOnWindowsNt)
{
    // LastBoard receives the text as read when it names a board, else "none".
    const Spot spot = {HKEY_LOCAL_MACHINE, kStravo, "ActBoard", true};
    const std::string ocelot = "vexoVIDEO Ocelot";
    const struct Row {
        Plant plant;
        int board;
        std::string lastBoard;
    } rows[] = {
        {{"number", HERE, REG_DWORD, Dword(2)}, BOARD_NONE, "none"},
        {{"multi-string, Lynx first", HERE, REG_MULTI_SZ, Raw("vexoVIDEO Lynx\0vexoVIDEO Puma\0\0")},
         BOARD_LYNX, "vexoVIDEO Lynx"},
        {{"expandable text", HERE, REG_EXPAND_SZ, Sz(ocelot)}, BOARD_OCELOT, ocelot},
        {{"binary without terminator", HERE, REG_BINARY, ocelot}, BOARD_OCELOT, ocelot},
        {{"256 bytes, unterminated", HERE, REG_SZ, ocelot + std::string(240, 'x')}, BOARD_NONE, "none"},
        {{"the name and 300 blanks", HERE, REG_SZ, Sz(ocelot + std::string(300, ' '))}, BOARD_NONE, "none"},
        {{"zero-length", HERE, REG_SZ, ""}, BOARD_NONE, "none"},
        {{"a value named ActBoard", SWAPPED, REG_SZ, Sz(ocelot)}, BOARD_NONE, "none"},
        {{"the program's key as a value", KEY_AS_VALUE, REG_SZ, Sz(ocelot)}, BOARD_NONE, "none"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.plant.what);
        Reset();
        PlantAt(spot, row.plant);
        Load(1);
        EXPECT_EQ(DetectedBoard, row.board);
        EXPECT_EQ(BoardType, row.board == BOARD_NONE ? BOARD_PUMA : row.board);
        EXPECT_EQ(LastBoard(), Sz(row.lastBoard));
    }
}

TEST_F(HostileCaptureSettings, PumaRatesOnWindowsNtFollowTheDecimalRule)
{
    // The decimal rule checks no digit: every text gives some number, and only the
    // range decides. A REG_DWORD 5000 reads as its bytes 88 13: (0x88-48)*10 +
    // (0x13-48) = 851, which is in range.
    const Spot spot = {HKEY_CURRENT_USER, kPuma, "PumaToMemory", true};
    const struct Row {
        Plant plant;
        uint32_t toMemory, fromMemory;
    } rows[] = {
        {{"number 5000", HERE, REG_DWORD, Dword(5000)}, 851, 9000},
        {{"digits and letters", HERE, REG_SZ, Sz("12ab")}, 1740, 9000},  // 1000+200+490+50
        {{"multi-string", HERE, REG_MULTI_SZ, Raw("5000\0 1\0\0")}, 5000, 9000},
        {{"leading blank", HERE, REG_SZ, Sz(" 5000")}, 10000, 12000},
        {{"minus sign", HERE, REG_SZ, Sz("-500")}, 10000, 12000},
        {{"100 digits", HERE, REG_SZ, Sz(std::string(100, '1'))}, 10000, 12000},
        {{"100 bytes, unterminated", HERE, REG_SZ, "5000" + std::string(96, '0')}, 10000, 12000},
        {{"zero-length: 0", HERE, REG_SZ, ""}, 10000, 12000},
        {{"a value named PumaToMemory", SWAPPED, REG_SZ, Sz("5000")}, 10000, 12000},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.plant.what);
        Reset();
        SetRegText(HKEY_LOCAL_MACHINE, (std::string(kStravo) + "\\ActBoard").c_str(), 0, "vexoVIDEO Puma");
        SetRegText(HKEY_CURRENT_USER, (std::string(kPuma) + "\\MemoryToPuma").c_str(), 0, "9000");
        PlantAt(spot, row.plant);
        Load(1);
        EXPECT_EQ(DetectedBoard, BOARD_PUMA);
        EXPECT_EQ(PumaToMemoryRate, row.toMemory);
        EXPECT_EQ(MemoryToPumaRate, row.fromMemory);
    }
}

TEST_F(HostileCaptureSettings, EditingBoardOnWindows95)
{
    // A failed read leaves BoardName as it was; any read leaves it terminated.
    const Spot spot = {HKEY_CURRENT_USER, kServal, "EditingBoard", false};
    const std::string margay = "vexoVIDEO Margay";
    const struct Row {
        Plant plant;
        int board;
        std::string boardName;
    } rows[] = {
        {{"40 bytes, unterminated", HERE, REG_SZ, margay + std::string(24, 'x')}, BOARD_NONE, "vexoVIDEO"},
        {{"39 characters", HERE, REG_SZ, Sz(margay + std::string(23, ' '))}, BOARD_NONE,
         margay + std::string(23, ' ')},
        {{"multi-string, Margay first", HERE, REG_MULTI_SZ, Raw("vexoVIDEO Margay\0vexoVIDEO Ocelot\0\0")},
         BOARD_LYNX, margay},
        {{"binary without terminator", HERE, REG_BINARY, "vexoVIDEO Ocelot plus"}, BOARD_OCELOT_PLUS,
         "vexoVIDEO Ocelot plus"},
        {{"number", HERE, REG_DWORD, Dword(0x44434241)}, BOARD_NONE, "ABCD"},
        {{"a key named EditingBoard", SWAPPED, REG_SZ, Sz(margay)}, BOARD_NONE, "vexoVIDEO"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.plant.what);
        Reset();
        PlantAt(spot, row.plant);
        Load(0);
        EXPECT_EQ(DetectedBoard, row.board);
        ASSERT_TRUE(memchr(BoardName, 0, sizeof BoardName));
        EXPECT_EQ(std::string(BoardName), row.boardName);
    }
}

TEST_F(HostileCaptureSettings, PumaProbeOnWindows95)
{
    // WriteToMem is a value-form number: exactly four bytes of any type. "500" and
    // its terminator are four bytes, 0x00303035, out of range: a Puma at the
    // default rates. WriteFromMem is a subkey-form number under the decimal rule.
    const Spot toMem = {HKEY_LOCAL_MACHINE, kPumaDriver, "WriteToMem", false};
    const Spot fromMem = {HKEY_LOCAL_MACHINE, kPumaDriver, "WriteFromMem", true};
    const struct Row {
        const Spot *spot;
        Plant plant;
        int board;
        uint32_t toMemory, fromMemory;
    } rows[] = {
        {&toMem, {"text of five bytes", HERE, REG_SZ, Sz("5000")}, BOARD_NONE, 10000, 12000},
        {&toMem, {"text of four bytes", HERE, REG_SZ, Sz("500")}, BOARD_PUMA, 10000, 12000},
        {&toMem, {"four bytes of binary", HERE, REG_BINARY, Dword(5000)}, BOARD_PUMA, 5000, 12000},
        {&toMem, {"eight-byte number", HERE, REG_QWORD, Qword(5000)}, BOARD_NONE, 10000, 12000},
        {&toMem, {"two bytes", HERE, REG_BINARY, Raw("\x88\x13")}, BOARD_NONE, 10000, 12000},
        {&toMem, {"a key named WriteToMem", SWAPPED, REG_DWORD, Dword(5000)}, BOARD_NONE, 10000, 12000},
        {&fromMem, {"number 6000: bytes 70 17", HERE, REG_DWORD, Dword(6000)}, BOARD_PUMA, 5000, 615},
        {&fromMem, {"100 digits", HERE, REG_SZ, Sz(std::string(100, '1'))}, BOARD_PUMA, 5000, 12000},
        {&fromMem, {"a value named WriteFromMem", SWAPPED, REG_SZ, Sz("6000")}, BOARD_PUMA, 5000, 12000},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.plant.what);
        Reset();
        if (row.spot == &fromMem)
            SetRegDword(HKEY_LOCAL_MACHINE, kPumaDriver, "WriteToMem", 5000);
        PlantAt(*row.spot, row.plant);
        Load(0);
        EXPECT_EQ(DetectedBoard, row.board);
        EXPECT_EQ(PumaToMemoryRate, row.toMemory);
        EXPECT_EQ(MemoryToPumaRate, row.fromMemory);
    }
}

TEST_F(HostileCaptureSettings, CaptureToolValuesOfAnotherTypeCountAsAbsent)
{
    // Absent: stereo, 16 bits, 44,100 Hz, audio on, NTSC.
    const Spot format = {HKEY_CURRENT_USER, kVidCap, "WaveFormatBinary", false};
    const Spot audio = {HKEY_CURRENT_USER, kVidCap, "CaptureAudio", false};
    const Spot frame = {HKEY_CURRENT_USER, kVidCap, "MicroSecPerFrame", false};
    WaveFormat mono8 = {1, 1, 11025, 11025, 1, 8, 0};
    const std::string mono8Bytes((const char *)&mono8, sizeof mono8);
    const struct Row {
        const Spot *spot;
        Plant plant;
        bool stereo, audioOn, ntsc;
    } rows[] = {
        {&format, {"format as multi-string", HERE, REG_MULTI_SZ, mono8Bytes + Raw("\0\0")}, true, true, true},
        {&format, {"format as expandable text", HERE, REG_EXPAND_SZ, mono8Bytes}, true, true, true},
        {&format, {"format as a key", SWAPPED, REG_BINARY, mono8Bytes}, true, true, true},
        {&format, {"format of 18 bytes", HERE, REG_BINARY, mono8Bytes}, false, true, true},
        {&audio, {"switch as text 0", HERE, REG_SZ, Sz("0")}, true, true, true},
        {&audio, {"switch as binary 0", HERE, REG_BINARY, Dword(0)}, true, true, true},
        {&audio, {"switch as eight bytes 0", HERE, REG_QWORD, Qword(0)}, true, true, true},
        {&audio, {"switch as number 0", HERE, REG_DWORD, Dword(0)}, true, false, true},
        {&frame, {"frame time as binary", HERE, REG_BINARY, Dword(40000)}, true, true, true},
        {&frame, {"frame time as eight bytes", HERE, REG_QWORD, Qword(40000)}, true, true, true},
        {&frame, {"frame time big-endian", HERE, REG_DWORD_BIG_ENDIAN, Dword(40000)}, true, true, true},
        {&frame, {"frame time as text", HERE, REG_SZ, Sz("40000")}, true, true, true},
        {&frame, {"frame time as number", HERE, REG_DWORD, Dword(40000)}, true, true, false},
        {&frame, {"the tool's key as a value", KEY_AS_VALUE, REG_DWORD, Dword(40000)}, true, true, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.plant.what);
        Reset();
        PlantAt(*row.spot, row.plant);
        CheckDlgButton(dialog_, IDC_AUDIO, row.audioOn ? BST_UNCHECKED : BST_CHECKED);
        DefaultNtsc = !row.ntsc;
        Load(1);
        EXPECT_EQ(StereoAudio, row.stereo ? 1 : 0);
        EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_AUDIO) == BST_CHECKED, row.audioOn);
        EXPECT_EQ(DefaultNtsc, row.ntsc ? 1 : 0);
    }
}

TEST_F(HostileCaptureSettings, StoreReplacesOnlyWhatTheRulesCallChanged)
{
    // A value of another type reads as the default, so it is replaced exactly when
    // the new value differs from that default.
    const Spot audio = {HKEY_CURRENT_USER, kVidCap, "CaptureAudio", false};
    const Spot frame = {HKEY_CURRENT_USER, kVidCap, "MicroSecPerFrame", false};
    const Spot format = {HKEY_CURRENT_USER, kVidCap, "WaveFormatBinary", false};
    const WaveFormat stereo16 = {1, 2, 44100, 176400, 4, 16, 0};  // the default, as PCM
    const struct Row {
        const Spot *spot;
        Plant plant;
        bool audioOn, ntsc;
        DWORD typeAfter;
        std::string bytesAfter;
    } rows[] = {
        {&audio, {"switch as text, audio off", HERE, REG_SZ, Sz("0")}, false, false, REG_DWORD, Dword(0)},
        {&audio, {"switch as text, audio on", HERE, REG_SZ, Sz("0")}, true, false, REG_SZ, Sz("0")},
        {&frame, {"frame time as binary, NTSC", HERE, REG_BINARY, Dword(40000)}, true, true, REG_BINARY,
         Dword(40000)},
        {&frame, {"frame time as eight bytes, PAL", HERE, REG_QWORD, Qword(33367)}, true, false, REG_QWORD,
         Qword(33367)},
        {&format, {"format as text", HERE, REG_SZ, Sz("abc")}, true, false, REG_BINARY,
         std::string((const char *)&stereo16, sizeof stereo16)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.plant.what);
        Reset();
        PlantAt(*row.spot, row.plant);
        Load(1);
        CheckDlgButton(dialog_, IDC_AUDIO, row.audioOn ? BST_CHECKED : BST_UNCHECKED);
        CheckRadioButton(dialog_, IDC_PAL, IDC_NTSC, row.ntsc ? IDC_NTSC : IDC_PAL);
        StoreCaptureToolSettings(dialog_);
        RegValue after = GetRegValue(HKEY_CURRENT_USER, kVidCap, row.spot->name);
        ASSERT_TRUE(after.found);
        EXPECT_EQ(after.type, row.typeAfter);
        EXPECT_EQ(after.text(), row.bytesAfter);
    }
}

TEST_F(HostileRegistry, StoredRatesAreTakenOnlyAsFourBytes)
{
    // The drive list over the prefix's own drives; C: is always among them. A
    // broken write rate must not cost the read rate beside it.
    const Spot spot = {HKEY_LOCAL_MACHINE, std::string(kStravo) + "\\WriteSpeed", "C:", false};
    const struct Row {
        Plant plant;
        uint32_t writeRate;
    } rows[] = {
        {{"binary FF FF FF FF", HERE, REG_BINARY, Dword(0xFFFFFFFF)}, 0xFFFFFFFF},
        {{"text of four bytes", HERE, REG_SZ, Sz("480")}, 0x00303834},
        {{"text of five bytes", HERE, REG_SZ, Sz("4800")}, 0},
        {{"eight-byte number", HERE, REG_QWORD, Qword(4800)}, 0},
        {{"zero-length", HERE, REG_BINARY, ""}, 0},
        {{"a key named C:", SWAPPED, REG_DWORD, Dword(4800)}, 0},
        {{"WriteSpeed as a value", KEY_AS_VALUE, REG_DWORD, Dword(4800)}, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.plant.what);
        Reset();
        PlantAt(spot, row.plant);
        SetRegDword(HKEY_LOCAL_MACHINE, (std::string(kStravo) + "\\ReadSpeed").c_str(), "C:", 9600);
        for (DriveEntry &entry : DriveTable)
            entry.description[0] = entry.driveName[0] = 0;
        memset(TestResults, 0, sizeof TestResults);
        int count = BuildDriveList(0);
        int c = 0;
        while (c < count && strcmp(DriveTable[c].driveName, "C:") != 0)
            c++;
        ASSERT_LT(c, count) << "no C: listed";
        EXPECT_EQ(TestResults[c].storedWriteRate, row.writeRate);
        EXPECT_EQ(TestResults[c].storedReadRate, 9600u);
    }
}

TEST_F(HostileRegistry, LanguageListReadsTenBytesAtMost)
{
    const Spot spot = {HKEY_CURRENT_USER, kServal, "Language", false};
    const struct Row {
        Plant plant;
        int selected;
    } rows[] = {
        {{"GER and seven letters, unterminated", HERE, REG_SZ, "GER" + std::string(7, 'x')}, 0},
        {{"GER, a zero and six letters", HERE, REG_SZ, Raw("GER\0xxxxxx")}, 1},
        {{"ten characters", HERE, REG_SZ, Sz("FRE" + std::string(7, ' '))}, 0},
        {{"number holding FRE", HERE, REG_DWORD, Dword(0x00455246)}, 2},
        {{"a key named Language", SWAPPED, REG_SZ, Sz("GER")}, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.plant.what);
        Reset();
        PlantAt(spot, row.plant);
        dialog_ = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_SYSINFO), 0, SysInfoDlgProc, 0);
        ASSERT_TRUE(dialog_);
        EXPECT_EQ(SendDlgItemMessageA(dialog_, IDC_LANGUAGE, CB_GETCURSEL, 0, 0), row.selected);
        DestroyWindow(dialog_);
        dialog_ = 0;
    }
}

}  // namespace
