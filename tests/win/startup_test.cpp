// Start-up: language from WIN.INI and the stored word, strings, platform and the
// report of a main dialog that cannot be created.
#include <gtest/gtest.h>

#include <string>

#include "../../resources/resource.h"
#include "../../shell/shell_state.h"
#include "../../shell/startup.h"
#include "msgbox_watch.h"
#include "registry_helpers.h"

namespace {

const char kServal[] = "Software\\vexo Computer Products\\Serval";

class Startup : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppInstance = GetModuleHandleA(0);
        ResetProgramRegistry();
        savedOffset_ = LanguageOffset;
    }
    void TearDown() override
    {
        WritePrivateProfileStringA("intl", "iCountry", 0, "WIN.INI");
        ResetProgramRegistry();
        LanguageOffset = savedOffset_;
        MainDialogId = IDD_MAIN;
        LoadLangString(AppInstance, IDS_APP_CAPTION, AppCaption, sizeof AppCaption);
    }
    static void SetCountry(const char *country)
    {
        WritePrivateProfileStringA("intl", "iCountry", country, "WIN.INI");
    }
    int savedOffset_ = 0;
};

TEST_F(Startup, CountryAndStoredLanguageChooseTheInterface)
{
    struct Row {
        const char *country;  // 0: no entry
        const char *language; // 0: no value
        int offset, ntsc;
        const char *help;
    } rows[] = {
        {"49", 0, 500, 0, "STRVGER.HLP"},
        {"1", "GER", 500, 1, "STRVGER.HLP"},  // the norm follows the country
        {"49", "fre", 600, 0, "STRVFRE.HLP"},
        {"49", "DEU", 500, 0, "STRVGER.HLP"}, // unknown word: country default
        {0, 0, 0, 0, "STRVENG.HLP"},
        {"33", 0, 600, 0, "STRVFRE.HLP"},
        {"32", "ENG", 0, 0, "STRVENG.HLP"},
        {"886", 0, 0, 1, "STRVENG.HLP"},
        {"43", "", 500, 0, "STRVGER.HLP"},
        {"44", "Ger", 500, 0, "STRVGER.HLP"},
    };
    for (const Row &row : rows) {
        SetCountry(row.country);
        ResetProgramRegistry();
        if (row.language)
            SetRegText(HKEY_CURRENT_USER, kServal, "Language", row.language);
        DefaultNtsc = 7;
        ChooseLanguage();
        SCOPED_TRACE(std::string(row.country ? row.country : "-") + "/" +
                     (row.language ? row.language : "-"));
        EXPECT_EQ(LanguageOffset, row.offset);
        EXPECT_EQ(DefaultNtsc, row.ntsc);
        EXPECT_EQ(MainDialogId, row.offset + 10);
        EXPECT_EQ(AboutDialogId, row.offset + 11);
        EXPECT_EQ(SysInfoDialogId, row.offset + 12);
        EXPECT_STREQ(HelpFile, row.help);
        EXPECT_STREQ(AppCaption, "vexoVIDEO STRAVO (Stravometer)");
    }
}

TEST_F(Startup, ALanguageWordUnderAnotherTypeStillCounts)
{
    SetCountry("49");
    SetRegValue(HKEY_CURRENT_USER, kServal, "Language", REG_BINARY, "FRE", 3);
    ChooseLanguage();
    EXPECT_EQ(LanguageOffset, 600);
}

std::wstring LangStringW(UINT id)
{
    wchar_t text[256];
    int n = LoadStringW(GetModuleHandleA(0), id + LanguageOffset, text, 256);
    return std::wstring(text, n);
}

TEST_F(Startup, StringsLoadInEachLanguage)
{
    struct Row {
        int offset;
        UINT id;
        const wchar_t *text;
    } rows[] = {
        {0, IDS_FREE_OF, L"free of"},
        {500, IDS_DELETING, L"L\u00f6sche angelegte Dateien..."},
        {600, IDS_DELETING, L"Effacement des fichiers cr\u00e9\u00e9s..."},
        {600, IDS_STORE_PROMPT,
         L"Le taux de donn\u00e9es pour le disque dur s\u00e9lectionn\u00e9 n'est pas encore "
         L"enregistr\u00e9 !\nFaut-il l'enregistrer comme r\u00e9f\u00e9rence et quitter le programme ?"},
        {0, IDS_STORE_PROMPT,
         L"Data rate for selected hard disk still not saved\nSave as reference and close program ?"},
        {500, IDS_GRAPH_TITLE, L"Datenrate Grafik -  Laufwerk %s"},
        {600, IDS_ENGLISH, L"Englais"},
        {500, IDS_FRENCH, L"Franz\u00f6sisch"},
        {0, IDS_WRITE_READOUT, L"-- Write %5d "},
    };
    for (const Row &row : rows) {
        LanguageOffset = row.offset;
        EXPECT_EQ(LangStringW(row.id), row.text) << row.offset + row.id;
    }
    // The drive texts and frame sizes carry no offset.
    LanguageOffset = 600;
    char text[16];
    EXPECT_EQ(LoadLangString(AppInstance, 24, text, sizeof text), 0);
    EXPECT_EQ(LoadStringA(AppInstance, IDS_DRIVE_FIRST + 8, text, sizeof text), 2);
    EXPECT_STREQ(text, "K:");
    EXPECT_EQ(LoadStringA(AppInstance, IDS_FRAME_FIRST + 6, text, sizeof text), 7);
    EXPECT_STREQ(text, "720x540");
}

TEST_F(Startup, LoadLangStringAddsTheOffsetAndStaysInItsBuffer)
{
    LanguageOffset = 500;
    char text[8];
    memset(text, 'q', sizeof text);
    int n = LoadLangString(AppInstance, IDS_FREE_OF, text, 5);
    EXPECT_EQ(n, 4);
    EXPECT_STREQ(text, "frei");
    EXPECT_EQ(text[5], 'q');
}

TEST_F(Startup, TheDefaultPlatformIsNT)
{
    IsWindowsNT = 7;
    EXPECT_EQ(CheckPlatform(), 1);
    EXPECT_EQ(IsWindowsNT, 1);
}

TEST_F(Startup, AMainDialogThatCannotBeCreatedIsReported)
{
    LanguageOffset = 500;
    LoadLangString(AppInstance, IDS_APP_CAPTION, AppCaption, sizeof AppCaption);
    MainDialogId = 9999;
    MessageBoxWatch watch;
    RunMainDialog();
    ASSERT_EQ(watch.seen().size(), 1u);
    const SeenMessageBox &box = watch.seen()[0];
    EXPECT_EQ(box.text, "Zu wenig freier Systemspeicher");
    EXPECT_EQ(box.caption, "vexoVIDEO STRAVO (Stravometer)");
    EXPECT_EQ(box.owner, (HWND)0);
    EXPECT_EQ(box.icon, StopIcon());
    EXPECT_TRUE(box.hasOk);
    EXPECT_FALSE(box.hasCancel);
    EXPECT_FALSE(box.probeEnabled) << "the box is task-modal";
}

TEST_F(Startup, ARunningInstanceIsRestoredAndRaised)
{
    LoadLangString(AppInstance, IDS_APP_CAPTION, AppCaption, sizeof AppCaption);
    EXPECT_EQ(RaiseRunningInstance(), 0);
    HWND first = CreateWindowExA(0, "Static", AppCaption, WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0,
                                 200, 100, 0, 0, 0, 0);
    ASSERT_TRUE(first);
    ShowWindow(first, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(first));
    EXPECT_EQ(RaiseRunningInstance(), 1);
    EXPECT_FALSE(IsIconic(first));
    DestroyWindow(first);
}

} // namespace
