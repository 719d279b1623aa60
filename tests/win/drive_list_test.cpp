// The drive list: once against the prefix's real drives, with the calls recorded
// to see that critical-error boxes are off around the volume calls, and against
// drive sets that Wine cannot present (floppies, CD-ROMs, nine disks, 4 TiB).
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "../../measure/drive_list.h"
#include "../../resources/resource.h"
#include "../../shell/shell_state.h"
#include "registry_helpers.h"

namespace {

const char kStravo[] = "Software\\vexo Computer Products\\vexoVIDEO STRAVO";

std::string CallLog;

void Log(const char *what, const char *root)
{
    CallLog += what;
    if (root) {
        CallLog += '(';
        CallLog += root;
        CallLog += ')';
    }
    CallLog += ' ';
}

// Recording wrappers around the system's own calls.
UINT WINAPI RecordDriveType(LPCSTR root) { Log("type", root); return GetDriveTypeA(root); }
BOOL WINAPI RecordVolume(LPCSTR root, LPSTR label, DWORD size, LPDWORD serial, LPDWORD length,
                         LPDWORD flags, LPSTR fs, DWORD fsSize)
{
    Log("volume", root);
    return GetVolumeInformationA(root, label, size, serial, length, flags, fs, fsSize);
}
BOOL WINAPI RecordFree(LPCSTR root, LPDWORD sectors, LPDWORD bytes, LPDWORD freeClusters, LPDWORD clusters)
{
    Log("free", root);
    return GetDiskFreeSpaceA(root, sectors, bytes, freeClusters, clusters);
}
BOOL WINAPI RecordFreeEx(LPCSTR root, PULARGE_INTEGER available, PULARGE_INTEGER total, PULARGE_INTEGER totalFree)
{
    Log("freeEx", root);
    return GetDiskFreeSpaceExA(root, available, total, totalFree);
}
GetDiskFreeSpaceExProc FindRecordFreeEx() { return RecordFreeEx; }
UINT WINAPI RecordErrorMode(UINT mode)
{
    char text[16];
    snprintf(text, sizeof text, "%u", mode);
    Log("mode", text);
    return SetErrorMode(mode);
}

// A machine of the test's making: per letter a type, a label and the free-space
// figures; Wine cannot show floppies or a dozen disks.
struct ScriptDrive {
    char letter;
    UINT type;
    const char *label;  // 0: no medium, the volume and free-space calls fail
    DWORD sectors, bytes, freeClusters, clusters;
    ULONGLONG available, total;  // extended call; 0 total: it fails
};
const ScriptDrive *Script;
size_t ScriptCount;
DWORD ScriptVersion = 4;
bool ScriptHasEx = true;

const ScriptDrive *Find(LPCSTR root)
{
    for (size_t i = 0; i < ScriptCount; i++)
        if (Script[i].letter == root[0])
            return &Script[i];
    return 0;
}
DWORD WINAPI ScriptRoots(DWORD size, LPSTR out)
{
    std::string list;
    for (size_t i = 0; i < ScriptCount; i++) {
        list += Script[i].letter;
        list += std::string(":\\", 2);
        list += '\0';
    }
    if (list.size() + 1 > size)
        return (DWORD)list.size() + 1;  // the size it would need, as the system answers
    memcpy(out, list.c_str(), list.size() + 1);
    return (DWORD)list.size();
}
DWORD WINAPI ScriptMask()
{
    DWORD mask = 0;
    for (size_t i = 0; i < ScriptCount; i++)
        mask |= 1u << (Script[i].letter - 'A');
    return mask;
}
UINT WINAPI ScriptType(LPCSTR root) { return Find(root)->type; }
BOOL WINAPI ScriptVolume(LPCSTR root, LPSTR label, DWORD size, LPDWORD, LPDWORD, LPDWORD, LPSTR, DWORD)
{
    const ScriptDrive *drive = Find(root);
    if (!drive->label) {
        memset(label, 'x', size);  // undefined output of a failed call
        return FALSE;
    }
    snprintf(label, size, "%s", drive->label);
    return TRUE;
}
BOOL WINAPI ScriptFree(LPCSTR root, LPDWORD sectors, LPDWORD bytes, LPDWORD freeClusters, LPDWORD clusters)
{
    const ScriptDrive *drive = Find(root);
    if (!drive->label) {
        *sectors = *bytes = *freeClusters = *clusters = 0x12345678;  // undefined as well
        return FALSE;
    }
    *sectors = drive->sectors;
    *bytes = drive->bytes;
    *freeClusters = drive->freeClusters;
    *clusters = drive->clusters;
    return TRUE;
}
BOOL WINAPI ScriptFreeEx(LPCSTR root, PULARGE_INTEGER available, PULARGE_INTEGER total, PULARGE_INTEGER totalFree)
{
    const ScriptDrive *drive = Find(root);
    if (!drive->label || !drive->total)
        return FALSE;
    available->QuadPart = drive->available;
    total->QuadPart = drive->total;
    totalFree->QuadPart = drive->total;  // deliberately not the caller's figure
    return TRUE;
}
GetDiskFreeSpaceExProc FindScriptFreeEx() { return ScriptHasEx ? ScriptFreeEx : 0; }
UINT WINAPI QuietErrorMode(UINT) { return 0; }
DWORD WINAPI ScriptGetVersion() { return ScriptVersion; }

const DriveCalls kScriptCalls = {ScriptRoots, ScriptMask, ScriptType, ScriptVolume, ScriptFree,
                                 FindScriptFreeEx, QuietErrorMode, ScriptGetVersion};

class DriveList : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppInstance = GetModuleHandleA(0);
        LanguageOffset = 0;
        ResetProgramRegistry();
        Clear();
        CallLog.clear();
        ScriptVersion = 4;
        ScriptHasEx = true;
    }
    void TearDown() override
    {
        ResetProgramRegistry();
        Clear();
        LanguageOffset = 0;
    }
    static void Clear()
    {
        for (DriveEntry &entry : DriveTable)
            entry.description[0] = entry.driveName[0] = 0;
        memset(TestResults, 0, sizeof TestResults);
    }
    template <size_t N> int Build(const ScriptDrive (&drives)[N])
    {
        Script = drives;
        ScriptCount = N;
        return BuildDriveListWith(0, &kScriptCalls);
    }
    std::string Names(int count) const
    {
        std::string names;
        for (int i = 0; i < count; i++)
            names += std::string(DriveTable[i].driveName) + " ";
        return names;
    }
};

const ULONGLONG kGB = 1024ull * 1024 * 1024;

TEST_F(DriveList, RealDrivesWithCriticalErrorBoxesOffAroundTheVolumeCalls)
{
    SetRegDword(HKEY_LOCAL_MACHINE, (std::string(kStravo) + "\\WriteSpeed").c_str(), "C:", 4321);
    SetRegDword(HKEY_LOCAL_MACHINE, (std::string(kStravo) + "\\ReadSpeed").c_str(), "C:", 8765);
    DriveCalls calls = {GetLogicalDriveStringsA, GetLogicalDrives, RecordDriveType, RecordVolume,
                        RecordFree, FindRecordFreeEx, RecordErrorMode, GetVersion};
    UINT before = SetErrorMode(0);
    SetErrorMode(before);
    int count = BuildDriveListWith(0, &calls);
    ASSERT_GE(count, 1);
    EXPECT_STREQ(DriveTable[0].driveName, "C:");
    EXPECT_EQ(TestResults[0].driveType, (uint32_t)DRIVE_FIXED);
    EXPECT_EQ(TestResults[0].storedWriteRate, 4321u);
    EXPECT_EQ(TestResults[0].storedReadRate, 8765u);

    char expected[128];
    snprintf(expected, sizeof expected, "type(C:\\) mode(%u) volume(C:\\) free(C:\\) freeEx(C:\\) mode(%u) ",
             (unsigned)SEM_FAILCRITICALERRORS, before);
    EXPECT_EQ(CallLog.substr(0, strlen(expected)), expected);
    EXPECT_EQ(SetErrorMode(before), before) << "the error mode is restored";

    ULARGE_INTEGER available, total, totalFree;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &totalFree));
    // The disk may shrink or grow a little between the two readings.
    EXPECT_NEAR((double)TestResults[0].freeMB, (double)(available.QuadPart >> 20), 64.0);
    char label[80] = "";
    GetVolumeInformationA("C:\\", label, sizeof label, 0, 0, 0, 0, 0);
    std::string start = std::string(label) + "(C:) ";
    EXPECT_EQ(std::string(DriveTable[0].description).substr(0, start.size()), start);
    EXPECT_NE(strstr(DriveTable[0].description, "MB free of "), nullptr) << DriveTable[0].description;

    CallLog.clear();
    EXPECT_EQ(BuildDriveListWith(0, &calls), 0) << "built once";
    EXPECT_EQ(CallLog, "");
    EXPECT_STREQ(DriveTable[0].driveName, "C:");
}

TEST_F(DriveList, FloppiesAndOtherTypesAreSkipped)
{
    const ScriptDrive machine[] = {
        {'A', DRIVE_REMOVABLE, "", 1, 512, 100, 2880, 0, 0},
        {'C', DRIVE_FIXED, "SYSTEM", 8, 512, 131072, 524032, 0, 0},
        {'D', DRIVE_CDROM, "DISC", 1, 2048, 0, 300000, 0, 0},
        {'E', DRIVE_FIXED, "", 8, 512, 1000, 2000, 0, 0},
        {'F', DRIVE_REMOTE, "SHARE", 8, 512, 1000, 2000, 0, 0},
        {'G', DRIVE_RAMDISK, "", 8, 512, 1000, 2000, 0, 0},
        {'H', DRIVE_REMOVABLE, "ZIP", 1, 512, 2048, 196608, 0, 0},
    };
    ScriptVersion = 3;  // classic figures only
    ASSERT_EQ(Build(machine), 3);
    EXPECT_EQ(Names(3), "C: E: H: ");
    EXPECT_STREQ(DriveTable[0].description, "SYSTEM(C:) 512MB free of 2047MB");
    EXPECT_EQ(TestResults[0].freeMB, 512u);
    EXPECT_EQ(TestResults[2].driveType, (uint32_t)DRIVE_REMOVABLE);
    // 512-byte clusters: 2048 of them are 1 MB free of 96 MB, not 0.
    EXPECT_STREQ(DriveTable[2].description, "ZIP(H:) 1MB free of 96MB");
    EXPECT_EQ(DriveTable[3].description[0], 0);

    const ScriptDrive onlyB[] = {
        {'B', DRIVE_REMOVABLE, "", 1, 512, 100, 2880, 0, 0},
        {'C', DRIVE_FIXED, "", 8, 512, 1000, 2000, 0, 0},
    };
    Clear();
    ASSERT_EQ(Build(onlyB), 1);
    EXPECT_EQ(Names(1), "C: ");
}

TEST_F(DriveList, EightDrivesAtMostAndStoredRatesFollowTheDriveName)
{
    ScriptDrive many[12];
    for (int i = 0; i < 12; i++)
        many[i] = {char('C' + i), DRIVE_FIXED, "", 8, 512, 1000, 2000, 0, 0};
    many[2].type = DRIVE_CDROM;  // E: takes no slot, so F: lands in slot 2
    SetRegDword(HKEY_LOCAL_MACHINE, (std::string(kStravo) + "\\WriteSpeed").c_str(), "F:", 5000);
    SetRegDword(HKEY_LOCAL_MACHINE, (std::string(kStravo) + "\\ReadSpeed").c_str(), "D:", 7000);
    ScriptVersion = 3;
    ASSERT_EQ(Build(many), 8);
    EXPECT_EQ(Names(8), "C: D: F: G: H: I: J: K: ");
    EXPECT_EQ(TestResults[2].storedWriteRate, 5000u);
    EXPECT_EQ(TestResults[2].storedReadRate, 0u);
    EXPECT_EQ(TestResults[1].storedReadRate, 7000u);
    EXPECT_EQ(TestResults[1].storedWriteRate, 0u);
}

TEST_F(DriveList, MoreRootsThanTheBufferHoldsStillListInLetterOrder)
{
    // 26 roots need 105 characters; the list falls back to the drive mask.
    ScriptDrive all[26];
    for (int i = 0; i < 26; i++)
        all[i] = {char('A' + i), i < 20 ? (UINT)DRIVE_REMOTE : (UINT)DRIVE_FIXED, "", 8, 512, 1000, 2000, 0, 0};
    ScriptVersion = 3;
    int count = Build(all);
    // The 100-character buffer holds 25 roots (A: to Y:); A: and B: are skipped.
    EXPECT_EQ(Names(count), "U: V: W: X: Y: ");
}

TEST_F(DriveList, ExtendedFiguresReplaceTheClassicOnes)
{
    struct Case {
        const char *what;
        DWORD version;
        bool hasEx;
        ScriptDrive drive;
        uint32_t freeMB;
        const char *description;
    } cases[] = {
        {"8 GB drive: the extended call gives the caller's quota",
         4, true, {'C', DRIVE_FIXED, "DATA", 64, 512, 65535, 65535, 3 * kGB, 8 * kGB}, 3072,
         "DATA(C:) 3072MB free of 8192MB"},
        {"extended call missing: classic figures",
         4, false, {'C', DRIVE_FIXED, "DATA", 64, 512, 65535, 65535, 3 * kGB, 8 * kGB}, 2047,
         "DATA(C:) 2047MB free of 2047MB"},
        {"Windows 3: the extended call is not asked",
         3, true, {'C', DRIVE_FIXED, "DATA", 64, 512, 65535, 65535, 3 * kGB, 8 * kGB}, 2047,
         "DATA(C:) 2047MB free of 2047MB"},
        {"extended call fails: classic figures",
         4, true, {'C', DRIVE_FIXED, "DATA", 64, 512, 65535, 65535, 0, 0}, 2047,
         "DATA(C:) 2047MB free of 2047MB"},
        {"6 TiB volume saturates instead of wrapping",
         4, true, {'C', DRIVE_FIXED, "BIG", 8, 512, 1, 1, 5 * 1024 * kGB, 6 * 1024 * kGB}, 4194303,
         "BIG(C:) 4194303MB free of 4194303MB"},
        {"no medium: empty label and 0 sizes",
         4, true, {'C', DRIVE_REMOVABLE, 0, 0, 0, 0, 0, 0, 0}, 0,
         "(C:) 0MB free of 0MB"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Clear();
        ScriptVersion = c.version;
        ScriptHasEx = c.hasEx;
        const ScriptDrive one[] = {c.drive};
        ASSERT_EQ(Build(one), 1);
        EXPECT_EQ(TestResults[0].freeMB, c.freeMB);
        EXPECT_STREQ(DriveTable[0].description, c.description);
    }
}

TEST_F(DriveList, ALongLabelInFrenchStaysInsideTheLine)
{
    LanguageOffset = 600;
    const ScriptDrive drive[] = {
        {'C', DRIVE_FIXED, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", 64, 512, 65535, 65535, 300 * kGB, 931 * kGB},
        {'D', DRIVE_FIXED, "", 8, 512, 1000, 2000, 0, 0},
    };
    ASSERT_EQ(Build(drive), 2);
    const char *line = DriveTable[0].description;
    EXPECT_LT(strlen(line), (size_t)DESCRIPTION_SIZE);
    const char *tail = "(C:) 307200MB disponibles de 953344MB";
    ASSERT_GT(strlen(line), strlen(tail));
    EXPECT_STREQ(line + strlen(line) - strlen(tail), tail) << line;
    EXPECT_EQ(strncmp(line, "ABCDE", 5), 0) << line;
    EXPECT_STREQ(DriveTable[0].driveName, "C:");
    EXPECT_STREQ(DriveTable[1].driveName, "D:");
}

}  // namespace
