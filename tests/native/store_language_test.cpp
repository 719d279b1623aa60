// The registry store's tables and rules, and the start-up language rules.
#include <gtest/gtest.h>

#include "../../core/language.h"
#include "../../store/store_rules.h"
#include "text.h"

// The keys, names and forms the program uses have their rows in the runner's and
// the stories' registry; here what lies past the tables.
TEST(StoreRules, KeysNamesAndForms)
{
    StoreLocation where;
    EXPECT_EQ(Text("%d%d%d%d", !FindStoreKey(101), !ValueName(17), LocateStoreValue("Key", 40, "C:", &where),
                   LocateStoreValue(std::string(255, 'k').c_str(), 11, "C:", &where)), "1100");
}

TEST(StoreRules, TextsAndTheDecimalRule)
{
    std::string out = Text("%d%d%d%d ", StoreTextAllowed(std::string(100, 'x').c_str()),
                           StoreTextAllowed(std::string(101, 'x').c_str()), StoreTextAllowed(""), StoreTextAllowed("C"));
    for (const char *text : {"0123", "", "4294967296", "1a", "-5"})
        out += Text("%u ", ParseDecimal(text));
    EXPECT_EQ(out, Text("1001 123 0 0 59 %u ", (uint32_t)-25));
    struct { const char *data; uint32_t bytes, size, result; } queries[] = {{"GER\0", 4, 10, 4}, {"GER", 3, 10, 4}, {"GERMAN", 6, 6, 0}, {"GERMAN", 7, 6, 0},
                   {"AB\0CD", 5, 5, 5}, {"X", 1, 0, 0}};
    for (const auto &q : queries) {
        char buffer[16];
        memset(buffer, '#', sizeof buffer);
        memcpy(buffer, q.data, q.bytes);
        EXPECT_EQ(TerminateQueriedText(buffer, q.bytes, q.size), q.result) << q.data << "/" << q.size;
        EXPECT_TRUE(!q.result || strlen(buffer) < q.result) << q.data;
        EXPECT_TRUE(q.bytes > q.size || buffer[q.size] == '#') << q.data << ": nothing past the buffer";
    }
}

TEST(LanguageRules, CountryStoredWordAndHelpFile)
{
    std::string out;
    for (int code : {1, 2, 52, 81, 82, 886, 32, 33, 41, 43, 49, 44}) {
        int ntsc = -1, offset = CountryDefaults(code, &ntsc);
        out += Text("%d/%d ", offset, ntsc);
    }
    for (const char *code : {"ENG", "Ger", "fre", "DEU", "", "GERM", "FR"})
        out += Text("%d ", LanguageOffsetForCode(code, 77));
    EXPECT_EQ(out + HelpFileForOffset(0) + HelpFileForOffset(500) + HelpFileForOffset(600),
              "0/1 0/1 0/1 0/1 0/1 0/1 600/0 600/0 500/0 500/0 500/0 0/0 "
              "0 500 600 77 77 77 77 STRVENG.HLPSTRVGER.HLPSTRVFRE.HLP");
}
