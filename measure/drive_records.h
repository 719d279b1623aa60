/* The records that the drive list, the disk test, the evaluation and the graph
   share: one entry and one measurement record per drive slot, and the per-block
   times of a test. Static tables, zero at program start. */
#ifndef STRAVO_DRIVE_RECORDS_H
#define STRAVO_DRIVE_RECORDS_H

#include <stdint.h>

enum {
    MAX_DRIVES = 8,
    DESCRIPTION_SIZE = 44,
    DRIVE_NAME_SIZE = 24,
    TEST_FILE_PATH_SIZE = 80,
    BLOCK_SIZE_KB = 96,
};

/* The {key, text} shape that the drop-down list helpers take. */
struct DriveEntry {
    int32_t slot;
    char *description;
    char *driveName;
};

/* One block's read and write, in microseconds (a block slower than 71 minutes
   reads as 71 minutes). */
struct BlockSample {
    uint32_t readUs;
    uint32_t writeUs;
};

struct TestResult {
    uint32_t tested;
    uint32_t freeMB;
    uint32_t driveType;
    uint32_t writeRate;
    uint32_t readRate;
    uint32_t availableRate;
    uint32_t compressionTenths;
    uint32_t qualityClass;
    uint32_t storedWriteRate;
    uint32_t storedReadRate;
    uint32_t blockSizeKB;
    uint32_t blockCount;
    uint32_t shortestBlockUs;
    uint32_t timedByTicks; /* no performance counter: the times are whole milliseconds */
    char testFilePath[TEST_FILE_PATH_SIZE];
    BlockSample *samples;
};

extern DriveEntry DriveTable[MAX_DRIVES];
extern TestResult TestResults[MAX_DRIVES];

#endif
