/* The drive list's arithmetic and text rules. */
#include "drive_rules.h"

#include <stdio.h>
#include <string.h>

uint32_t BytesToMB(uint64_t bytes)
{
    uint64_t mb = bytes >> 20;
    return mb > 0xFFFFFFFFull ? 0xFFFFFFFFu : (uint32_t)mb;
}

uint32_t ClusterMB(uint32_t sectorsPerCluster, uint32_t bytesPerSector, uint32_t clusters)
{
    /* At most 2^96 bytes in all; the cluster size times the count stays in 64 bits
       for clusters up to 2^32 bytes. */
    return BytesToMB((uint64_t)sectorsPerCluster * bytesPerSector * clusters);
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

void FormatDriveSize(char *out, size_t size, uint32_t megabytes, int decimalComma)
{
    static const char *const units[] = {"MB", "GB", "TB"};
    uint64_t whole = megabytes, tenths = (uint64_t)megabytes * 10;
    int unit = 0;
    while (unit < 2 && whole >= 10000) {
        unit++;
        whole >>= 10;
        tenths >>= 10;
    }
    if (unit && whole < 100)
        snprintf(out, size, "%lu%c%lu%s", (unsigned long)(tenths / 10), decimalComma ? ',' : '.',
                 (unsigned long)(tenths % 10), units[unit]);
    else
        snprintf(out, size, "%lu%s", (unsigned long)whole, units[unit]);
}

void FormatDriveDescription(char *out, size_t size, const char *label, size_t labelChars, const char *driveName,
                            uint32_t freeMB, const char *freeOf, uint32_t totalMB, int decimalComma)
{
    if (!size)
        return;
    char tail[160], freeText[16], totalText[16];
    FormatDriveSize(freeText, sizeof freeText, freeMB, decimalComma);
    FormatDriveSize(totalText, sizeof totalText, totalMB, decimalComma);
    snprintf(tail, sizeof tail, "(%s) %s %s %s", driveName, freeText, freeOf, totalText);
    size_t tailLength = strlen(tail);
    size_t room = tailLength < size - 1 ? size - 1 - tailLength : 0;
    size_t labelLength = strlen(label);
    if (labelLength > labelChars)
        labelLength = labelChars;
    if (labelLength > room)
        labelLength = room;
    snprintf(out, size, "%.*s%s", (int)labelLength, label, tail);
}
