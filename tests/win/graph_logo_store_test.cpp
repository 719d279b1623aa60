// The graph dialog on a known test, the logo panel on logos written here, and the
// registry store's forms, types and fallbacks on the real registry.
#include <stdio.h>
#include <string.h>

#include "../../graph/graph_dialog.h"
#include "../../measure/drive_records.h"
#include "../../resources/resource.h"
#include "../../shell/shell_state.h"
#include "../../shell/startup.h"
#include "../../store/store.h"
#include "../native/text.h"
#include "runner.h"

namespace {

// The first device y of the column at x, from the top, that has the colour; -1 if none.
int RowOf(HWND window, int x, COLORREF colour)
{
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    int found = -1;
    for (int y = 0; y < client.bottom && found < 0; y++)
        found = GetPixel(dc, x, y) == colour ? y : -1;
    ReleaseDC(window, dc);
    return found;
}

TEST(GraphOfATest)
{
    StartAs(500, 1);
    static BlockSample samples[215];
    for (BlockSample &s : samples)
        s.writeMs = 20, s.readMs = 10;
    strcpy(DriveTable[0].driveName, "U:");
    TestResult &r = TestResults[0];
    r.tested = 1, r.blockSizeKB = 96, r.blockCount = 214, r.shortestBlockMs = 10, r.samples = samples;
    r.writeRate = 4000, r.readRate = 8000;  // the average lines stand apart from the curves
    CHECK_EQ(RunDialog(IDD_GRAPH + 500, GraphDlgProc, [](HWND graph) {
        char title[128];
        GetWindowTextA(graph, title, sizeof title);
        CHECK_EQ(std::string(title), Ansi("Datenrate Grafik -  Laufwerk U:"));
        RECT window;
        GetWindowRect(graph, &window);
        CHECK_EQ((window.right - window.left) * 1000 + window.bottom - window.top, 600 * 1000 + 300);
        UpdateWindow(graph);
        CHECK_EQ(TextOf(graph, IDC_Y_MAX) + " " + TextOf(graph, IDC_X_MID) + " " + TextOf(graph, IDC_X_MAX) + " " +
                     TextOf(graph, IDC_CURSOR_KB), "10000 10 20 10000");
        RECT label;
        GetWindowRect(GetDlgItem(graph, IDC_CURSOR_KB), &label);
        MapWindowPoints(0, graph, (POINT *)&label, 2);
        CHECK_EQ(label.left, Graph.clientWidth - Graph.marginRight + 1);
        const int plotWidth = Graph.clientWidth - Graph.marginLeft - Graph.marginRight;
        const int plotHeight = Graph.clientHeight - Graph.marginTop - Graph.marginBottom;
        const int x = Graph.marginLeft + plotWidth / 4, bottom = Graph.clientHeight - Graph.marginBottom;
        // Write red at 4800 kB/s, read blue at 9600, on a scale of 10000.
        CHECK(abs(RowOf(graph, x, RGB(255, 0, 0)) - (bottom - 4800 * plotHeight / 10000)) <= 1);
        CHECK(abs(RowOf(graph, x, RGB(0, 0, 255)) - (bottom - 9600 * plotHeight / 10000)) <= 1);
        const int middle = Graph.marginLeft + plotWidth / 2;
        HDC dc = GetDC(graph);
        COLORREF line = GetPixel(dc, middle, bottom - 20), beside = GetPixel(dc, middle + 3, bottom - 20);
        CHECK_EQ(line, beside ^ 0xFFFFFF);
        SendMessageA(graph, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, bottom - 20));
        CHECK_EQ(TextOf(graph, IDC_CURSOR_KB), std::to_string(plotWidth / 4 * 20000 / plotWidth));
        CHECK_EQ(GetPixel(dc, middle, bottom - 20), beside);
        CHECK_EQ(GetPixel(dc, Graph.marginLeft + plotWidth * (int)Graph.cursorKB / 20000, bottom - 20), beside ^ 0xFFFFFF);
        ReleaseDC(graph, dc);
        SendMessageA(graph, WM_LBUTTONUP, 0, MAKELPARAM(5, 2));
        UpdateWindow(graph);
        CHECK(RowOf(graph, x, RGB(0, 0, 255)) < 0 && RowOf(graph, x, RGB(255, 0, 0)) > 0);
        RECT small = {100, 100, 120, 120};
        SendMessageA(graph, WM_SIZING, WMSZ_BOTTOMRIGHT, (LPARAM)&small);
        CHECK_EQ(small.right * 1000 + small.bottom,
                 (100 + Graph.marginLeft + Graph.marginRight + 300) * 1000 + 100 + Graph.marginTop + Graph.marginBottom + 150);
        SendMessageA(graph, WM_COMMAND, IDCANCEL, 0);
    }), 1);
    r.samples = nullptr;
    CHECK_EQ(RunDialog(IDD_GRAPH + 500, GraphDlgProc, [](HWND graph) { UpdateWindow(graph); }), 2);
    CHECK_EQ(Live(), 0);
    r = TestResult();
}

// A 4 x 4 logo of four colours, one to a quadrant, top-down or bottom-up.
std::string Logo(bool topDown, uint16_t bits)
{
    std::string f(14 + 40 + 16 + 16, '\0');
    uint32_t header[] = {40, 4, topDown ? (uint32_t)-4 : 4u, 1u | (uint32_t)bits << 16, 0, 16, 0, 0, 4, 0};
    memcpy(&f[14], header, sizeof header);
    f[0] = 'B', f[1] = 'M', f[10] = 14 + 40 + 16;
    const uint32_t colours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};  // blue, green, red, white
    memcpy(&f[54], colours, 16);
    for (int row = 0; row < 4; row++)
        for (int column = 0; column < 4; column++)
            f[70 + 4 * (topDown ? row : 3 - row) + column] = (char)((row / 2) * 2 + column / 2);
    return f;
}

TEST(LogoInThePanel)
{
    struct Row {
        bool topDown;
        uint16_t bits;
        bool shown;
    } rows[] = {{true, 8, true}, {false, 8, true}, {false, 16, false}};
    for (const Row &r : rows) {
        Context = r.topDown ? "top-down" : r.bits == 8 ? "bottom-up" : "16-bit";
        char path[MAX_PATH];
        GetTempPathA(sizeof path, path);
        strcat(path, "stravo-logo.dib");
        FILE *f = fopen(path, "wb");
        std::string bytes = Logo(r.topDown, r.bits);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
        ResetRegistry();
        Put(CU, kServal, "Logo", std::string("sz:") + path);
        StartAs(0, 1);
        Script(MainDialogId, [&](HWND dialog) {
            RECT panel, window;
            HWND control = GetDlgItem(dialog, IDC_LOGO);
            GetWindowRect(control, &panel);
            GetWindowRect(dialog, &window);
            CHECK_EQ(IsWindowVisible(control) ? 1 : 0, r.shown ? 0 : 1);
            CHECK_EQ(window.right > panel.left ? 1 : 0, r.shown ? 1 : 0);
            UpdateWindow(dialog);
            MapWindowPoints(0, dialog, (POINT *)&panel, 2);
            HDC dc = GetDC(dialog);
            int w = panel.right - panel.left, h = panel.bottom - panel.top;
            COLORREF corners[] = {GetPixel(dc, panel.left + w / 4, panel.top + h / 4),
                                  GetPixel(dc, panel.right - w / 4, panel.top + h / 4),
                                  GetPixel(dc, panel.left + w / 4, panel.bottom - h / 4),
                                  GetPixel(dc, panel.right - w / 4, panel.bottom - h / 4)};
            ReleaseDC(dialog, dc);
            if (r.shown)
                CHECK(corners[0] == RGB(0, 0, 255) && corners[1] == RGB(0, 255, 0) && corners[2] == RGB(255, 0, 0) &&
                      corners[3] == RGB(255, 255, 255));
            SendMessageA(dialog, WM_PALETTECHANGED, (WPARAM)dialog, 0);
            SendMessageA(dialog, WM_QUERYNEWPALETTE, 0, 0);
            CHECK_EQ(Live(WATCH_DC), r.shown ? 1 : 0);
            SendMessageA(dialog, WM_CLOSE, 0, 0);
        });
        RunMainDialog();
        CHECK_EQ(Live(), 0);
        DeleteFileA(path);
    }
}

TEST(StoreFormsTypesAndFallbacks)
{
    ResetRegistry();
    StartAs(0, 1);
    uint32_t n = 4800;
    const std::string x100(100, 'x'), x101(101, 'x');
    struct Write {
        uint16_t status;
        HKEY root;
        std::string path;
        const char *name, *value;
    } writes[] = {
        {StoreWrite(102, 11, "C:", &n, DATA_NUMBER), LM, kWriteSpeed, "C:", "dw:4800"},
        {StoreWriteSubkey(112, 9, &n, DATA_NUMBER), CU, "Software\\vexo\\Puma\\PumaToMemory", "", "sz:4800"},
        {StoreWriteNamed(98, 13, &n, DATA_NUMBER), CU, kPuma, "AssumedDataRate", "dw:4800"},
        {StoreWriteNamed(103, 4, "GER", DATA_TEXT), CU, kServal, "Language", "sz:GER"},
        {StoreWriteSubkey(102, 8, "none", DATA_TEXT), LM, kStravo + "\\LastBoard", "", "sz:none"},
        {StoreWriteNamed(99, 2, x100.c_str(), DATA_TEXT), CU, kCaracal, "CapDrive", nullptr},
        {StoreWriteNamed(99, 0, x101.c_str(), DATA_TEXT), CU, kCaracal, "CapRate", "-"},
        {StoreWriteNamed(99, 0, &n, 2), CU, kCaracal, "CapRate", "-"},
        {StoreWriteNamed(101, 0, &n, DATA_NUMBER), CU, kVidCap, "CapRate", "-"},
    };
    for (const Write &w : writes) {
        Context = w.path + " " + w.name;
        std::string value = w.value ? w.value : "sz:" + x100;
        CHECK_EQ(Text("%u ", w.status) + Get(w.root, w.path, w.name), Text("%d ", value == "-") + value);
    }
    Context = "reads";
    Put(LM, kPuma, "WriteToMem", "dw:300");
    Put(LM, kPuma + "\\WriteFromMem", "", "sz:0123");
    Put(CU, kServal, "EditingBoard", "bin:010203");
    uint32_t value = 7, size = 0, got;
    char text[8] = "keep";
    got = StoreReadNamed(98, 14, &value, DATA_NUMBER, &size);
    std::string seen = Text("%u %u ", got, value);
    got = StoreReadSubkey(98, 15, &value, DATA_NUMBER, &size);
    seen += Text("%u %u %u ", got, value, size);
    got = StoreReadNamed(103, 16, &value, DATA_NUMBER, &size);
    seen += Text("%u %u ", got, value);
    size = 4;
    got = StoreReadNamed(103, 4, text, DATA_TEXT, &size);
    seen += Text("%u %s %u ", got, text, size);
    size = 3;
    got = StoreReadNamed(103, 4, text, DATA_TEXT, &size);
    seen += Text("%u %s %u ", got, text, size);
    seen += Text("%u ", StoreReadNamed(100, 4, text, DATA_TEXT, &size));
    CHECK_EQ(seen, "0 300 0 123 4 1 123 0 GER 4 1 GER 3 1 ");
    HKEY none;
    CHECK(RegOpenKeyExA(CU, kStravo.c_str(), 0, KEY_READ, &none) != ERROR_SUCCESS);

    Context = "capture tool";
    Put(CU, kVidCap, "Text", "sz:1");
    CHECK_EQ(Text("%d%d%d", VidCapReadFlag(101, "Missing", 1), VidCapReadFlag(101, "Text", 0), VidCapReadFlag(100, "Text", 1)), "100");
    VidCapWriteFlag(101, "Off", 0, 1);
    VidCapWriteFlag(101, "On", 1, 1);
    VidCapWriteDword(101, "Frame", 33367, 33367);
    Put(CU, kVidCap, "Old", "dw:40000");
    VidCapWriteDword(101, "Old", 33367, 33367);
    VidCapWriteBinary(101, "Written", "xyz", 3);
    seen.clear();
    for (const char *name : {"Off", "On", "Frame", "Old", "Written"})
        seen += Get(CU, kVidCap, name) + " ";
    Put(CU, kVidCap, "Short", "bin:6162");
    Put(CU, kVidCap, "Long", "bin:6162636465666768");
    Put(CU, kVidCap, "Empty", "bin:");
    for (const char *name : {"Short", "Long", "Empty", "Old", "None"}) {
        char out[6];
        memset(out, 'Z', sizeof out);
        got = VidCapReadBinary(101, name, "123456", out, 6);
        seen += Text("%u ", got) + std::string(out, 6) + " ";
    }
    CHECK_EQ(seen, "dw:0 - - dw:33367 bin:78797a 2 abZZZZ 6 123456 0 ZZZZZZ 6 123456 6 123456 ");
    CHECK_EQ(Live(WATCH_KEY), 0);
}

}  // namespace
