// The logo panel on a real main dialog: bitmap files read through OpenFile, their
// palettes read back, the area they are painted into, the palette messages and the
// release of every object.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "../../logo/dib.h"
#include "../../logo/logo_panel.h"
#include "../../resources/resource.h"
#include "../../shell/main_dialog.h"
#include "../../shell/shell_state.h"
#include "registry_helpers.h"
#include "test_dialogs.h"

namespace {

typedef std::vector<unsigned char> Bytes;

void Put(Bytes &b, uint32_t v, int n) { for (int i = 0; i < n; i++) b.push_back((v >> (8 * i)) & 0xFF); }

// A bottom-up BMP whose pixels all have index or colour `value`.
Bytes Bitmap(int width, int height, int bits, int colors, uint32_t value)
{
    int row = (width * bits + 31) / 32 * 4;
    Bytes b = {'B', 'M'};
    Put(b, 0, 4);
    Put(b, 0, 4);
    Put(b, 14 + 40 + colors * 4, 4);
    Put(b, 40, 4);
    Put(b, width, 4);
    Put(b, height, 4);
    Put(b, 1, 2);
    Put(b, bits, 2);
    Put(b, 0, 4);
    Put(b, row * height, 4);
    Put(b, 0, 4);
    Put(b, 0, 4);
    Put(b, colors, 4);
    Put(b, 0, 4);
    for (int i = 0; i < colors; i++) {
        b.push_back((unsigned char)i);        // blue
        b.push_back((unsigned char)(255 - i)); // green
        b.push_back((unsigned char)(i / 2));  // red
        b.push_back(0);
    }
    for (int y = 0; y < height; y++)
        for (int x = 0; x < row; x++)
            b.push_back(x < width * bits / 8 ? (unsigned char)(value >> (8 * (x % (bits / 8)))) : 0);
    return b;
}

std::string Write(const char *name, const Bytes &data)
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    std::string path = std::string(dir) + name;
    FILE *f = fopen(path.c_str(), "wb");
    fwrite(data.data(), 1, data.size(), f);
    fclose(f);
    return path;
}

class LogoPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppInstance = GetModuleHandleA(0);
        dialog_ = OpenQuietMainDialog();
        ASSERT_TRUE(dialog_);
        logo_ = LogoImageRecord{};
    }
    void TearDown() override { DestroyWindow(dialog_); }
    HWND dialog_ = 0;
    LogoImageRecord logo_;
};

TEST_F(LogoPanel, AnEightBitLogoBringsItsPaletteAndTheArea)
{
    std::string path = Write("stravo-logo8.dib", Bitmap(30, 60, 8, 256, 7));
    EXPECT_EQ(LogoFileUsable(path.c_str()), 1);
    WORD width = 0, height = 0;
    ASSERT_EQ(LoadLogo(dialog_, IDC_LOGO, path.c_str(), &logo_, &width, &height), 1);
    EXPECT_EQ(width, 30);
    EXPECT_EQ(height, 60);
    EXPECT_EQ(logo_.width, 30);
    EXPECT_EQ(logo_.height, 60);
    PALETTEENTRY entries[256];
    ASSERT_EQ(GetPaletteEntries(logo_.palette, 0, 256, entries), 256u);
    for (int i : {0, 7, 100, 255}) {
        EXPECT_EQ(entries[i].peRed, i / 2) << i;
        EXPECT_EQ(entries[i].peGreen, 255 - i) << i;
        EXPECT_EQ(entries[i].peBlue, i) << i;
        EXPECT_EQ(entries[i].peFlags, 0) << i;
    }
    RECT panel;
    GetWindowRect(GetDlgItem(dialog_, IDC_LOGO), &panel);
    MapWindowPoints(0, dialog_, (POINT *)&panel, 2);
    RECT client;
    GetClientRect(GetDlgItem(dialog_, IDC_LOGO), &client);
    EXPECT_GE(LogoArea.x, panel.left);
    EXPECT_GE(LogoArea.y, panel.top);
    EXPECT_EQ(LogoArea.width, client.right);
    EXPECT_EQ(LogoArea.height, client.bottom);

    HPALETTE palette = logo_.palette;
    HDC memory = logo_.memoryDC;
    HGDIOBJ bitmap = GetCurrentObject(memory, OBJ_BITMAP);
    ASSERT_EQ(GetObjectType(bitmap), (DWORD)OBJ_BITMAP);
    FreeLogo(&logo_);
    EXPECT_EQ(GetObjectType(palette), 0u) << "palette deleted";
    EXPECT_EQ(GetObjectType(memory), 0u) << "memory DC deleted";
    EXPECT_EQ(GetObjectType(bitmap), 0u) << "bitmap deleted";
}

TEST_F(LogoPanel, TwentyFourBitsGoThroughTheColourCube)
{
    std::string path = Write("stravo-logo24.dib", Bitmap(16, 16, 24, 0, 0x2040C0));
    ASSERT_EQ(LoadLogo(dialog_, IDC_LOGO, path.c_str(), &logo_, 0, 0), 1);
    PALETTEENTRY entries[256];
    ASSERT_EQ(GetPaletteEntries(logo_.palette, 0, 256, entries), 256u);
    EXPECT_EQ(entries[9].peRed, 32);
    EXPECT_EQ(entries[9].peGreen, 32);
    EXPECT_EQ(entries[9].peBlue, 0);
    EXPECT_EQ(entries[255].peBlue, 192);
    FreeLogo(&logo_);
}

TEST_F(LogoPanel, FilesWithoutAPaletteOrWholeBitsAreRefused)
{
    Bytes cut = Bitmap(16, 16, 8, 256, 1);
    cut.resize(cut.size() - 1);
    const struct { const char *name; Bytes data; } cases[] = {
        {"stravo-logo16.dib", Bitmap(16, 16, 16, 0, 0x7C00)},
        {"stravo-logo32.dib", Bitmap(16, 16, 32, 0, 0xFF0000)},
        {"stravo-logocut.dib", cut},
    };
    for (const auto &c : cases) {
        std::string path = Write(c.name, c.data);
        EXPECT_EQ(LoadLogo(dialog_, IDC_LOGO, path.c_str(), &logo_, 0, 0), 0) << c.name;
        EXPECT_EQ(logo_.palette, (HPALETTE)0) << c.name;
        EXPECT_EQ(logo_.memoryDC, (HDC)0) << c.name;
    }
    EXPECT_EQ(LogoFileUsable("C:\\no\\such\\logo.dib"), 0);
    EXPECT_EQ(LoadLogo(dialog_, IDC_LOGO, "C:\\no\\such\\logo.dib", &logo_, 0, 0), 0);
    EXPECT_EQ(LogoFileUsable(Write("stravo-logocut.dib", cut).c_str()), 0);
    EXPECT_EQ(LogoFileUsable(Write("stravo-logo16.dib", Bitmap(16, 16, 16, 0, 1)).c_str()), 1)
        << "it reads; only the palette is missing";
}

TEST(LogoPanelMain, TheDefaultLogoIsFoundAndPaletteMessagesDoNotRepaint)
{
    AppInstance = GetModuleHandleA(0);
    ResetProgramRegistry();  // no Logo value: VEXOLOGO.DIB beside the program
    HWND dialog = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAIN), 0, DlgMain, 0);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(LogoLoaded, 1);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_LOGO))) << "the frame gives way to the logo";
    UpdateWindow(dialog);
    EXPECT_EQ(SendMessageA(dialog, WM_QUERYNEWPALETTE, 0, 0), 0);
    EXPECT_FALSE(GetUpdateRect(dialog, 0, FALSE));
    HWND other = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, 0);
    EXPECT_EQ(SendMessageA(dialog, WM_PALETTECHANGED, (WPARAM)other, 0), 0);
    EXPECT_EQ(SendMessageA(dialog, WM_PALETTECHANGED, (WPARAM)dialog, 0), 0);
    EXPECT_FALSE(GetUpdateRect(dialog, 0, FALSE));
    DestroyWindow(other);
    HPALETTE palette = LogoImage.palette;
    DestroyWindow(dialog);
    EXPECT_EQ(GetObjectType(palette), 0u) << "released with the dialog";
    MSG msg;
    while (PeekMessageA(&msg, 0, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    ResetProgramRegistry();
}

}  // namespace
