// Writing archives: the exact bytes of the writer, the compression rules of
// every source (memory, disk files, entries of the opened archive), CRC kinds,
// file times, and the save-data calling order.
#include <gtest/gtest.h>
#include <sys/time.h>
#include <zlib.h>

#include <cstdlib>
#include <ctime>
#include <random>

#include "ArchiveTestUtil.h"
#include "archive/TKsBigFileStream.h"
#include "archive/TVrFileCollection.h"
#include "core/ZlibCodec.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"

namespace zuno {
namespace {

using test::Bytes;
using test::RawEntry;
using test::TTempFolder;

constexpr int64_t kFiveMiB = 5242880;

Bytes randomBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    Bytes b(n);
    for (uint8_t& x : b)
        x = uint8_t(gen());
    return b;
}

uint32_t crcOf(const Bytes& b) { return uint32_t(crc32(0, b.data(), uInt(b.size()))); }

Bytes level1(const Bytes& plain) {
    uLongf size = compressBound(uLong(plain.size()));
    Bytes out(size);
    compress2(out.data(), &size, plain.data(), uLong(plain.size()), 1);
    out.resize(size);
    return out;
}

Bytes saved(TVrFileCollection& c) {
    TKsBigMemoryStream out;
    c.SaveToStream(out);
    return out.Memory().Data();
}

std::string contentsOf(TVrFileCollection& c, std::string_view name) {
    TKsMemoryStream out;
    c.ReadEntry(name, out);
    return std::string(out.Data().begin(), out.Data().end());
}

TEST(ArchiveWrite, WritesTheExactVersion102Layout) {
    Bytes text = test::bytesOf("hello hello hello hello hello");
    Bytes big(size_t(kFiveMiB), 'b');
    TVrFileCollection c;
    TVrFile* a = c.AddMemoryEntry("text.txt");
    a->Data->WriteBuffer(text.data(), int64_t(text.size()));
    TVrFile* empty = c.AddMemoryEntry("");
    empty->CrcOfPlain = 1;
    TVrFile* b = c.AddMemoryEntry("BG\\big.bin");
    b->Data->WriteBuffer(big.data(), int64_t(big.size()));
    b->FileTime = 1234;

    Bytes packed = level1(text);
    Bytes emptyPacked = level1({});
    Bytes expected = test::buildArchive(102, {{"text.txt", packed, 0, 0, crcOf(packed), 0},
                                              {"", emptyPacked, 0, 0, crcOf({}), 1},
                                              {"BG\\big.bin", big, 1, 1234, crcOf(big), 0}});
    EXPECT_EQ(saved(c), expected);
    EXPECT_EQ(a->Stored, 0);
    EXPECT_EQ(b->Stored, 1);
    EXPECT_EQ(a->Crc, crcOf(packed));
}

TEST(ArchiveWrite, MemoryEntriesOfFiveMiBAreStored) {
    struct Case { int64_t size; uint8_t stored; };
    for (const Case& k : {Case{kFiveMiB, 1}, Case{kFiveMiB - 1, 0}}) {
        TVrFileCollection c;
        TVrFile* e = c.AddMemoryEntry("e.bin");
        Bytes data(size_t(k.size), 'x');
        e->Data->WriteBuffer(data.data(), k.size);
        TVrFileCollection back;
        back.OpenStream(std::make_unique<TKsBigMemoryStream>(saved(c)));
        ASSERT_EQ(back.DirectoryCount(), 1);
        EXPECT_EQ(back.Entry(0)->Stored, k.stored) << k.size;
        EXPECT_EQ(contentsOf(back, "e.bin").size(), size_t(k.size));
    }
}

Bytes drelHead(const char* magic, uint8_t kind, size_t total) {
    Bytes b = test::bytesOf(magic);
    test::put32(b, 40);
    Bytes header(40, 0);
    header[0] = 106;
    header[22] = kind;
    b.insert(b.end(), header.begin(), header.end());
    b.resize(total, 0);
    return b;
}

TEST(ArchiveWrite, DiskFilesFollowTheCompressionRules) {
    TTempFolder dir;
    Bytes zeros(10000, 0);
    struct Case { std::string name; Bytes data; uint8_t stored; };
    std::vector<Case> cases = {
        {"voice.wav", zeros, 1},        {"m.WMA", zeros, 1},           {"x.ogg", zeros, 1},
        {"movie.mpeg", zeros, 1},       {"a.m1v", zeros, 1},           {"b.Wmv", zeros, 1},
        {"c.asf", zeros, 1},            {"d.dat", zeros, 1},           {"e.mpg", zeros, 1},
        {"text.txt", zeros, 0},         {"noext", zeros, 0},           {"sub\\deep.png", zeros, 0},
        {"noise.png", randomBytes(10000, 1), 1},
        {"big.txt", Bytes(size_t(kFiveMiB), 0), 1},
        {"justbelow.txt", Bytes(size_t(kFiveMiB - 1), 0), 0},
        {"raw.drl", drelHead("Drel106", 1, 10000), 0},
        {"rawbig.DRL", drelHead("Drel103", 1, size_t(kFiveMiB + 1000)), 0},
        {"packed.drl", drelHead("Drel106", 0, 10000), 1},
        {"jpeg.drl", drelHead("Drel106", 2, 10000), 1},
        {"old.drl", drelHead("Drel102", 1, 10000), 1},
        {"fake.drl", drelHead("Drex106", 1, 10000), 1},
        {"short.drl", test::bytesOf("Drel1"), 1},
    };
    TVrFileCollection c;
    c.SetFolder(dir.path());
    for (const Case& k : cases) {
        std::string disk = k.name;
        std::replace(disk.begin(), disk.end(), '\\', '/');
        test::writeFile(dir.path(disk), k.data);
        c.AddEntry(k.name);
    }
    TVrFileCollection back;
    back.OpenStream(std::make_unique<TKsBigMemoryStream>(saved(c)));
    ASSERT_EQ(back.DirectoryCount(), int(cases.size()));
    for (size_t i = 0; i < cases.size(); ++i) {
        const TVrFile* e = back.Entry(int(i));
        EXPECT_EQ(e->Name(), cases[i].name);
        EXPECT_EQ(e->Stored, cases[i].stored) << cases[i].name;
        EXPECT_NE(e->FileTime, 0) << cases[i].name;
        EXPECT_EQ(c.Entry(int(i))->Stored, cases[i].stored) << cases[i].name;
        TKsMemoryStream out;
        back.ReadEntry(cases[i].name, out);
        EXPECT_TRUE(out.Data() == cases[i].data) << cases[i].name;
        if (e->Stored) {
            EXPECT_EQ(e->Crc, crcOf(cases[i].data)) << cases[i].name;
        }
    }
}

TEST(ArchiveWrite, NinetyPercentRuleAtItsBoundary) {
    // Random bytes followed by zeros: the padding moves the size while the
    // compressed size barely changes, so both sides of the bound are found.
    const Bytes noise = randomBytes(2000, 7);
    auto fileOf = [&](size_t zeros) {
        Bytes b = noise;
        b.resize(noise.size() + zeros, 0);
        return b;
    };
    int atBound = -1, overBound = -1;
    for (int n = 0; n < 3000 && (atBound < 0 || overBound < 0); ++n) {
        Bytes f = fileOf(size_t(n));
        size_t packed = deflateLevel1(f.data(), f.size()).size();
        size_t bound = f.size() * 9 / 10;
        if (packed == bound && atBound < 0)
            atBound = n;
        if (packed == bound + 1 && overBound < 0)
            overBound = n;
    }
    ASSERT_GE(atBound, 0);
    ASSERT_GE(overBound, 0);

    TTempFolder dir;
    test::writeFile(dir.path("at.bin"), fileOf(size_t(atBound)));
    test::writeFile(dir.path("over.bin"), fileOf(size_t(overBound)));
    TVrFileCollection c;
    c.SetFolder(dir.path());
    c.AddEntry("at.bin");
    c.AddEntry("over.bin");
    TVrFileCollection back;
    back.OpenStream(std::make_unique<TKsBigMemoryStream>(saved(c)));
    EXPECT_EQ(back.Entry(0)->Stored, 0);
    EXPECT_EQ(back.Entry(1)->Stored, 1);
    EXPECT_EQ(contentsOf(back, "at.bin").size(), noise.size() + size_t(atBound));
}

TEST(ArchiveWrite, CrcKindDecidesWhatTheCrcCovers) {
    Bytes plainA = test::bytesOf(std::string(3000, 'a'));
    Bytes plainB = test::bytesOf(std::string(3000, 'b'));
    TVrFileCollection c;
    c.OpenStream(std::make_unique<TKsBigMemoryStream>(test::buildArchive(
        102, {{"plain.txt", level1(plainA), 0, 77, 0, 1}, {"packed.txt", level1(plainB), 0, 88, 0, 0}})));
    TVrFileCollection back;
    back.OpenStream(std::make_unique<TKsBigMemoryStream>(saved(c)));
    ASSERT_EQ(back.DirectoryCount(), 2);
    EXPECT_EQ(back.Entry(0)->Crc, crcOf(plainA));
    EXPECT_EQ(back.Entry(0)->CrcOfPlain, 1);
    EXPECT_EQ(back.Entry(0)->FileTime, 77);          // kept as loaded
    EXPECT_EQ(back.Entry(1)->Crc, crcOf(level1(plainB)));
    EXPECT_EQ(back.Entry(1)->CrcOfPlain, 0);
    EXPECT_EQ(contentsOf(back, "packed.txt"), std::string(3000, 'b'));
}

TEST(ArchiveWrite, FileTimeIsPackedDosDateTime) {
    const char* old = std::getenv("TZ");
    std::string saveTz = old ? old : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(dosDateTimeOf(1577934246), int32_t((20514u << 16) | 6275u));   // 2020-01-02 03:04:06
    EXPECT_EQ(dosDateTimeOf(0), 0);                                             // before 1980
    TTempFolder dir;
    test::writeFile(dir.path("f.txt"), test::bytesOf("x"));
    timeval times[2] = {{1577934246, 0}, {1577934246, 0}};
    ASSERT_EQ(::utimes(dir.path("f.txt").c_str(), times), 0);
    TVrFileCollection c;
    c.SetFolder(dir.path());
    c.AddEntry("F.TXT");
    TVrFileCollection back;
    back.OpenStream(std::make_unique<TKsBigMemoryStream>(saved(c)));
    EXPECT_EQ(back.Entry(0)->FileTime, int32_t((20514u << 16) | 6275u));
    if (old)
        ::setenv("TZ", saveTz.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

TEST(ArchiveWrite, SaveDataReplacesOneEntryAndKeepsTheRest) {
    TTempFolder dir;
    std::string bigPlain(size_t(kFiveMiB + 100), 'k');
    Bytes bigPacked = level1(Bytes(bigPlain.begin(), bigPlain.end()));
    test::writeFile(dir.path("save.dat"), test::buildArchive(101, {{"keep.bin", bigPacked, 0},
                                                                  {"slot1", level1(test::bytesOf("old")), 0},
                                                                  {"empty", {}, 1}}));
    TVrFileCollection c;
    c.Open(dir.path("save.dat"));
    c.DeleteEntry("SLOT1");
    TVrFile* slot = c.AddMemoryEntry("slot1");
    slot->Data->WriteBuffer("new", 3);
    TKsBigMemoryStream out;
    c.SaveToStream(out);
    out.SaveToFile(dir.path("save.dat"));

    // The collection still reads its entries from the archive it opened.
    EXPECT_EQ(contentsOf(c, "keep.bin"), bigPlain);

    TVrFileCollection back;
    back.Open(dir.path("save.dat"));
    ASSERT_EQ(back.DirectoryCount(), 3);
    EXPECT_EQ(back.Entry(0)->Name(), "keep.bin");
    EXPECT_EQ(back.Entry(0)->Stored, 1);                 // 5 MiB or more: stored
    EXPECT_EQ(back.Entry(1)->Name(), "empty");
    EXPECT_EQ(back.Entry(2)->Name(), "slot1");
    EXPECT_EQ(contentsOf(back, "keep.bin"), bigPlain);
    EXPECT_EQ(contentsOf(back, "slot1"), "new");
    EXPECT_EQ(contentsOf(back, "empty"), "");
    EXPECT_EQ(back.IndexOf("\\EOF\\"), 3);
}

TEST(ArchiveWrite, AFailingEntryNamesItself) {
    TVrFileCollection c;
    c.OpenStream(std::make_unique<TKsBigMemoryStream>(
        test::buildArchive(102, {{"fine", level1(test::bytesOf("ok")), 0}, {"broken", test::bytesOf("junk"), 0}})));
    std::string reported;
    c.OnWriteError = [&](const std::string& m) { reported = m; };
    try {
        saved(c);
        ADD_FAILURE();
    } catch (const EZunoError& e) {
        EXPECT_EQ(e.message().rfind(sjis("エラー:broken"), 0), 0u) << e.what();
    }
    EXPECT_EQ(reported, sjis("エラー:broken"));
}

TEST(ArchiveWrite, WritesIntoVolumeFiles) {
    TTempFolder dir;
    TVrFileCollection c;
    TVrFile* e = c.AddMemoryEntry(sjis("日本語\\名前.txt"));
    e->Data->WriteBuffer("volume", 6);
    {
        TKsBigFileStream out(dir.path("arc.dat"), fmCreate);
        c.SaveToStream(out);
    }
    TVrFileCollection back;
    back.Open(dir.path("arc.dat"));
    EXPECT_EQ(contentsOf(back, sjis("日本語\\名前.TXT")), "volume");
}

} // namespace
} // namespace zuno
