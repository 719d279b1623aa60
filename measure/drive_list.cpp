/* The drive list, built once when the main dialog opens. */
#include "drive_list.h"

#include <stdio.h>
#include <string.h>

#include "drive_rules.h"
#include "../core/app_state.h"
#include "../resources/resource.h"
#include "../store/store.h"

enum { ROOT_LIST_SIZE = 100, LABEL_SIZE = 80 };

/* Looked up by name: Windows 95 before OSR2 has no extended free-space call. */
static GetDiskFreeSpaceExProc FindSystemDiskFreeSpaceEx()
{
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    return kernel ? (GetDiskFreeSpaceExProc)(void *)GetProcAddress(kernel, "GetDiskFreeSpaceExA") : 0;
}

DriveCalls SystemDriveCalls = {
    GetLogicalDriveStringsA, GetLogicalDrives, GetDriveTypeA, GetVolumeInformationA,
    GetDiskFreeSpaceA, FindSystemDiskFreeSpaceEx, SetErrorMode, GetVersion,
};

/* The roots as the system lists them; when they do not all fit the buffer, the
   roots of the drive mask that do fit, in letter order (the system's order). */
static void ReadRoots(const DriveCalls *calls, char *roots, DWORD size)
{
    memset(roots, 0, size);
    DWORD used = calls->getLogicalDriveStrings(size - 1, roots);
    if (used < size - 1)
        return;
    memset(roots, 0, size);
    DWORD mask = calls->getLogicalDrives();
    char *p = roots;
    for (int letter = 0; letter < 26; letter++) {
        if (!(mask & (1u << letter)))
            continue;
        if (p + 5 > roots + size)  /* "X:\" and its terminator, plus the list's */
            break;
        p[0] = (char)('A' + letter);
        p[1] = ':';
        p[2] = '\\';
        p += 4;
    }
}

static void ReadFreeSpace(const DriveCalls *calls, const char *root, uint32_t *freeMB, uint32_t *totalMB)
{
    DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
    if (!calls->getDiskFreeSpace(root, &sectors, &bytes, &freeClusters, &clusters))
        sectors = bytes = freeClusters = clusters = 0;
    *totalMB = ClusterMB(sectors, bytes, clusters);
    *freeMB = ClusterMB(sectors, bytes, freeClusters);

    if ((calls->getVersion() & 0xFF) < 4)
        return;
    GetDiskFreeSpaceExProc extended = calls->findDiskFreeSpaceEx();
    if (!extended)
        return;
    ULARGE_INTEGER available, total, totalFree;
    if (extended(root, &available, &total, &totalFree)) {
        *totalMB = BytesToMB(total.QuadPart);
        *freeMB = BytesToMB(available.QuadPart); /* the caller's quota, not the disk's */
    }
}

/* The closed drive box shows its line between its edges and its button. Where the
   label and the figures do not both fit there, the label gives way a character at
   a time: the figures are what the line is for. Without the box (the list built
   before its dialog) only the line's buffer bounds it. */
static void DescribeDrive(HWND owner, DriveEntry *entry, const char *label, uint32_t freeMB, const char *freeOf,
                          uint32_t totalMB)
{
    const int comma = LanguageOffset != LANG_OFFSET_ENGLISH;
    size_t labelChars = strlen(label);
    FormatDriveDescription(entry->description, DESCRIPTION_SIZE, label, labelChars, entry->driveName, freeMB, freeOf,
                           totalMB, comma);
    HWND box = owner ? GetDlgItem(owner, IDC_DRIVES) : 0;
    if (!box)
        return;
    RECT client;
    GetClientRect(box, &client);
    const int width = client.right - GetSystemMetrics(SM_CXVSCROLL) - 2 * GetSystemMetrics(SM_CXEDGE) - 4;
    HDC dc = GetDC(box);
    HFONT font = (HFONT)SendMessageA(box, WM_GETFONT, 0, 0);
    HGDIOBJ previous = font ? SelectObject(dc, font) : 0;
    SIZE extent;
    while (labelChars > 0 &&
           GetTextExtentPoint32A(dc, entry->description, (int)strlen(entry->description), &extent) &&
           extent.cx > width)
        FormatDriveDescription(entry->description, DESCRIPTION_SIZE, label, --labelChars, entry->driveName, freeMB,
                               freeOf, totalMB, comma);
    if (previous)
        SelectObject(dc, previous);
    ReleaseDC(box, dc);
}

static void ReadStoredRates(const char *driveName, TestResult *result)
{
    uint32_t value, size = sizeof value;
    if (StoreRead(102, 11, driveName, &value, DATA_NUMBER, &size) == 0)
        result->storedWriteRate = value;
    size = sizeof value;
    if (StoreRead(102, 12, driveName, &value, DATA_NUMBER, &size) == 0)
        result->storedReadRate = value;
}

int BuildDriveListWith(HWND owner, const DriveCalls *calls)
{
    if (DriveTable[0].description[0])
        return 0;
    char freeOf[32];
    if (!LoadLangString(AppInstance, IDS_FREE_OF, freeOf, sizeof freeOf))
        freeOf[0] = 0;

    char roots[ROOT_LIST_SIZE + 1];
    ReadRoots(calls, roots, sizeof roots);
    const char *root = roots;
    for (int skip = FloppyRootsToSkip(calls->getLogicalDrives()); skip > 0 && *root; skip--)
        root += strlen(root) + 1;

    int count = 0;
    for (; *root && count < MAX_DRIVES; root += strlen(root) + 1) {
        TestResult *result = &TestResults[count];
        result->driveType = calls->getDriveType(root);
        if (result->driveType != DRIVE_REMOVABLE && result->driveType != DRIVE_FIXED)
            continue;

        /* An empty removable drive would raise the system's "insert a disk" box. */
        UINT previousMode = calls->setErrorMode(SEM_FAILCRITICALERRORS);
        char label[LABEL_SIZE];
        if (!calls->getVolumeInformation(root, label, sizeof label, 0, 0, 0, 0, 0))
            label[0] = 0;
        label[sizeof label - 1] = 0;
        uint32_t totalMB;
        ReadFreeSpace(calls, root, &result->freeMB, &totalMB);
        calls->setErrorMode(previousMode);

        DriveEntry *entry = &DriveTable[count];
        DriveNameFromRoot(root, entry->driveName, DRIVE_NAME_SIZE);
        DescribeDrive(owner, entry, label, result->freeMB, freeOf, totalMB);
        ReadStoredRates(entry->driveName, result);
        count++;
    }
    return count;
}

int BuildDriveList(HWND owner)
{
    return BuildDriveListWith(owner, &SystemDriveCalls);
}
