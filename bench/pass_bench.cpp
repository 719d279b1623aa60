// Two figures from one process under Wine or Windows:
//  - the write and read passes against a bare loop of the same unbuffered
//    transfers on the same file (the pass loop must add no measurable cost);
//  - a whole disk test on a drive, for comparison with a throttled drive's rates,
//    beside the rates of a bare loop of the same transfers.
// pass_bench DIR [blocks]    DIR is a drive or directory ("T:", "C:\bench");
// pass_bench DIR test [MB]   the whole disk test (20 MB or MB) and its bare loop only.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "../core/app_state.h"
#include "../measure/disk_speed.h"
#include "../measure/drive_records.h"
#include "../resources/resource.h"

namespace {

double Seconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (double)now.QuadPart / frequency.QuadPart;
}

// Timed like a pass: from the open to the close.
double BareWrite(const char *path, unsigned blocks, unsigned char *buffer)
{
    double start = Seconds();
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, 0, CREATE_ALWAYS,
                              FILE_FLAG_NO_BUFFERING | FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    for (unsigned i = 0; i < blocks; i++) {
        DWORD written;
        WriteFile(file, buffer, 96 * 1024, &written, 0);
    }
    CloseHandle(file);
    return Seconds() - start;
}

double BareRead(const char *path, unsigned blocks, unsigned char *buffer)
{
    double start = Seconds();
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, 0, OPEN_EXISTING,
                              FILE_FLAG_NO_BUFFERING | FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    for (unsigned i = 0; i < blocks; i++) {
        DWORD read;
        ReadFile(file, buffer, 96 * 1024, &read, 0);
    }
    CloseHandle(file);
    return Seconds() - start;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: pass_bench DIR [blocks]\n");
        return 2;
    }
    const char *dir = argv[1];
    const bool testOnly = argc > 2 && !strcmp(argv[2], "test");
    unsigned blocks = argc > 2 && !testOnly ? (unsigned)atoi(argv[2]) : 214;
    AppInstance = GetModuleHandleA(0);
    LoadLangString(AppInstance, IDS_APP_CAPTION, AppCaption, sizeof AppCaption);
    // A visible window with a caption, as the main dialog is: the passes renew its title.
    HWND owner = CreateWindowExA(0, "Static", AppCaption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 100, 0, 0, 0, 0);
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\VEXOSV32.DAT", dir);
    unsigned char *buffer = (unsigned char *)VirtualAlloc(0, 96 * 1024, MEM_COMMIT, PAGE_READWRITE);
    BlockSample *samples = (BlockSample *)calloc(blocks + 1, sizeof *samples);

    // Alternate the two loops and keep each one's best of five: the cache and the
    // host's other work weigh on both alike.
    double bareWrite = 1e9, bareRead = 1e9, passWrite = 1e9, passRead = 1e9;
    for (int round = 0; round < (testOnly ? 0 : 5); round++) {
        double t = BareWrite(path, blocks, buffer);
        if (t >= 0 && t < bareWrite) bareWrite = t;
        t = BareRead(path, blocks, buffer);
        if (t >= 0 && t < bareRead) bareRead = t;
        uint32_t count = blocks;
        double start = Seconds();
        WritePass(owner, 96, &count, path, samples);
        t = Seconds() - start;
        if (t < passWrite) passWrite = t;
        count = blocks;
        start = Seconds();
        ReadPass(owner, 96, &count, path, samples);
        t = Seconds() - start;
        if (t < passRead) passRead = t;
    }
    if (!testOnly)
        printf("%u blocks of 96 kB on %s\n", blocks, dir);
    if (!testOnly)
        printf("write: bare loop %.1f ms, pass %.1f ms, pass/bare %.3f\n", bareWrite * 1e3, passWrite * 1e3,
           passWrite / bareWrite);
    if (!testOnly)
        printf("read:  bare loop %.1f ms, pass %.1f ms, pass/bare %.3f\n", bareRead * 1e3, passRead * 1e3,
           passRead / bareRead);
    DeleteFileA(path);

    // The whole test as the program runs it.
    ULARGE_INTEGER available, total, totalFree;
    char root[MAX_PATH];
    snprintf(root, sizeof root, "%s\\", dir);
    GetDiskFreeSpaceExA(root, &available, &total, &totalFree);
    snprintf(DriveTable[0].driveName, DRIVE_NAME_SIZE, "%s", dir);
    TestResults[0].freeMB = (uint32_t)(available.QuadPart >> 20);
    TestFileSizeMB = testOnly && argc > 3 ? atoi(argv[3]) : TEST_SIZE_AUTOMATIC;
    if (RunDiskTest(owner, 0))
        printf("disk test: write %u kB/s, read %u kB/s, %u MB\n", TestResults[0].writeRate, TestResults[0].readRate,
               TestResults[0].blockCount * 96 / 1024);
    else
        printf("disk test: failed\n");
    const unsigned testBlocks = TestResults[0].blockCount;
    DeleteTestFiles(owner);
    if (testOnly) {
        /* All bytes over all time, with nothing but the transfers in the loop. */
        double write = BareWrite(path, testBlocks, buffer), read = BareRead(path, testBlocks, buffer);
        printf("bare loop: write %.0f kB/s, read %.0f kB/s\n", 96.0 * testBlocks / write, 96.0 * testBlocks / read);
        DeleteFileA(path);
    }
    return 0;
}
