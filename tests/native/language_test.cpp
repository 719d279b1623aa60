// Language and norm defaults chosen at start-up.
#include <gtest/gtest.h>

#include "../../shell/language.h"

TEST(CountryDefaults, MapsTelephoneCodesToLanguageAndNorm)
{
    struct Row {
        int country, offset, ntsc;
    } rows[] = {
        {1, 0, 1},   {2, 0, 1},   {52, 0, 1},  {81, 0, 1},  {82, 0, 1},  {886, 0, 1},
        {32, 600, 0}, {33, 600, 0}, {41, 500, 0}, {43, 500, 0}, {49, 500, 0},
        {0, 0, 0},   {44, 0, 0},  {39, 0, 0},  {-1, 0, 0},  {3, 0, 0},   {4900, 0, 0},
    };
    for (const Row &row : rows) {
        int ntsc = 7;
        EXPECT_EQ(CountryDefaults(row.country, &ntsc), row.offset) << row.country;
        EXPECT_EQ(ntsc, row.ntsc) << row.country;
    }
}

TEST(LanguageOffsetForCode, MatchesTheThreeWordsInAnyCase)
{
    struct Row {
        const char *code;
        int fallback, offset;
    } rows[] = {
        {"ENG", 500, 0},  {"eng", 600, 0},  {"GER", 0, 500}, {"Ger", 600, 500},
        {"FRE", 0, 600},  {"fre", 500, 600}, {"DEU", 500, 500}, {"DEU", 0, 0},
        {"", 600, 600},   {"ENGL", 500, 500}, {"EN", 600, 600}, {"FR", 0, 0},
    };
    for (const Row &row : rows)
        EXPECT_EQ(LanguageOffsetForCode(row.code, row.fallback), row.offset)
            << row.code << " from " << row.fallback;
}

TEST(HelpFileForOffset, OneHelpFilePerLanguage)
{
    EXPECT_STREQ(HelpFileForOffset(0), "STRVENG.HLP");
    EXPECT_STREQ(HelpFileForOffset(500), "STRVGER.HLP");
    EXPECT_STREQ(HelpFileForOffset(600), "STRVFRE.HLP");
    EXPECT_STREQ(HelpFileForOffset(123), "STRVENG.HLP");
}
