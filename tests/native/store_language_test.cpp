// The registry store's tables and rules, and the start-up language rules.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "../../shell/language.h"
#include "../../store/store_rules.h"

namespace {

const char kStravo[] = "Software\\vexo Computer Products\\vexoVIDEO STRAVO";
const char kServal[] = "Software\\vexo Computer Products\\Serval";

TEST(StoreRules, KeysAndValueNames)
{
    struct Key {
        uint16_t number;
        const char *path;
        StoreRoot read, write;
    } keys[] = {
        {98, "Software\\vexo Computer Products\\vexoVIDEO Puma", ROOT_LOCAL_MACHINE, ROOT_CURRENT_USER},
        {99, "Software\\vexo Computer Products\\vexoVIDEO Caracal", ROOT_CURRENT_USER, ROOT_CURRENT_USER},
        {100, kStravo, ROOT_CURRENT_USER, ROOT_CURRENT_USER},
        {102, kStravo, ROOT_LOCAL_MACHINE, ROOT_LOCAL_MACHINE},
        {103, kServal, ROOT_CURRENT_USER, ROOT_CURRENT_USER},
        {104, kServal, ROOT_LOCAL_MACHINE, ROOT_LOCAL_MACHINE},
        {110, "Software\\vexo\\Lynx", ROOT_CURRENT_USER, ROOT_CURRENT_USER},
        {111, "Software\\vexo\\Lynx", ROOT_LOCAL_MACHINE, ROOT_LOCAL_MACHINE},
        {112, "Software\\vexo\\Puma", ROOT_CURRENT_USER, ROOT_CURRENT_USER},
        {113, "Software\\vexo\\Puma", ROOT_LOCAL_MACHINE, ROOT_LOCAL_MACHINE},
        {114, "Software\\vexo\\Ocelot", ROOT_CURRENT_USER, ROOT_CURRENT_USER},
        {115, "Software\\vexo\\Ocelot", ROOT_LOCAL_MACHINE, ROOT_LOCAL_MACHINE},
    };
    for (const Key &k : keys) {
        const StoreKey *found = FindStoreKey(k.number);
        ASSERT_NE(found, nullptr) << k.number;
        EXPECT_STREQ(found->path, k.path) << k.number;
        EXPECT_EQ(found->readRoot, k.read) << k.number;
        EXPECT_EQ(found->writeRoot, k.write) << k.number;
    }
    for (uint16_t unknown : {0, 97, 101, 105, 109, 116, 255})
        EXPECT_EQ(FindStoreKey(unknown), nullptr) << unknown;
    EXPECT_STREQ(VidCapKeyPath(), "Software\\Microsoft\\Multimedia Tools\\VidCap");
    const char *names[] = {"CapRate", "CapFormat", "CapDrive", "Logo", "Language", "Logo",
                           "Language", "ActBoard", "LastBoard", "PumaToMemory", "MemoryToPuma",
                           "WriteSpeed", "ReadSpeed", "AssumedDataRate", "WriteToMem",
                           "WriteFromMem", "EditingBoard"};
    for (uint16_t n = 0; n < 17; n++)
        EXPECT_STREQ(ValueName(n), names[n]) << n;
    EXPECT_EQ(ValueName(17), nullptr);
    EXPECT_EQ(ValueName(NO_VALUE_NUMBER), nullptr);
}

TEST(StoreRules, FormsTextsAndTheDecimalRule)
{
    struct Form {
        uint16_t number;
        const char *name, *path, *valueName;
    } forms[] = {{11, "C:", "\\WriteSpeed", "C:"},     {12, "D:", "\\ReadSpeed", "D:"},
                 {NO_VALUE_NUMBER, "Language", "", "Language"}, {7, nullptr, "\\ActBoard", nullptr},
                 {8, nullptr, "\\LastBoard", nullptr}};
    for (const Form &f : forms) {
        StoreLocation where;
        ASSERT_TRUE(LocateStoreValue(kStravo, f.number, f.name, &where)) << f.number;
        EXPECT_EQ(std::string(where.path), std::string(kStravo) + f.path) << f.number;
        EXPECT_STREQ(where.valueName ? where.valueName : "(default)", f.valueName ? f.valueName : "(default)");
    }
    StoreLocation where;
    EXPECT_FALSE(LocateStoreValue(kStravo, 40, "C:", &where)) << "a number naming nothing";
    EXPECT_FALSE(LocateStoreValue(kStravo, NO_VALUE_NUMBER, nullptr, &where)) << "no name, no subkey";
    EXPECT_FALSE(LocateStoreValue(std::string(255, 'k').c_str(), 11, "C:", &where)) << "path too long";

    const std::string hundred(100, 'x');
    EXPECT_TRUE(StoreTextAllowed(hundred.c_str()));
    EXPECT_FALSE(StoreTextAllowed((hundred + "x").c_str()));
    EXPECT_FALSE(StoreTextAllowed(""));
    EXPECT_TRUE(StoreTextAllowed("C"));

    struct Decimal {
        const char *text;
        uint32_t value;
    } decimals[] = {{"0123", 123}, {"", 0}, {"7", 7}, {"20000", 20000},
                    {"4294967296", 0}, {"1a", 59}, {"-5", (uint32_t)(-30 + 5)}};
    for (const Decimal &d : decimals)
        EXPECT_EQ(ParseDecimal(d.text), d.value) << '"' << d.text << '"';

    struct Query {
        const char *data;
        uint32_t bytes, size, result;
    } queries[] = {{"GER\0", 4, 10, 4}, {"GER", 3, 10, 4}, {"GERMAN", 6, 6, 0},
                   {"GERMAN", 7, 6, 0}, {"", 0, 10, 1},   {"AB\0CD", 5, 5, 5}, {"X", 1, 0, 0}};
    for (const Query &q : queries) {
        char buffer[16];
        memset(buffer, '#', sizeof buffer);
        memcpy(buffer, q.data, q.bytes < sizeof buffer ? q.bytes : sizeof buffer);
        EXPECT_EQ(TerminateQueriedText(buffer, q.bytes, q.size), q.result) << q.data << "/" << q.size;
        EXPECT_TRUE(!q.result || strlen(buffer) < q.result) << q.data;
        EXPECT_TRUE(q.bytes > q.size || buffer[q.size] == '#') << q.data << ": nothing past the buffer";
    }
}

TEST(LanguageRules, CountryStoredWordAndHelpFile)
{
    struct Country {
        int code, offset, ntsc;
    } countries[] = {{1, 0, 1},    {2, 0, 1},   {52, 0, 1},   {81, 0, 1},  {82, 0, 1},
                     {886, 0, 1},  {32, 600, 0}, {33, 600, 0}, {41, 500, 0}, {43, 500, 0},
                     {49, 500, 0}, {44, 0, 0},  {0, 0, 0},    {31, 0, 0}};
    for (const Country &c : countries) {
        int ntsc = -1;
        EXPECT_EQ(CountryDefaults(c.code, &ntsc), c.offset) << c.code;
        EXPECT_EQ(ntsc, c.ntsc) << c.code;
    }
    struct Word {
        const char *code;
        int offset;
    } words[] = {{"ENG", 0}, {"eng", 0}, {"GER", 500}, {"Ger", 500}, {"fre", 600},
                 {"FRE", 600}, {"DEU", 77}, {"", 77}, {"GERM", 77}, {"FR", 77}};
    for (const Word &w : words)
        EXPECT_EQ(LanguageOffsetForCode(w.code, 77), w.offset) << w.code;
    EXPECT_STREQ(HelpFileForOffset(0), "STRVENG.HLP");
    EXPECT_STREQ(HelpFileForOffset(500), "STRVGER.HLP");
    EXPECT_STREQ(HelpFileForOffset(600), "STRVFRE.HLP");
}

}  // namespace
