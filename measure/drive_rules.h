/* The drive list's arithmetic and text rules, free of the system. */
#ifndef STRAVO_DRIVE_RULES_H
#define STRAVO_DRIVE_RULES_H

#include <stddef.h>
#include <stdint.h>

/* kB of a cluster count, worked out in bytes so that clusters smaller than 1 kB
   still count; saturates at 0xFFFFFFFF instead of wrapping. */
uint32_t ClusterKB(uint32_t sectorsPerCluster, uint32_t bytesPerSector, uint32_t clusters);

/* kB of a 64-bit byte count, saturated at 0xFFFFFFFF. */
uint32_t BytesToKB(uint64_t bytes);

/* How many leading root strings are floppy drives: the set bits among A: and B:. */
int FloppyRootsToSkip(uint32_t driveMask);

/* The drive name of a root: "C:\" gives "C:" (one trailing backslash stripped). */
void DriveNameFromRoot(const char *root, char *name, size_t size);

/* The drive box line "label(C:) 512MB free of 2047MB". A line longer than the
   buffer loses the end of its label first, so that the drive name and figures
   stay readable; the result always fits and is terminated. */
void FormatDriveDescription(char *out, size_t size, const char *label, const char *driveName,
                            uint32_t freeKB, const char *freeOf, uint32_t totalKB);

#endif
