/* The drive list's arithmetic and text rules. */
#include "drive_rules.h"

#include <stdio.h>
#include <string.h>

uint32_t BytesToKB(uint64_t bytes)
{
    uint64_t kb = bytes / 1024;
    return kb > 0xFFFFFFFFull ? 0xFFFFFFFFu : (uint32_t)kb;
}

uint32_t ClusterKB(uint32_t sectorsPerCluster, uint32_t bytesPerSector, uint32_t clusters)
{
    return BytesToKB((uint64_t)sectorsPerCluster * bytesPerSector * clusters);
}

int FloppyRootsToSkip(uint32_t driveMask)
{
    return (int)(driveMask & 1) + (int)((driveMask >> 1) & 1);
}

void DriveNameFromRoot(const char *root, char *name, size_t size)
{
    if (!size)
        return;
    snprintf(name, size, "%s", root);
    size_t length = strlen(name);
    if (length && name[length - 1] == '\\')
        name[length - 1] = 0;
}

void FormatDriveDescription(char *out, size_t size, const char *label, const char *driveName,
                            uint32_t freeKB, const char *freeOf, uint32_t totalKB)
{
    if (!size)
        return;
    char tail[160];
    snprintf(tail, sizeof tail, "(%s) %luMB %s %luMB", driveName, (unsigned long)(freeKB / 1024),
             freeOf, (unsigned long)(totalKB / 1024));
    size_t tailLength = strlen(tail);
    size_t room = tailLength < size - 1 ? size - 1 - tailLength : 0;
    size_t labelLength = strlen(label);
    if (labelLength > room)
        labelLength = room;
    snprintf(out, size, "%.*s%s", (int)labelLength, label, tail);
}
