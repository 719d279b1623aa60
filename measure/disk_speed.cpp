/* The disk speed test. The passes time the drive, not the file cache: the file is
   opened unbuffered, and nothing but the transfer, one clock read and, every
   hundredth block or second, a look for Escape happens per block. */
#include "disk_speed.h"

#include <stdio.h>
#include <string.h>

#include "rate_analysis.h"
#include "../core/app_state.h"
#include "../resources/resource.h"
#include "../store/store.h"

enum { TITLE_SIZE = 128, ESCAPE_CHECK_BLOCKS = 100, ESCAPE_CHECK_US = 1000000, STORE_KEY_MACHINE = 102,
       VALUE_WRITE_SPEED = 11, VALUE_READ_SPEED = 12 };

static const char kTestFileFormat[] = "%s\\VEXOSV32.DAT";

const DiskCalls SystemDiskCalls = {WriteFile, ReadFile, GetTickCount, QueryPerformanceCounter,
                                   QueryPerformanceFrequency};
const DiskCalls *PassCalls = &SystemDiskCalls;

/* Slots whose test reached a write pass: their file may be on disk even when the
   test failed, and the clean-up removes it. */
static int TestFileWritten[MAX_DRIVES];

/* The test under way. A pass lets sent messages in when it looks at the queue, and
   a log-off sends WM_ENDSESSION and may end the process as soon as the dialog
   returns from it: the clean-up cannot wait for the pass, so it closes the pass's
   file itself and tells the pass to stop. */
static int RunningSlot = -1;
static HANDLE PassFile = INVALID_HANDLE_VALUE;
static int PassStopped;

static void ClosePassFile(void)
{
    if (PassFile != INVALID_HANDLE_VALUE)
        CloseHandle(PassFile);
    PassFile = INVALID_HANDLE_VALUE;
}

void *AllocTestBuffer(HWND owner, uint32_t bytes)
{
    void *memory = (void *)GlobalAlloc(GMEM_FIXED, bytes);
    if (!memory)
        ShowLangMessage(owner, IDS_NO_MEMORY, MB_ICONHAND | MB_TASKMODAL);
    return memory;
}

HANDLE OpenTestFile(HWND owner, const char *path, int forWriting)
{
    HANDLE file = CreateFileA(path, forWriting ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, 0, 0,
                              forWriting ? CREATE_ALWAYS : OPEN_EXISTING,
                              FILE_FLAG_NO_BUFFERING | FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        ShowLangMessage(owner, IDS_CANNOT_OPEN, MB_ICONHAND);
    return file;
}

/* The pass's clock. The tick counter steps every 10 to 55 ms, longer than a block
   takes on any disk faster than about 2 to 10 MB/s: nearly every block would read
   0 ms and the rest one step, and the analysis would see one block per step,
   whatever the disk. Whole milliseconds still leave a disk of 96 MB/s or more at
   0 or 1 ms a block. The performance counter, read to the microsecond, resolves
   a block of a disk of 1 GB/s to one part in a hundred; the tick counter serves
   only a machine without one. */
struct PassClock {
    uint64_t start, frequency, ticksMs, markUs, elapsedUs, lookedUs;
    DWORD lastTick;
};

/* Whether the last pass was timed by the tick counter. */
static int PassTicked;

/* The time since the start, in microseconds: whole milliseconds of the tick count
   without a counter (its wrap is harmless), else the counter's span. */
static uint64_t PassClockUs(PassClock *clock)
{
    if (!clock->frequency) {
        DWORD now = PassCalls->getTickCount();
        clock->ticksMs += (DWORD)(now - clock->lastTick);
        clock->lastTick = now;
        return clock->ticksMs * 1000;
    }
    LARGE_INTEGER now;
    now.QuadPart = (LONGLONG)clock->start;
    PassCalls->queryCounter(&now);
    return CounterSpanUs((uint64_t)now.QuadPart - clock->start, clock->frequency);
}

static void StartPassClock(PassClock *clock)
{
    LARGE_INTEGER frequency, now;
    clock->start = clock->frequency = clock->ticksMs = clock->markUs = clock->elapsedUs = clock->lookedUs = 0;
    clock->lastTick = 0;
    if (PassCalls->queryFrequency(&frequency) && frequency.QuadPart > 0 && PassCalls->queryCounter(&now)) {
        clock->frequency = (uint64_t)frequency.QuadPart;
        clock->start = (uint64_t)now.QuadPart;
    } else {
        clock->lastTick = PassCalls->getTickCount();
    }
    PassTicked = !clock->frequency;
}

/* The block's time since the last mark, in microseconds. Taken as the step of the
   time since the start, so that the blocks and the looks at the queue between them
   add up to the pass exactly. */
static uint32_t BlockUs(PassClock *clock)
{
    uint64_t now = PassClockUs(clock), us = now - clock->markUs;
    clock->markUs = now;
    clock->elapsedUs += us;
    return us > 0xFFFFFFFFu ? 0xFFFFFFFFu : (uint32_t)us;
}

/* A block buffer on a 4096-byte boundary: global memory guarantees only 8 or 16. */
struct BlockBuffer {
    void *memory;
    unsigned char *data;
};

static int AllocBlockBuffer(HWND owner, uint32_t bytes, BlockBuffer *buffer)
{
    buffer->memory = AllocTestBuffer(owner, bytes + BLOCK_ALIGNMENT - 1);
    if (!buffer->memory)
        return 0;
    uintptr_t address = ((uintptr_t)buffer->memory + BLOCK_ALIGNMENT - 1) & ~(uintptr_t)(BLOCK_ALIGNMENT - 1);
    buffer->data = (unsigned char *)address;
    return 1;
}

/* A fixed pseudo-random pattern: fresh memory may hold whatever the process left
   there, and a compressing volume writes a block of zeros far faster than data. */
static void FillPattern(unsigned char *data, uint32_t bytes)
{
    uint32_t state = 0x2545F491u;
    for (uint32_t i = 0; i < bytes; i++) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        data[i] = (unsigned char)(state >> 24);
    }
}

/* The title of a pass: its text, the size and how far it is. A pass of automatic
   length shows the size written so far, the only size that is true before it ends. */
struct PassTitle {
    char text[TEXT_BUFFER_SIZE];
    char progress[16]; /* the share's format in the language */
    const char *format, *path;
    const TestLength *length;
    uint32_t blockBytes, shown, shownMB;
    int growing;
};

enum { NO_SHARE_SHOWN = 101 };

static void ShowPassProgress(HWND owner, PassTitle *title, uint32_t done, uint64_t elapsedUs)
{
    uint32_t share = PassShare(title->length, done, elapsedUs);
    uint32_t blocks = title->growing ? done : title->length->maxBlocks;
    uint32_t megabytes = (uint32_t)((uint64_t)blocks * title->blockBytes / 1048576);
    if (share == title->shown && megabytes == title->shownMB)
        return;
    title->shown = share;
    title->shownMB = megabytes;
    char text[TITLE_SIZE], line[TITLE_SIZE + 16], percent[16];
    if (title->path)
        snprintf(text, sizeof text, title->format, title->text, (long)megabytes, title->path);
    else
        snprintf(text, sizeof text, title->format, title->text, (long)megabytes);
    snprintf(percent, sizeof percent, title->progress, (unsigned long)share);
    size_t length = strlen(text);
    snprintf(line, sizeof line, "%s%s%s", text, length && text[length - 1] == ' ' ? "" : " ", percent);
    SetWindowTextA(owner, line);
}

static void ShowPassTitle(HWND owner, PassTitle *title, UINT id, const char *format, const TestLength *length,
                          uint32_t blockBytes, const char *path)
{
    if (!LoadLangString(AppInstance, id, title->text, sizeof title->text))
        title->text[0] = 0;
    if (!LoadLangString(AppInstance, IDS_PROGRESS, title->progress, sizeof title->progress))
        snprintf(title->progress, sizeof title->progress, "%s", "%lu%%");
    title->format = format;
    title->path = path;
    title->length = length;
    title->blockBytes = blockBytes;
    title->growing = length->untilUs != 0;
    title->shown = NO_SHARE_SHOWN;
    ShowPassProgress(owner, title, 0, 0);
}

/* At every hundredth block, and on a slow drive at least once a second, one key
   release for the dialog is taken from the queue: a window that has not looked at
   its queue for five seconds is offered to be ended, and that would leave the
   test file behind. A clean-up that came in meanwhile stops the pass too. The
   title tells how far the pass is at the same moments. Redrawing a title takes a
   millisecond, as long as a block of a fast disk: the look is left out of the
   block times, so that it cannot make the next block look slow. */
static int PassInterrupted(HWND owner, uint32_t block, PassClock *clock, PassTitle *title)
{
    MSG message;
    if (block % ESCAPE_CHECK_BLOCKS && clock->elapsedUs - clock->lookedUs < ESCAPE_CHECK_US)
        return 0;
    clock->lookedUs = clock->elapsedUs;
    ShowPassProgress(owner, title, block - 1, clock->elapsedUs);
    int escape = PeekMessageA(&message, owner, WM_KEYUP, WM_KEYUP, PM_REMOVE) && message.wParam == VK_ESCAPE;
    clock->markUs = PassClockUs(clock);
    return escape || PassStopped;
}

/* Both passes: the block buffer and the open test file; INVALID_HANDLE_VALUE, with
   nothing kept, when either cannot be had. */
static HANDLE BeginPass(HWND owner, uint32_t blockBytes, const char *path, int writing, BlockBuffer *buffer)
{
    if (!AllocBlockBuffer(owner, blockBytes, buffer))
        return INVALID_HANDLE_VALUE;
    if (writing)
        TestStarted = 1;
    HANDLE file = OpenTestFile(owner, path, writing);
    if (file == INVALID_HANDLE_VALUE)
        GlobalFree((HGLOBAL)buffer->memory);
    else
        PassFile = file;
    return file;
}

/* Times each block into the samples until the pass has its length; returns the
   blocks done. A block that fails, or a read that comes short, is reported and ends
   the pass with *failed set. A pass that reached its length says so in its title. */
static uint32_t TimeBlocks(HWND owner, PassTitle *title, HANDLE file, unsigned char *data, uint32_t blockBytes,
                           const TestLength *length, BlockSample *samples, int writing, int *failed)
{
    PassClock clock;
    StartPassClock(&clock);
    *failed = 0;
    uint32_t i = 1;
    for (; i <= length->maxBlocks; i++) {
        if (PassInterrupted(owner, i, &clock, title))
            break;
        DWORD done = 0;
        int ok = writing ? PassCalls->writeFile(file, data, blockBytes, &done, 0)
                         : PassCalls->readFile(file, data, blockBytes, &done, 0) && done >= blockBytes;
        if (!ok) {
            ShowLangMessage(owner, IDS_CANNOT_OPEN, MB_ICONHAND);
            *failed = 1;
            break;
        }
        uint32_t us = BlockUs(&clock);
        if (writing)
            samples[i - 1].writeUs = us;
        else
            samples[i - 1].readUs = us;
        if (PassLengthReached(length, i, clock.elapsedUs)) {
            ShowPassProgress(owner, title, i, clock.elapsedUs);
            return i;
        }
    }
    return i - 1;
}

static void EndPass(HWND owner, BlockBuffer *buffer)
{
    SetCursor(LoadCursorA(0, IDC_ARROW));
    ClosePassFile();
    SetWindowTextA(owner, AppCaption);
    GlobalFree((HGLOBAL)buffer->memory);
}

/* A write that fails is a full disk: the blocks written so far are the test. */
int WritePass(HWND owner, uint32_t blockKB, uint32_t *blockCount, const char *path, BlockSample *samples,
              const TestLength *length)
{
    const TestLength fixed = {*blockCount, *blockCount, 0};
    if (!length)
        length = &fixed;
    const uint32_t blockBytes = blockKB * 1024;
    BlockBuffer buffer;
    HANDLE file = BeginPass(owner, blockBytes, path, 1, &buffer);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    FillPattern(buffer.data, blockBytes);
    PassTitle title;
    ShowPassTitle(owner, &title, IDS_WRITING, "%s - %ld MB (%s) ", length, blockBytes, path);
    SetCursor(LoadCursorA(0, IDC_WAIT));
    int failed;
    *blockCount = TimeBlocks(owner, &title, file, buffer.data, blockBytes, length, samples, 1, &failed);
    EndPass(owner, &buffer);
    return 1;
}

int ReadPass(HWND owner, uint32_t blockKB, uint32_t *blockCount, const char *path, BlockSample *samples)
{
    const uint32_t blockBytes = blockKB * 1024;
    BlockBuffer buffer;
    HANDLE file = BeginPass(owner, blockBytes, path, 0, &buffer);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    PassTitle title;
    const TestLength length = {*blockCount, *blockCount, 0};
    ShowPassTitle(owner, &title, IDS_READING, "%s (%ld MB)", &length, blockBytes, 0);
    SetCursor(LoadCursorA(0, IDC_WAIT));
    int failed;
    *blockCount = TimeBlocks(owner, &title, file, buffer.data, blockBytes, &length, samples, 0, &failed);
    EndPass(owner, &buffer);
    return !failed;
}

/* The size asked for: of an automatic test, the least it writes. */
static void RefuseTooFull(HWND owner, const TestResult *r)
{
    char text[TEXT_BUFFER_SIZE];
    if (!LoadLangString(AppInstance, IDS_DISK_FULL, text, sizeof text))
        text[0] = 0;
    snprintf(TextBuffer, sizeof TextBuffer, "%s (%lu MB / %ld MB)", text, (unsigned long)r->freeMB,
             (long)(TestFileSizeMB == TEST_SIZE_AUTOMATIC ? AUTO_MIN_MB : TestFileSizeMB));
    MessageBoxA(owner, TextBuffer, AppCaption, MB_ICONEXCLAMATION);
}

int RunDiskTest(HWND owner, int slot)
{
    TestResult *r = &TestResults[slot];
    r->blockSizeKB = BLOCK_SIZE_KB;
    snprintf(r->testFilePath, sizeof r->testFilePath, kTestFileFormat, DriveTable[slot].driveName);

    const TestLength length = PlanTestLength((uint32_t)TestFileSizeMB, r->freeMB, BLOCK_SIZE_KB);
    const uint32_t blocks = length.maxBlocks;
    if (FreeSpaceRefuses(BLOCK_SIZE_KB, length.minBlocks, r->freeMB)) {
        RefuseTooFull(owner, r);
        return 0;
    }

    /* The new array comes first: if it cannot be had, the slot keeps its old one,
       which its last result and the graph still need. */
    if (!r->samples || r->blockCount < blocks) {
        BlockSample *samples = (BlockSample *)AllocTestBuffer(owner, (blocks + 1) * sizeof(BlockSample));
        if (!samples)
            return 0;
        if (r->samples)
            GlobalFree((HGLOBAL)r->samples);
        r->samples = samples;
    }
    r->blockCount = blocks;

    if (r->tested) {
        r->storedWriteRate = r->writeRate;
        r->storedReadRate = r->readRate;
    }
    r->shortestBlockUs = BLOCK_SIZE_KB * 1000 / 20480 * 1000;

    TestFileWritten[slot] = 1;
    RunningSlot = slot;
    PassStopped = 0;
    int ok = WritePass(owner, r->blockSizeKB, &r->blockCount, r->testFilePath, r->samples, &length);
    /* A write pass that completed no block leaves nothing to read or to rate; one
       stopped by the clean-up has lost its file. */
    if (ok && (!r->blockCount || PassStopped))
        ok = 0;
    if (ok)
        ok = ReadPass(owner, r->blockSizeKB, &r->blockCount, r->testFilePath, r->samples);
    if (ok && (!r->blockCount || PassStopped))
        ok = 0;
    r->timedByTicks = PassTicked;
    if (ok)
        AnalyseRates(r, r->samples);
    RunningSlot = -1;
    PassStopped = 0;

    SetWindowTextA(owner, AppCaption);
    r->tested = ok;
    return ok;
}

void DeleteTestFiles(HWND owner)
{
    char text[TEXT_BUFFER_SIZE];
    if (!LoadLangString(AppInstance, IDS_DELETING, text, sizeof text))
        text[0] = 0;
    SetWindowTextA(owner, text);
    SetCursor(LoadCursorA(0, IDC_WAIT));

    for (int slot = 0; slot < MAX_DRIVES; slot++) {
        TestResult *r = &TestResults[slot];
        const char *driveName = DriveTable[slot].driveName;
        if (r->tested) {
            StoreWrite(STORE_KEY_MACHINE, VALUE_WRITE_SPEED, driveName, &r->writeRate, DATA_NUMBER);
            StoreWrite(STORE_KEY_MACHINE, VALUE_READ_SPEED, driveName, &r->readRate, DATA_NUMBER);
        }
        if (slot == RunningSlot) {
            PassStopped = 1;
            ClosePassFile();
        }
        if (r->tested || TestFileWritten[slot]) {
            char path[TEST_FILE_PATH_SIZE];
            snprintf(path, sizeof path, kTestFileFormat, driveName);
            DeleteFileA(path);
            TestFileWritten[slot] = 0;
        }
        /* The running pass still writes into its slot's samples: they go with
           the next clean-up. */
        if (r->samples && slot != RunningSlot) {
            GlobalFree((HGLOBAL)r->samples);
            r->samples = 0;
        }
    }

    SetCursor(LoadCursorA(0, IDC_ARROW));
    SetWindowTextA(owner, AppCaption);
}
