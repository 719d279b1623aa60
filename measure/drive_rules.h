/* The drive list's arithmetic and text rules, free of the system. */
#ifndef STRAVO_DRIVE_RULES_H
#define STRAVO_DRIVE_RULES_H

#include <stddef.h>
#include <stdint.h>

/* MB of a 64-bit byte count, saturated at 0xFFFFFFFF (4096 TB): a drive of many
   terabytes no longer fits a count of kB in 32 bits. */
uint32_t BytesToMB(uint64_t bytes);

/* MB of a cluster count, worked out in bytes so that clusters smaller than 1 kB
   still count. */
uint32_t ClusterMB(uint32_t sectorsPerCluster, uint32_t bytesPerSector, uint32_t clusters);

/* How many leading root strings are floppy drives: the set bits among A: and B:. */
int FloppyRootsToSkip(uint32_t driveMask);

/* The drive name of a root: "C:\" gives "C:" (one trailing backslash stripped). */
void DriveNameFromRoot(const char *root, char *name, size_t size);

/* A size for the drive box in at most four digits: MB below 10000 MB, then GB,
   then TB, with tenths while a GB or TB figure is below 100 ("812MB", "9,7GB",
   "931GB", "10,9TB", "100TB"); the decimal point or comma as the language writes it. */
void FormatDriveSize(char *out, size_t size, uint32_t megabytes, int decimalComma);

/* The drive box line "label(C:) 512MB free of 2047MB", with at most labelChars of
   the label. A line longer than the buffer loses the end of its label first, so
   that the drive name and figures stay whole; the result always fits and is
   terminated. */
void FormatDriveDescription(char *out, size_t size, const char *label, size_t labelChars, const char *driveName,
                            uint32_t freeMB, const char *freeOf, uint32_t totalMB, int decimalComma);

#endif
