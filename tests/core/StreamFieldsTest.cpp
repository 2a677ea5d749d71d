#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "support/TTempFolder.h"

using namespace zuno;

TEST(StreamFields, WritesLittleEndianAndReadsBack) {
    TKsMemoryStream s;
    WriteInt(s, -2);
    WriteInt64(s, 0x0102030405060708LL);
    WriteByte(s, 0xAB);
    WriteBool(s, true);
    WriteString(s, "\x93\xFA");
    WriteString(s, "");
    WriteStrings(s, {"a", "", "bc"});
    WriteDouble(s, -1.5);
    WriteExtended(s, TExtended::fromDouble(3.25));

    const uint8_t expectedHead[] = {0xFE, 0xFF, 0xFF, 0xFF, 8, 7, 6, 5, 4, 3, 2, 1, 0xAB, 1, 2, 0, 0, 0, 0x93, 0xFA};
    ASSERT_GE(s.GetSize(), int64_t(sizeof expectedHead));
    EXPECT_EQ(0, std::memcmp(s.Memory(), expectedHead, sizeof expectedHead));

    s.SetPosition(0);
    EXPECT_EQ(ReadInt(s), -2);
    EXPECT_EQ(ReadInt64(s), 0x0102030405060708LL);
    EXPECT_EQ(ReadByte(s), 0xAB);
    EXPECT_TRUE(ReadBool(s));
    EXPECT_EQ(ReadString(s), "\x93\xFA");
    EXPECT_EQ(ReadString(s), "");
    EXPECT_EQ(ReadStrings(s), (std::vector<std::string>{"a", "", "bc"}));
    EXPECT_EQ(ReadDouble(s), -1.5);
    EXPECT_EQ(ReadExtended(s).toDouble(), 3.25);
    EXPECT_EQ(s.Remaining(), 0);
}

TEST(StreamFields, NonPositiveCountIsTheEmptyTextAndReadsNothingMore) {
    for (int32_t count : {0, -1, INT32_MIN}) {
        TKsMemoryStream s;
        WriteInt(s, count);
        WriteByte(s, 'x');
        s.SetPosition(0);
        EXPECT_EQ(ReadString(s), "");
        EXPECT_EQ(s.GetPosition(), 4);
    }
}

TEST(StreamFields, CountsBeyondTheDataFailWithoutAllocating) {
    struct Case { const char* name; std::vector<uint8_t> bytes; bool list; };
    const Case cases[] = {
        {"text longer than data", {0x05, 0, 0, 0, 'a', 'b'}, false},
        {"huge text", {0xFF, 0xFF, 0xFF, 0x7F}, false},
        {"huge list", {0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0}, true},
        {"list item truncated", {0x02, 0, 0, 0, 0x01, 0, 0, 0, 'a', 0x03, 0, 0}, true},
        {"truncated count", {0x01, 0x00}, false},
    };
    for (const Case& c : cases) {
        TKsMemoryStream s(c.bytes);
        if (c.list)
            EXPECT_THROW(ReadStrings(s), EZunoError) << c.name;
        else
            EXPECT_THROW(ReadString(s), EZunoError) << c.name;
    }
}

TEST(TKsMemoryStream, SeekPastTheEndThenWriteFillsTheGap) {
    TKsMemoryStream s;
    s.Seek(3, soBeginning);
    uint8_t b = 7;
    s.WriteBuffer(&b, 1);
    EXPECT_EQ(s.GetSize(), 4);
    EXPECT_EQ(s.Memory()[0], 0);
    EXPECT_EQ(s.Memory()[3], 7);
    EXPECT_EQ(s.Seek(-10, soCurrent), 0);
    uint8_t buf[8];
    s.SetPosition(4);
    EXPECT_EQ(s.Read(buf, 8), 0);
    EXPECT_THROW(s.ReadBuffer(buf, 1), EZunoError);
}

TEST(TKsMemoryStream, LoadFromFileReadsTheFileWhole) {
    test::TTempFolder dir;
    const std::string path = dir.path("memstream.bin");
    std::ofstream(path, std::ios::binary) << "\x01\x02\x03";
    TKsMemoryStream b(std::vector<uint8_t>{9, 9, 9, 9});
    b.SetPosition(2);
    b.LoadFromFile(path);
    EXPECT_EQ(b.Data(), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(b.GetPosition(), 0);
    EXPECT_THROW(b.LoadFromFile(path + ".missing"), EZunoError);
}
