// Drive list arithmetic and the drive box line.
#include <gtest/gtest.h>

#include <string.h>

#include "../../measure/drive_records.h"
#include "../../measure/drive_rules.h"

TEST(DriveRules, SizesAreWorkedOutInBytesAndSaturate)
{
    struct Case { uint32_t sectors, bytes, clusters, kb; } cases[] = {
        {8, 512, 1000, 4000},                  // 4 kB clusters
        {1, 512, 2000, 1000},                  // half-kB clusters are not lost
        {1, 512, 1, 0},                        // a lone 512-byte cluster is under 1 kB
        {64, 512, 0xFFFFFFFFu, 0xFFFFFFFFu},   // 32 kB clusters by 2^32: saturates
        {0, 512, 1000, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ClusterKB(c.sectors, c.bytes, c.clusters), c.kb)
            << c.sectors << " x " << c.bytes << " x " << c.clusters;

    EXPECT_EQ(BytesToKB(2047ull * 1024 * 1024), 2047u * 1024);
    EXPECT_EQ(BytesToKB(1023), 0u);
    EXPECT_EQ(BytesToKB(4ull << 40), 0xFFFFFFFFu);           // 4 TiB does not wrap to 0
    EXPECT_EQ(BytesToKB((4ull << 40) - 1024), 0xFFFFFFFFu);  // the largest that fits
    EXPECT_EQ(BytesToKB(5ull << 40), 0xFFFFFFFFu);
}

TEST(DriveRules, OnlyTheFloppyLettersThatExistAreSkipped)
{
    struct Case { uint32_t mask; int skip; } cases[] = {
        {0x0, 0}, {0x1, 1}, {0x2, 1}, {0x3, 2}, {0x4, 0}, {0x1D, 1}, {0xFFFFFFFF, 2},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FloppyRootsToSkip(c.mask), c.skip) << std::hex << c.mask;
}

TEST(DriveRules, DriveNameLosesOneTrailingBackslash)
{
    char name[DRIVE_NAME_SIZE];
    DriveNameFromRoot("C:\\", name, sizeof name);
    EXPECT_STREQ(name, "C:");
    DriveNameFromRoot("C:", name, sizeof name);
    EXPECT_STREQ(name, "C:");
    DriveNameFromRoot("\\\\server\\share\\", name, sizeof name);
    EXPECT_STREQ(name, "\\\\server\\share");
    char small[3];
    DriveNameFromRoot("C:\\", small, sizeof small);  // bounded: "C:" still fits
    EXPECT_STREQ(small, "C:");
}

TEST(DriveRules, DescriptionLineAsTheUserSeesIt)
{
    char line[DESCRIPTION_SIZE];
    FormatDriveDescription(line, sizeof line, "SYSTEM", "C:", 512 * 1024, "free of", 2047 * 1024);
    EXPECT_STREQ(line, "SYSTEM(C:) 512MB free of 2047MB");
    FormatDriveDescription(line, sizeof line, "", "C:", 512 * 1024 + 1023, "free of", 2047 * 1024);
    EXPECT_STREQ(line, "(C:) 512MB free of 2047MB");  // MB truncated
    FormatDriveDescription(line, sizeof line, "", "A:", 0, "frei von", 0);
    EXPECT_STREQ(line, "(A:) 0MB frei von 0MB");      // a drive without medium
}

TEST(DriveRules, LongLinesShortenTheLabelAndStayInsideTheBuffer)
{
    // The slot's description and drive name sit side by side: a guard after the
    // description buffer shows any spill.
    struct { char line[DESCRIPTION_SIZE]; char guard[8]; } slot;
    const char *label32 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
    struct Case { const char *label, *freeOf; uint32_t freeKB, totalKB; const char *expected; } cases[] = {
        {label32, "disponibles de", 512 * 1024, 2047 * 1024, "ABCDEFGHIJK(E:) 512MB disponibles de 2047MB"},
        {label32, "free of", 0xFFFFFFFFu, 0xFFFFFFFFu, "ABCDEFGHIJK(E:) 4194303MB free of 4194303MB"},
        {"", "disponibles de", 0xFFFFFFFFu, 0xFFFFFFFFu, "(E:) 4194303MB disponibles de 4194303MB"},
        {"DATA", "free of", 1024, 2048, "DATA(E:) 1MB free of 2MB"},
    };
    for (const Case &c : cases) {
        memset(&slot, 'x', sizeof slot);
        FormatDriveDescription(slot.line, sizeof slot.line, c.label, "E:", c.freeKB, c.freeOf, c.totalKB);
        EXPECT_STREQ(slot.line, c.expected);
        EXPECT_LE(strlen(slot.line), (size_t)DESCRIPTION_SIZE - 1);
        for (char g : slot.guard)
            EXPECT_EQ(g, 'x') << "spilled past the line: " << c.label;
    }
    // Even a tail longer than the line is cut, not spilled.
    memset(&slot, 'x', sizeof slot);
    FormatDriveDescription(slot.line, sizeof slot.line, "L", "\\\\a-very-long-server\\share", 0xFFFFFFFFu,
                           "disponibles de", 0xFFFFFFFFu);
    EXPECT_EQ(strlen(slot.line), (size_t)DESCRIPTION_SIZE - 1);
    EXPECT_EQ(slot.line[0], '(');
    for (char g : slot.guard)
        EXPECT_EQ(g, 'x');
}
