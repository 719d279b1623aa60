// The disk test on real files under Wine: the transfers are the system's, seen
// through recording wrappers that also play a steady clock, post Escape or fail a
// chosen block; the boxes are read and answered by the watcher.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "../../measure/disk_test.h"
#include "../../resources/resource.h"
#include "../../shell/shell_state.h"
#include "msgbox_watch.h"
#include "registry_helpers.h"
#include "test_dialogs.h"

namespace {

const char kDir[] = "C:\\stravo-t";
const char kFile[] = "C:\\stravo-t\\VEXOSV32.DAT";
const char kStravo[] = "Software\\vexo Computer Products\\vexoVIDEO STRAVO";
const uint32_t kBlockBytes = 96 * 1024;

struct Script {
    HWND owner = 0;
    DWORD ticks = 0, step = 0;
    uint32_t writeMs = 20, readMs = 10;
    uint32_t writes = 0, reads = 0;
    uint32_t failWriteAt = 0, shortReadAt = 0;      // 0: never
    uint32_t escapeAtWrite = 0, escapeAtRead = 0;   // post a key release at that block
    uint32_t endSessionAtWrite = 0;                 // another thread sends WM_ENDSESSION
    WPARAM endSessionWParam = TRUE;
    uint32_t cleanedAfterWrites = 0;                // writes done when the clean-up ran
    HANDLE sender = 0;
    std::vector<std::string> titles;                // the owner's title at block 1 of each pass
    bool misaligned = false, zeros = false;
} S;

void KeyUp(WPARAM key) { PostMessageA(S.owner, WM_KEYUP, key, 0xC0000001); }

void Title()
{
    char title[256];
    GetWindowTextA(S.owner, title, sizeof title);
    S.titles.push_back(title);
}

DWORD WINAPI SendEndSession(void *)
{
    SendMessageA(S.owner, WM_ENDSESSION, S.endSessionWParam, 0);
    return 0;
}

// Waits until the log-off is queued for the pass, which takes it in at its next look.
void QueueEndSession()
{
    S.sender = CreateThread(0, 0, SendEndSession, 0, 0, 0);
    for (int i = 0; i < 500 && !(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE); i++)
        Sleep(10);
}

BOOL WINAPI ScriptWrite(HANDLE file, LPCVOID data, DWORD bytes, LPDWORD written, LPOVERLAPPED overlapped)
{
    S.step = S.writeMs;
    if (++S.writes == 1) {
        Title();
        const unsigned char *p = (const unsigned char *)data;
        S.zeros = std::all_of(p, p + bytes, [](unsigned char c) { return c == 0; });
    }
    S.misaligned |= ((uintptr_t)data % 4096) != 0;
    if (S.escapeAtWrite == S.writes)
        KeyUp(VK_ESCAPE);
    if (S.endSessionAtWrite == S.writes)
        QueueEndSession();
    if (S.failWriteAt && S.writes >= S.failWriteAt) {
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return WriteFile(file, data, bytes, written, overlapped);
}

BOOL WINAPI ScriptRead(HANDLE file, LPVOID data, DWORD bytes, LPDWORD read, LPOVERLAPPED overlapped)
{
    S.step = S.readMs;
    if (++S.reads == 1)
        Title();
    S.misaligned |= ((uintptr_t)data % 4096) != 0;
    if (S.escapeAtRead == S.reads)
        KeyUp(VK_ESCAPE);
    BOOL ok = ReadFile(file, data, bytes, read, overlapped);
    if (S.shortReadAt == S.reads)
        *read = bytes / 2;
    return ok;
}

// A clock that advances one block time per read: steady blocks, whatever the host does.
DWORD WINAPI ScriptTicks() { return S.ticks += S.step; }

const DiskCalls kScriptCalls = {ScriptWrite, ScriptRead, ScriptTicks};

std::string LoadString(UINT id)
{
    char text[512];
    int n = LoadStringA(GetModuleHandleA(0), id, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

bool FileExists(const char *path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// The main dialog's answer to a log-off, on the test's owner window.
WNDPROC StaticProc;
LRESULT CALLBACK EndSessionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENDSESSION) {
        DeleteTestFiles(window);
        S.cleanedAfterWrites = S.writes;
        return 0;
    }
    return CallWindowProcA(StaticProc, window, message, wParam, lParam);
}

class DiskTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseEnglish();
        ResetProgramRegistry();
        CreateDirectoryA(kDir, 0);
        DeleteFileA(kFile);
        S = Script();
        S.owner = CreateWindowExA(0, "Static", AppCaption, WS_POPUP, 0, 0, 100, 100, 0, 0, 0, 0);
        PassCalls = &kScriptCalls;
        for (DriveEntry &entry : DriveTable)
            entry.driveName[0] = entry.description[0] = 0;
        memset(TestResults, 0, sizeof TestResults);
        strcpy(DriveTable[0].driveName, kDir);
        TestResults[0].freeMB = 500;
        TestFileSizeMB = 20;
        TestStarted = 0;
    }
    void TearDown() override
    {
        DeleteTestFiles(S.owner);
        DestroyWindow(S.owner);
        PassCalls = &SystemDiskCalls;
        DeleteFileA(kFile);
        RemoveDirectoryA(kDir);
        ResetProgramRegistry();
        LanguageOffset = 0;
    }
    std::string Title() const
    {
        char title[256];
        GetWindowTextA(S.owner, title, sizeof title);
        return title;
    }
    void ResetScript()
    {
        HWND owner = S.owner;
        S = Script();
        S.owner = owner;
    }
    TestResult &R = TestResults[0];
};

TEST_F(DiskTest, A20MegabyteTestOfSteadyBlocks)
{
    ASSERT_EQ(RunDiskTest(S.owner, 0), 1);
    EXPECT_EQ(R.tested, 1u);
    EXPECT_EQ(R.blockCount, 214u);
    EXPECT_EQ(S.writes, 214u);
    EXPECT_EQ(S.reads, 214u);
    EXPECT_EQ(R.writeRate, 4800u);
    EXPECT_EQ(R.readRate, 9600u);
    EXPECT_EQ(R.shortestBlockMs, 10u);
    EXPECT_EQ(R.samples[213].writeMs, 20u) << "samples hold per-block times";
    EXPECT_STREQ(R.testFilePath, kFile);
    EXPECT_EQ(TestStarted, 1);
    ASSERT_EQ(S.titles.size(), 2u);
    EXPECT_EQ(S.titles[0], std::string("Writing test file... wait - 20 MB (") + kFile + ") ");
    EXPECT_EQ(S.titles[1], "Reading test file... wait (20 MB)");
    EXPECT_EQ(Title(), AppCaption);
    EXPECT_FALSE(S.misaligned) << "unbuffered transfers need 4096-byte aligned buffers";
    EXPECT_FALSE(S.zeros) << "the block is filled with a pattern";

    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA(kFile, GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 214u * kBlockBytes);

    // A second test: the first result becomes the comparison, also when it fails.
    ResetScript();
    S.failWriteAt = 1;
    MessageBoxWatch watch;
    EXPECT_EQ(RunDiskTest(S.owner, 0), 0);
    EXPECT_EQ(R.tested, 0u);
    EXPECT_EQ(R.storedWriteRate, 4800u);
    EXPECT_EQ(R.storedReadRate, 9600u);
    EXPECT_EQ(R.writeRate, 4800u) << "no rates invented from zero blocks";
    EXPECT_EQ(S.reads, 0u) << "nothing to read after a write pass without blocks";
    EXPECT_EQ(watch.seen().size(), 1u);
}

TEST_F(DiskTest, TitlesInGermanAndFrenchAt2000Megabytes)
{
    TestFileSizeMB = 2000;
    R.freeMB = 3000;
    for (int offset : {500, 600}) {
        SCOPED_TRACE(offset);
        LanguageOffset = offset;
        ResetScript();
        S.failWriteAt = 2;  // the title is all this needs
        MessageBoxWatch watch;
        RunDiskTest(S.owner, 0);
        ASSERT_GE(S.titles.size(), 1u);
        std::string expected = LoadString(IDS_WRITING + offset) + " - 2000 MB (" + kFile + ") ";
        EXPECT_EQ(S.titles[0], expected);
    }
}

TEST_F(DiskTest, EscapeStopsAPassAtTheNextHundredthBlock)
{
    S.escapeAtWrite = 150;
    ASSERT_EQ(RunDiskTest(S.owner, 0), 1);
    EXPECT_EQ(S.writes, 199u);
    EXPECT_EQ(R.blockCount, 199u);
    EXPECT_EQ(S.reads, 199u);
    EXPECT_EQ(R.tested, 1u);

    // Another key is taken from the queue and ignored; Escape comes later.
    ResetScript();
    KeyUp('A');
    S.escapeAtWrite = 120;
    ASSERT_EQ(RunDiskTest(S.owner, 0), 1);
    EXPECT_EQ(S.writes, 199u) << "block 100 took the other key; block 200 sees Escape";
}

TEST_F(DiskTest, AFullDiskEndsTheWritePassAndTheTestGoesOn)
{
    S.failWriteAt = 120;
    MessageBoxWatch watch;
    ASSERT_EQ(RunDiskTest(S.owner, 0), 1);
    EXPECT_EQ(R.blockCount, 119u);
    EXPECT_EQ(S.reads, 119u);
    ASSERT_EQ(watch.seen().size(), 1u);
    const SeenMessageBox &box = watch.seen()[0];
    EXPECT_EQ(box.text, "Could not open file");
    EXPECT_EQ(box.caption, AppCaption);
    EXPECT_EQ(box.owner, S.owner);
    EXPECT_EQ(box.icon, StopIcon());
    EXPECT_TRUE(box.hasOk);

    // A write pass stopped at block 51, then Escape during the read pass: a read
    // pass under 100 blocks never looks.
    ResetScript();
    S.failWriteAt = 51;
    S.escapeAtRead = 1;
    MessageBoxWatch again;
    ASSERT_EQ(RunDiskTest(S.owner, 0), 1);
    EXPECT_EQ(S.reads, 50u);
}

TEST_F(DiskTest, ReadFailuresFailTheTest)
{
    S.shortReadAt = 10;
    {
        MessageBoxWatch watch;
        EXPECT_EQ(RunDiskTest(S.owner, 0), 0);
        EXPECT_EQ(R.tested, 0u);
        ASSERT_EQ(watch.seen().size(), 1u);
        EXPECT_EQ(watch.seen()[0].text, "Could not open file");
    }
    // A missing file cannot be read.
    DeleteFileA(kFile);
    uint32_t count = 5;
    MessageBoxWatch watch;
    EXPECT_EQ(ReadPass(S.owner, 96, &count, kFile, R.samples), 0);
    ASSERT_EQ(watch.seen().size(), 1u);
    EXPECT_EQ(watch.seen()[0].icon, StopIcon());
    EXPECT_EQ(Title(), AppCaption);
}

TEST_F(DiskTest, TooLittleFreeSpaceRefusesAndChangesNothing)
{
    struct Case { uint32_t sizeMB, freeMB; const char *text; } cases[] = {
        {20, 20, "Not enough free hard disk space (20 MB / 20 MB)"},
        {10, 10, "Not enough free hard disk space (10 MB / 10 MB)"},
        {20, 0, "Not enough free hard disk space (0 MB / 20 MB)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        TestFileSizeMB = c.sizeMB;
        R.freeMB = c.freeMB;
        R.tested = 1;
        R.writeRate = 111;
        R.storedWriteRate = 222;
        MessageBoxWatch watch;
        EXPECT_EQ(RunDiskTest(S.owner, 0), 0);
        ASSERT_EQ(watch.seen().size(), 1u);
        EXPECT_EQ(watch.seen()[0].text, c.text);
        EXPECT_EQ(watch.seen()[0].icon, ExclamationIcon());
        EXPECT_EQ(watch.seen()[0].owner, S.owner);
        EXPECT_EQ(R.tested, 1u);
        EXPECT_EQ(R.writeRate, 111u);
        EXPECT_EQ(R.storedWriteRate, 222u);
        EXPECT_EQ(S.writes, 0u);
        EXPECT_FALSE(FileExists(kFile));
    }
    TestFileSizeMB = 20;
    R.freeMB = 21;
    EXPECT_EQ(RunDiskTest(S.owner, 0), 1) << "21 MB free are enough for 20";
}

TEST_F(DiskTest, CleanUpStoresTheRatesAndDeletesTheFiles)
{
    ASSERT_EQ(RunDiskTest(S.owner, 0), 1);
    // Slot 1 failed its test (a read error): its file goes too, its rates do not.
    strcpy(DriveTable[1].driveName, "C:\\stravo-u");
    CreateDirectoryA("C:\\stravo-u", 0);
    TestResults[1].freeMB = 500;
    ResetScript();
    S.shortReadAt = 3;
    {
        MessageBoxWatch watch;
        ASSERT_EQ(RunDiskTest(S.owner, 1), 0);
    }
    ASSERT_TRUE(FileExists(kFile));
    ASSERT_TRUE(FileExists("C:\\stravo-u\\VEXOSV32.DAT"));

    DeleteTestFiles(S.owner);
    EXPECT_FALSE(FileExists(kFile));
    EXPECT_FALSE(FileExists("C:\\stravo-u\\VEXOSV32.DAT"));
    RemoveDirectoryA("C:\\stravo-u");
    RegValue write = GetRegValue(HKEY_LOCAL_MACHINE, (std::string(kStravo) + "\\WriteSpeed").c_str(), kDir);
    RegValue read = GetRegValue(HKEY_LOCAL_MACHINE, (std::string(kStravo) + "\\ReadSpeed").c_str(), kDir);
    ASSERT_TRUE(write.found && read.found);
    EXPECT_EQ(write.type, (DWORD)REG_DWORD);
    EXPECT_EQ(write.dword(), 4800u);
    EXPECT_EQ(read.dword(), 9600u);
    EXPECT_FALSE(GetRegValue(HKEY_LOCAL_MACHINE, (std::string(kStravo) + "\\WriteSpeed").c_str(),
                             "C:\\stravo-u").found);
    EXPECT_EQ(R.samples, nullptr);
    EXPECT_EQ(TestResults[1].samples, nullptr);
    EXPECT_EQ(Title(), AppCaption);

    // The program may go on (a cancelled log-off): a later test allocates anew.
    ResetScript();
    EXPECT_EQ(RunDiskTest(S.owner, 0), 1);
    EXPECT_NE(R.samples, nullptr);
}

TEST_F(DiskTest, ALogOffDuringAPassStopsTheTestAndCleansUp)
{
    StaticProc = (WNDPROC)SetWindowLongPtrA(S.owner, GWLP_WNDPROC, (LONG_PTR)EndSessionProc);
    const std::string speeds = std::string(kStravo) + "\\";
    for (WPARAM endsSession : {TRUE, FALSE}) {
        SCOPED_TRACE(endsSession ? "log-off" : "cancelled log-off");
        ResetProgramRegistry();
        ResetScript();
        ASSERT_EQ(RunDiskTest(S.owner, 0), 1);  // 4800 and 9600 kB/s
        ResetScript();
        S.endSessionAtWrite = 150;
        S.endSessionWParam = endsSession;
        MessageBoxWatch watch;
        EXPECT_EQ(RunDiskTest(S.owner, 0), 0);
        WaitForSingleObject(S.sender, 5000);
        CloseHandle(S.sender);
        EXPECT_TRUE(watch.seen().empty()) << watch.seen()[0].text;
        EXPECT_EQ(S.cleanedAfterWrites, 199u) << "taken in at the look before block 200";
        EXPECT_EQ(S.writes, 199u) << "no block written after the clean-up";
        EXPECT_EQ(S.reads, 0u);
        EXPECT_FALSE(FileExists(kFile));
        EXPECT_EQ(R.tested, 0u);
        EXPECT_NE(R.samples, nullptr) << "freed under the running pass";
        EXPECT_EQ(Title(), AppCaption);
        // The earlier test's rates were stored by the clean-up.
        EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, (speeds + "WriteSpeed").c_str(), kDir).dword(), 4800u);
        EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, (speeds + "ReadSpeed").c_str(), kDir).dword(), 9600u);

        // The program goes on: the next test runs whole, and the next clean-up
        // takes its file and samples.
        ResetScript();
        EXPECT_EQ(RunDiskTest(S.owner, 0), 1);
        EXPECT_EQ(S.writes, 214u);
        EXPECT_EQ(S.reads, 214u);
        DeleteTestFiles(S.owner);
        EXPECT_FALSE(FileExists(kFile));
        EXPECT_EQ(R.samples, nullptr);
    }
    SetWindowLongPtrA(S.owner, GWLP_WNDPROC, (LONG_PTR)StaticProc);
}

}  // namespace
