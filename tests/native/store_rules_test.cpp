// Tables and registry-free rules of the registry store.
#include <gtest/gtest.h>

#include <string.h>

#include "../../store/store_rules.h"

TEST(StoreKeys, RootsAndPathsFollowTheKeyTable)
{
    struct Row {
        uint16_t number;
        const char *path;
        StoreRoot read, write;
    } rows[] = {
        {98, "Software\\vexo Computer Products\\vexoVIDEO Puma", ROOT_LOCAL_MACHINE, ROOT_CURRENT_USER},
        {99, "Software\\vexo Computer Products\\vexoVIDEO Caracal", ROOT_CURRENT_USER, ROOT_CURRENT_USER},
        {100, "Software\\vexo Computer Products\\vexoVIDEO STRAVO", ROOT_CURRENT_USER, ROOT_CURRENT_USER},
        {102, "Software\\vexo Computer Products\\vexoVIDEO STRAVO", ROOT_LOCAL_MACHINE, ROOT_LOCAL_MACHINE},
        {103, "Software\\vexo Computer Products\\Serval", ROOT_CURRENT_USER, ROOT_CURRENT_USER},
        {104, "Software\\vexo Computer Products\\Serval", ROOT_LOCAL_MACHINE, ROOT_LOCAL_MACHINE},
        {110, "Software\\vexo\\Lynx", ROOT_CURRENT_USER, ROOT_CURRENT_USER},
        {111, "Software\\vexo\\Lynx", ROOT_LOCAL_MACHINE, ROOT_LOCAL_MACHINE},
        {112, "Software\\vexo\\Puma", ROOT_CURRENT_USER, ROOT_CURRENT_USER},
        {113, "Software\\vexo\\Puma", ROOT_LOCAL_MACHINE, ROOT_LOCAL_MACHINE},
        {114, "Software\\vexo\\Ocelot", ROOT_CURRENT_USER, ROOT_CURRENT_USER},
        {115, "Software\\vexo\\Ocelot", ROOT_LOCAL_MACHINE, ROOT_LOCAL_MACHINE},
    };
    for (const Row &row : rows) {
        const StoreKey *key = FindStoreKey(row.number);
        ASSERT_NE(key, nullptr) << row.number;
        EXPECT_STREQ(key->path, row.path) << row.number;
        EXPECT_EQ(key->readRoot, row.read) << row.number;
        EXPECT_EQ(key->writeRoot, row.write) << row.number;
    }
}

TEST(StoreKeys, NumbersOutsideTheTableAndTheCaptureToolKeyAreUnknown)
{
    for (uint16_t number : {0, 1, 97, 101, 105, 106, 107, 108, 109, 116, 255, 65535})
        EXPECT_EQ(FindStoreKey(number), nullptr) << number;
    EXPECT_STREQ(VidCapKeyPath(), "Software\\Microsoft\\Multimedia Tools\\VidCap");
}

TEST(StoreValueNames, EveryNumberHasItsName)
{
    const char *names[] = {"CapRate",    "CapFormat",   "CapDrive",     "Logo",
                           "Language",   "Logo",        "Language",     "ActBoard",
                           "LastBoard",  "PumaToMemory", "MemoryToPuma", "WriteSpeed",
                           "ReadSpeed",  "AssumedDataRate", "WriteToMem", "WriteFromMem",
                           "EditingBoard"};
    for (uint16_t i = 0; i < 17; i++)
        EXPECT_STREQ(ValueName(i), names[i]) << i;
    EXPECT_EQ(ValueName(17), nullptr);
    EXPECT_EQ(ValueName(255), nullptr);
}

TEST(StoreLocation, FormsAndSubkeys)
{
    struct Row {
        uint16_t number;
        const char *name;
        const char *path;
        const char *valueName;
    } rows[] = {
        // Subkey form: the default value of a subkey named by the number.
        {7, nullptr, "K\\ActBoard", nullptr},
        // Value form without a number: the named value of the key itself.
        {255, "Language", "K", "Language"},
        // Value form with a number: the named value lives in that subkey.
        {11, "C:", "K\\WriteSpeed", "C:"},
        {12, "D:", "K\\ReadSpeed", "D:"},
    };
    for (const Row &row : rows) {
        StoreLocation where;
        ASSERT_TRUE(LocateStoreValue("K", row.number, row.name, &where)) << row.number;
        EXPECT_STREQ(where.path, row.path);
        if (row.valueName)
            EXPECT_STREQ(where.valueName, row.valueName);
        else
            EXPECT_EQ(where.valueName, nullptr);
    }
    StoreLocation where;
    EXPECT_FALSE(LocateStoreValue("K", 255, nullptr, &where));
    EXPECT_FALSE(LocateStoreValue("K", 17, nullptr, &where));
    EXPECT_FALSE(LocateStoreValue("K", 40, "C:", &where));
    char longPath[300];
    memset(longPath, 'x', sizeof longPath - 1);
    longPath[sizeof longPath - 1] = 0;
    EXPECT_FALSE(LocateStoreValue(longPath, 7, nullptr, &where));
}

TEST(StoreText, OneToOneHundredCharactersMayBeStored)
{
    char text[102];
    memset(text, 'a', sizeof text);
    struct Row {
        size_t length;
        int allowed;
    } rows[] = {{0, 0}, {1, 1}, {99, 1}, {100, 1}, {101, 0}};
    for (const Row &row : rows) {
        text[row.length] = 0;
        EXPECT_EQ(StoreTextAllowed(text), row.allowed) << row.length;
        text[row.length] = 'a';
    }
}

TEST(ParseDecimal, WeightsFromTheLastCharacter)
{
    struct Row {
        const char *text;
        uint32_t value;
    } rows[] = {
        {"", 0},
        {"0", 0},
        {"0123", 123},
        {"4800", 4800},
        {"4294967295", 4294967295u},
        // No digit check: each character adds (code - 48) times its weight.
        {"1A", 10 + ('A' - 48)},
        {" 5", (uint32_t)((' ' - 48) * 10 + 5)},
        // Past 2^32 the sum wraps like the 32-bit integer it is.
        {"4294967296", 0},
    };
    for (const Row &row : rows)
        EXPECT_EQ(ParseDecimal(row.text), row.value) << '"' << row.text << '"';
}

TEST(TerminateQueriedText, AlwaysLeavesAStringInsideTheBuffer)
{
    struct Row {
        const char *bytes;
        uint32_t dataBytes, bufferSize, delivered;
        const char *text;
    } rows[] = {
        {"abc\0", 4, 8, 4, "abc"},  // terminated as stored
        {"abc", 3, 8, 4, "abc"},    // stored without terminator: one is appended
        {"abcd", 4, 4, 0, nullptr}, // no room for the terminator: refused
        {"a\0bc", 4, 4, 4, "a"},    // a terminator inside the data suffices
        {"", 0, 4, 1, ""},          // empty data becomes an empty text
        {"abc", 3, 0, 0, nullptr},
        {"abcdef", 6, 4, 0, nullptr},
    };
    for (const Row &row : rows) {
        char buffer[16];
        memset(buffer, 'x', sizeof buffer);
        memcpy(buffer, row.bytes, row.dataBytes);
        uint32_t delivered = TerminateQueriedText(buffer, row.dataBytes, row.bufferSize);
        EXPECT_EQ(delivered, row.delivered) << row.bytes;
        if (row.text) {
            EXPECT_STREQ(buffer, row.text);
            EXPECT_NE(memchr(buffer, 0, row.bufferSize), nullptr);
        }
    }
}
