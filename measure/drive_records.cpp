/* The drive slots' static tables. */
#include "drive_records.h"

static char Descriptions[MAX_DRIVES][DESCRIPTION_SIZE];
static char DriveNames[MAX_DRIVES][DRIVE_NAME_SIZE];

DriveEntry DriveTable[MAX_DRIVES] = {
    {0, Descriptions[0], DriveNames[0]}, {1, Descriptions[1], DriveNames[1]},
    {2, Descriptions[2], DriveNames[2]}, {3, Descriptions[3], DriveNames[3]},
    {4, Descriptions[4], DriveNames[4]}, {5, Descriptions[5], DriveNames[5]},
    {6, Descriptions[6], DriveNames[6]}, {7, Descriptions[7], DriveNames[7]},
};

TestResult TestResults[MAX_DRIVES];
