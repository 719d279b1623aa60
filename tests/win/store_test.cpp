// The registry store against Wine's real registry.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "../../store/store.h"
#include "registry_helpers.h"

namespace {

const char kStravo[] = "Software\\vexo Computer Products\\vexoVIDEO STRAVO";
const char kServal[] = "Software\\vexo Computer Products\\Serval";
const char kPuma95[] = "Software\\vexo Computer Products\\vexoVIDEO Puma";
const char kVidCap[] = "Software\\Microsoft\\Multimedia Tools\\VidCap";

class Store : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramRegistry(); }
    void TearDown() override { ResetProgramRegistry(); }
};

TEST_F(Store, WritesEachFormWithItsTypeAndPlace)
{
    uint32_t rate = 4800;
    ASSERT_EQ(StoreWrite(102, 11, "C:", &rate, DATA_NUMBER), 0);
    ASSERT_EQ(StoreWriteNamed(103, 4, "GER", DATA_TEXT), 0);
    ASSERT_EQ(StoreWriteSubkey(112, 0, "2382", DATA_TEXT), 0);
    int32_t negative = -5;
    ASSERT_EQ(StoreWriteSubkey(112, 9, &negative, DATA_NUMBER), 0);
    ASSERT_EQ(StoreWriteNamed(99, 13, &rate, DATA_NUMBER), 0);

    struct Row {
        HKEY root;
        std::string path;
        const char *name;
        DWORD type;
        std::string text;
        DWORD number;
    } rows[] = {
        {HKEY_LOCAL_MACHINE, std::string(kStravo) + "\\WriteSpeed", "C:", REG_DWORD, "", 4800},
        {HKEY_CURRENT_USER, kServal, "Language", REG_SZ, std::string("GER", 4), 0},
        {HKEY_CURRENT_USER, "Software\\vexo\\Puma\\CapRate", nullptr, REG_SZ, std::string("2382", 5), 0},
        {HKEY_CURRENT_USER, "Software\\vexo\\Puma\\PumaToMemory", nullptr, REG_SZ, std::string("-5", 3), 0},
        {HKEY_CURRENT_USER, "Software\\vexo Computer Products\\vexoVIDEO Caracal", "AssumedDataRate",
         REG_DWORD, "", 4800},
    };
    for (const Row &row : rows) {
        RegValue value = GetRegValue(row.root, row.path.c_str(), row.name);
        ASSERT_TRUE(value.found) << row.path;
        EXPECT_EQ(value.type, row.type) << row.path;
        if (row.type == REG_SZ)
            EXPECT_EQ(value.text(), row.text) << row.path;
        else
            EXPECT_EQ(value.dword(), row.number) << row.path;
    }
}

TEST_F(Store, ReadsBackWhatItWrote)
{
    uint32_t in = 9600, out = 0, size = 0;
    ASSERT_EQ(StoreWrite(102, 12, "D:", &in, DATA_NUMBER), 0);
    ASSERT_EQ(StoreRead(102, 12, "D:", &out, DATA_NUMBER, &size), 0);
    EXPECT_EQ(out, 9600u);

    ASSERT_EQ(StoreWriteSubkey(112, 10, &in, DATA_NUMBER), 0);
    out = 0;
    size = 0;
    ASSERT_EQ(StoreReadSubkey(112, 10, &out, DATA_NUMBER, &size), 0);
    EXPECT_EQ(out, 9600u);
    EXPECT_EQ(size, 4u);

    char text[256];
    size = sizeof text;
    ASSERT_EQ(StoreWriteSubkey(102, 7, "vexoVIDEO Ocelot", DATA_TEXT), 0);
    ASSERT_EQ(StoreReadSubkey(102, 7, text, DATA_TEXT, &size), 0);
    EXPECT_STREQ(text, "vexoVIDEO Ocelot");
    EXPECT_EQ(size, 17u);
}

TEST_F(Store, Key98IsReadFromTheMachineAndWrittenForTheUser)
{
    uint32_t written = 1234, read = 77, size = 0;
    ASSERT_EQ(StoreWriteNamed(98, 13, &written, DATA_NUMBER), 0);
    EXPECT_TRUE(GetRegValue(HKEY_CURRENT_USER, kPuma95, "AssumedDataRate").found);
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kPuma95));
    EXPECT_EQ(StoreReadNamed(98, 13, &read, DATA_NUMBER, &size), 1);
    EXPECT_EQ(read, 77u);

    SetRegDword(HKEY_LOCAL_MACHINE, kPuma95, "WriteToMem", 5000);
    ASSERT_EQ(StoreReadNamed(98, 14, &read, DATA_NUMBER, &size), 0);
    EXPECT_EQ(read, 5000u);
}

TEST_F(Store, AFailedReadCreatesNothingAndWritesNoOutput)
{
    struct Row {
        uint16_t key, number;
        const char *name;
        int kind;
    } rows[] = {
        {103, 6, nullptr, DATA_TEXT},   {103, 255, "Language", DATA_TEXT},
        {102, 11, "C:", DATA_NUMBER},   {112, 9, nullptr, DATA_NUMBER},
        {99, 255, "AssumedDataRate", DATA_NUMBER},
    };
    for (const Row &row : rows) {
        char output[32];
        memset(output, 'q', sizeof output);
        uint32_t size = sizeof output;
        EXPECT_EQ(StoreRead(row.key, row.number, row.name, output, row.kind, &size), 1) << row.key;
        EXPECT_EQ(size, sizeof output);
        for (char c : output)
            ASSERT_EQ(c, 'q');
    }
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Software\\vexo Computer Products"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\vexo Computer Products"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Software\\vexo"));
}

TEST_F(Store, TextsOfOneToOneHundredCharactersAreWritten)
{
    std::string hundred(100, 'x'), longer(101, 'y');
    EXPECT_EQ(StoreWriteNamed(103, 5, hundred.c_str(), DATA_TEXT), 0);
    EXPECT_EQ(GetRegValue(HKEY_CURRENT_USER, kServal, "Logo").text(), hundred + '\0');
    EXPECT_EQ(StoreWriteNamed(103, 4, longer.c_str(), DATA_TEXT), 1);
    EXPECT_EQ(StoreWriteNamed(103, 6, "", DATA_TEXT), 1);
    EXPECT_EQ(StoreWriteSubkey(110, 2, "", DATA_TEXT), 1);
    EXPECT_FALSE(GetRegValue(HKEY_CURRENT_USER, kServal, "Language").found);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Software\\vexo"));
}

TEST_F(Store, RefusedNumbersAndKindsNeverReachTheRegistry)
{
    uint32_t value = 1, size = 4;
    char text[16];
    // Value number 255 in the short forms.
    EXPECT_EQ(StoreWriteSubkey(103, 255, "ENG", DATA_TEXT), 1);
    EXPECT_EQ(StoreWriteNamed(103, 255, "ENG", DATA_TEXT), 1);
    EXPECT_EQ(StoreReadSubkey(103, 255, text, DATA_TEXT, &size), 1);
    EXPECT_EQ(StoreReadNamed(103, 255, text, DATA_TEXT, &size), 1);
    // The capture tool's key and the holes and ends of the key table.
    for (uint16_t key : {97, 101, 105, 106, 107, 108, 109, 116}) {
        EXPECT_EQ(StoreWriteNamed(key, 4, "ENG", DATA_TEXT), 1) << key;
        EXPECT_EQ(StoreWriteNamed(key, 13, &value, DATA_NUMBER), 1) << key;
        EXPECT_EQ(StoreReadNamed(key, 13, &value, DATA_NUMBER, &size), 1) << key;
    }
    // Data kinds other than number and text.
    EXPECT_EQ(StoreWriteNamed(103, 4, "ENG", 2), 1);
    EXPECT_EQ(StoreReadNamed(103, 4, text, 2, &size), 1);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kVidCap));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Software\\vexo Computer Products"));
}

TEST_F(Store, SubkeyNumbersFollowTheDecimalRule)
{
    struct Row {
        const char *stored;
        bool ok;
        uint32_t value;
    } rows[] = {{"0123", true, 123}, {"", true, 0}, {"20000", true, 20000},
                {"7A", true, 70 + 'A' - 48}};
    for (const Row &row : rows) {
        SetRegText(HKEY_CURRENT_USER, "Software\\vexo\\Puma\\PumaToMemory", nullptr, row.stored);
        uint32_t value = 99, size = 0;
        EXPECT_EQ(StoreReadSubkey(112, 9, &value, DATA_NUMBER, &size), row.ok ? 0 : 1) << row.stored;
        EXPECT_EQ(value, row.value) << row.stored;
        EXPECT_EQ(size, 4u);
    }
    // A text that does not fit the 100-byte buffer fails and leaves the output.
    std::string longText(100, '1');
    SetRegText(HKEY_CURRENT_USER, "Software\\vexo\\Puma\\PumaToMemory", nullptr, longText.c_str());
    uint32_t value = 99, size = 0;
    EXPECT_EQ(StoreReadSubkey(112, 9, &value, DATA_NUMBER, &size), 1);
    EXPECT_EQ(value, 99u);
    // 99 digits and the terminator just fit.
    longText.resize(99, '0');
    SetRegText(HKEY_CURRENT_USER, "Software\\vexo\\Puma\\PumaToMemory", nullptr, longText.c_str());
    EXPECT_EQ(StoreReadSubkey(112, 9, &value, DATA_NUMBER, &size), 0);
}

TEST_F(Store, ValueNumbersNeedExactlyFourBytesOfAnyType)
{
    struct Row {
        DWORD type;
        const char *bytes;
        DWORD size;
        bool ok;
        uint32_t value;
    } rows[] = {
        {REG_DWORD, "\x10\x27\x00\x00", 4, true, 10000},
        {REG_BINARY, "\x01\x02\x03\x04", 4, true, 0x04030201},
        {REG_SZ, "abc", 4, true, 0x00636261},
        {REG_BINARY, "\x01\x02", 2, false, 0},
        {REG_BINARY, "\x01\x02\x03\x04\x05\x06\x07\x08", 8, false, 0},
        {REG_BINARY, "", 0, false, 0},
    };
    for (const Row &row : rows) {
        SetRegValue(HKEY_CURRENT_USER, "Software\\vexo Computer Products\\vexoVIDEO Caracal",
                    "AssumedDataRate", row.type, row.bytes, row.size);
        uint32_t value = 0xDEADBEEF, size = 0;
        EXPECT_EQ(StoreReadNamed(99, 13, &value, DATA_NUMBER, &size), row.ok ? 0 : 1) << row.size;
        EXPECT_EQ(value, row.ok ? row.value : 0xDEADBEEF) << row.size;
    }
}

TEST_F(Store, TextReadsAlwaysEndInsideTheBuffer)
{
    struct Row {
        DWORD type;
        const char *bytes;
        DWORD size;
        uint32_t bufferSize;
        bool ok;
        const char *text;
    } rows[] = {
        {REG_SZ, "FRE", 4, 10, true, "FRE"},
        {REG_BINARY, "FRE", 3, 10, true, "FRE"},   // no terminator stored
        {REG_DWORD, "AB\0\0", 4, 10, true, "AB"},  // a number under a text name
        {REG_BINARY, "ABCDEFGHIJ", 10, 10, false, nullptr},  // no room left for the terminator
        {REG_SZ, "ABCDEFGHIJKL", 13, 10, false, nullptr},    // too large: untouched output
        {REG_BINARY, "", 0, 10, true, ""},
    };
    for (const Row &row : rows) {
        SetRegValue(HKEY_CURRENT_USER, kServal, "Language", row.type, row.bytes, row.size);
        char output[16];
        memset(output, 'q', sizeof output);
        uint32_t size = row.bufferSize;
        EXPECT_EQ(StoreReadNamed(103, 6, output, DATA_TEXT, &size), row.ok ? 0 : 1) << row.bytes;
        if (row.ok) {
            EXPECT_STREQ(output, row.text);
            EXPECT_LE(size, row.bufferSize);
        } else {
            EXPECT_EQ(size, row.bufferSize);
            for (char c : output)
                ASSERT_EQ(c, 'q') << row.bytes;
        }
    }
}

class VidCap : public Store {};

TEST_F(VidCap, ReadsFallBackToTheDefault)
{
    EXPECT_EQ(VidCapReadFlag(101, "CaptureAudio", 1), 1);
    EXPECT_EQ(VidCapReadDword(101, "MicroSecPerFrame", 7), 7u);
    SetRegText(HKEY_CURRENT_USER, kVidCap, "CaptureAudio", "0");
    SetRegValue(HKEY_CURRENT_USER, kVidCap, "MicroSecPerFrame", REG_BINARY, "\x40\x9c\0\0", 4);
    EXPECT_EQ(VidCapReadFlag(101, "CaptureAudio", 1), 1);
    EXPECT_EQ(VidCapReadDword(101, "MicroSecPerFrame", 7), 7u);
    SetRegDword(HKEY_CURRENT_USER, kVidCap, "CaptureAudio", 5);
    SetRegDword(HKEY_CURRENT_USER, kVidCap, "MicroSecPerFrame", 40000);
    EXPECT_EQ(VidCapReadFlag(101, "CaptureAudio", 0), 1);
    EXPECT_EQ(VidCapReadDword(101, "MicroSecPerFrame", 7), 40000u);
    // Other key numbers read 0 whatever is stored.
    EXPECT_EQ(VidCapReadFlag(102, "CaptureAudio", 1), 0);
    EXPECT_EQ(VidCapReadDword(100, "MicroSecPerFrame", 7), 0u);
}

TEST_F(VidCap, WritesOnlyWhatChanged)
{
    // New value also passed as default: nothing is written while the value is absent.
    EXPECT_EQ(VidCapWriteDword(101, "MicroSecPerFrame", 40000, 40000), 0);
    EXPECT_FALSE(GetRegValue(HKEY_CURRENT_USER, kVidCap, "MicroSecPerFrame").found);
    SetRegDword(HKEY_CURRENT_USER, kVidCap, "MicroSecPerFrame", 66666);
    EXPECT_EQ(VidCapWriteDword(101, "MicroSecPerFrame", 40000, 40000), 0);
    EXPECT_EQ(GetRegValue(HKEY_CURRENT_USER, kVidCap, "MicroSecPerFrame").dword(), 40000u);

    EXPECT_EQ(VidCapWriteFlag(101, "CaptureAudio", 1, 1), 0);
    EXPECT_FALSE(GetRegValue(HKEY_CURRENT_USER, kVidCap, "CaptureAudio").found);
    EXPECT_EQ(VidCapWriteFlag(101, "CaptureAudio", 0, 1), 0);
    RegValue flag = GetRegValue(HKEY_CURRENT_USER, kVidCap, "CaptureAudio");
    ASSERT_TRUE(flag.found);
    EXPECT_EQ(flag.type, (DWORD)REG_DWORD);
    EXPECT_EQ(flag.dword(), 0u);

    // Other key numbers: flag and number writes give 1, the binary write 0, and
    // the registry is not touched.
    ResetProgramRegistry();
    EXPECT_EQ(VidCapWriteFlag(100, "CaptureAudio", 0, 1), 1);
    EXPECT_EQ(VidCapWriteDword(99, "MicroSecPerFrame", 1, 2), 1);
    EXPECT_EQ(VidCapWriteBinary(102, "WaveFormatBinary", "abc", 3), 0);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kVidCap));
}

TEST_F(VidCap, BinaryReadsDeliverTheStoredBytesOrTheDefaultBlock)
{
    const unsigned char defaults[6] = {1, 2, 3, 4, 5, 6};
    struct Row {
        bool store;
        DWORD type;
        const char *bytes;
        DWORD size;
        uint32_t result;
        const char *output;
    } rows[] = {
        {false, 0, "", 0, 6, "\1\2\3\4\5\6"},                     // missing
        {true, REG_BINARY, "abcdef", 6, 6, "abcdef"},             // exact
        {true, REG_BINARY, "ab", 2, 2, "abqqqq"},                 // shorter: only its length
        {true, REG_BINARY, "abcdefgh", 8, 6, "\1\2\3\4\5\6"},     // longer: default
        {true, REG_DWORD, "abcd", 4, 6, "\1\2\3\4\5\6"},          // other type: default
        {true, REG_BINARY, "", 0, 0, "qqqqqq"},                   // zero length
    };
    for (const Row &row : rows) {
        ResetProgramRegistry();
        if (row.store)
            SetRegValue(HKEY_CURRENT_USER, kVidCap, "WaveFormatBinary", row.type, row.bytes, row.size);
        unsigned char output[6];
        memset(output, 'q', sizeof output);
        EXPECT_EQ(VidCapReadBinary(101, "WaveFormatBinary", defaults, output, 6), row.result)
            << row.bytes;
        EXPECT_EQ(memcmp(output, row.output, 6), 0) << row.bytes;
    }
    unsigned char output[6] = {9, 9, 9, 9, 9, 9};
    EXPECT_EQ(VidCapReadBinary(100, "WaveFormatBinary", defaults, output, 6), 0u);
    EXPECT_EQ(output[0], 9);
}

TEST_F(VidCap, BinaryWritesStoreTheBlock)
{
    EXPECT_EQ(VidCapWriteBinary(101, "WaveFormatBinary", "\0\1\2", 3), 0);
    RegValue value = GetRegValue(HKEY_CURRENT_USER, kVidCap, "WaveFormatBinary");
    ASSERT_TRUE(value.found);
    EXPECT_EQ(value.type, (DWORD)REG_BINARY);
    EXPECT_EQ(value.text(), std::string("\0\1\2", 3));
}

} // namespace
