// The memory test's workload and rate arithmetic, and the system information
// dialog's field rules.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <vector>

#include "../../measure/memory_rules.h"

namespace {

TEST(MemoryTest, TheKernelFillsEverySlotWithTheSourcesFirst512Bytes)
{
    std::vector<unsigned char> source(MEMORY_SOURCE_SIZE), destination(MEMORY_DESTINATION_SIZE, 0xEE);
    for (size_t i = 0; i < source.size(); i++)
        source[i] = (unsigned char)(i * 7 + 3);
    MemoryCopyKernel(source.data(), destination.data());
    for (size_t slot = 0; slot < destination.size(); slot += MEMORY_COPY_CHUNK)
        ASSERT_EQ(memcmp(destination.data() + slot, source.data(), MEMORY_COPY_CHUNK), 0) << slot;
}

TEST(MemoryTest, RatesOfRunsAndTheirAverage)
{
    struct Case {
        uint32_t elapsed[4];
        uint32_t rates[4];
        uint32_t average;
    } cases[] = {
        {{200, 250, 200, 250}, {81920, 65536, 81920, 65536}, 73728},
        {{100, 100, 100, 100}, {163840, 163840, 163840, 163840}, 132000},
        {{1000, 1000, 1000, 3000}, {16384, 16384, 16384, 5461}, 13653},
        // Faster than the counter: the run counts as the limit, never as 0.
        {{0, 0, 0, 0}, {132000, 132000, 132000, 132000}, 132000},
        {{0, 160, 160, 160}, {132000, 102400, 102400, 102400}, 109800},
    };
    for (const Case &c : cases) {
        uint32_t rates[4];
        for (int i = 0; i < 4; i++) {
            rates[i] = MemoryRunRate(5000, 5000 + c.elapsed[i]);
            EXPECT_EQ(rates[i], c.rates[i]) << c.elapsed[i];
        }
        EXPECT_EQ(AverageMemoryRate(rates), c.average);
    }
    EXPECT_EQ(MemoryRunRate(0xFFFFFF00u, 100), 16384000u / 356) << "across a wrap of the counter";
}

TEST(MemoryTest, FileSizeTexts)
{
    const struct { const char *text; uint32_t megabytes; } cases[] = {
        {"5", 10},          {"10", 10},     {"11", 11},       {"20", 20},    {"1999", 1999},
        {"2000", 2000},     {"2500", 2000}, {"", 10},         {"abc", 10},   {"-5", 10},
        {"12abc", 10},      {" 300 ", 300}, {"99999999999999999999", 2000}, {"0", 10},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TestFileSizeFromText(c.text), c.megabytes) << '"' << c.text << '"';
}

TEST(MemoryTest, LanguageCodes)
{
    const struct { const char *code; int key; } cases[] = {
        {"GER", 1}, {"ger", 1}, {"FRE", 2}, {"Fre", 2}, {"ENG", 0}, {"", 0}, {"GERMAN", 0}, {"DEU", 0}};
    for (const auto &c : cases)
        EXPECT_EQ(LanguageKeyForCode(c.code), c.key) << c.code;
    EXPECT_STREQ(CodeForLanguageKey(0), "ENG");
    EXPECT_STREQ(CodeForLanguageKey(1), "GER");
    EXPECT_STREQ(CodeForLanguageKey(2), "FRE");
    EXPECT_STREQ(CodeForLanguageKey(7), "ENG");
    EXPECT_EQ(OffsetForLanguageKey(1), 500);
    EXPECT_EQ(OffsetForLanguageKey(2), 600);
    EXPECT_EQ(OffsetForLanguageKey(0), 0);
}

}  // namespace
