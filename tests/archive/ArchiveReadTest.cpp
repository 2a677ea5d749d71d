// Reading archives of every version, built byte by byte, in every placement
// (stream, plain file, .ext index, appended to a program, resource), and the
// checks of damaged directories and entries.
#include <gtest/gtest.h>
#include <zlib.h>

#include "ArchiveTestUtil.h"
#include "archive/TKsBigResourceStream.h"
#include "archive/TVrFileCollection.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"

namespace zuno {
namespace {

using test::Bytes;
using test::RawEntry;
using test::TTempFolder;

Bytes zlibOf(const std::string& text) {
    uLongf size = compressBound(uLong(text.size()));
    Bytes out(size);
    compress2(out.data(), &size, reinterpret_cast<const Bytef*>(text.data()), uLong(text.size()), 1);
    out.resize(size);
    return out;
}

std::string contentsOf(TVrFileCollection& c, std::string_view name) {
    TKsMemoryStream out;
    c.ReadEntry(name, out);
    EXPECT_EQ(out.GetPosition(), 0);
    return std::string(out.Data().begin(), out.Data().end());
}

std::unique_ptr<TKsBigMemoryStream> memoryOf(const Bytes& b) { return std::make_unique<TKsBigMemoryStream>(b); }

// Three entries, the middle one with an empty name, so the name keystream
// must skip nothing for it; the third offset uses a negative keystream value.
std::vector<RawEntry> sampleEntries(int version) {
    const uint8_t stored = version >= 101 ? 1 : 0;
    return {
        {"zuno.zpb", zlibOf("project data"), 0, 0x50A21234, 0xCAFEBABE, 1},
        {"", zlibOf(""), 0, 0, 0, 0},
        {"BG\\" + sjis("表") + ".png", stored ? test::bytesOf("raw image") : zlibOf("raw image"), stored, 7, 9, 0},
    };
}

TEST(ArchiveRead, EveryVersion) {
    test::KeyStream k;
    k.next();
    k.next();
    ASSERT_LT(k.next(), 0) << "the third offset should meet a negative keystream value";

    for (int version : {0, 100, 101, 102}) {
        SCOPED_TRACE(version);
        std::vector<RawEntry> entries = sampleEntries(version);
        Bytes bytes = test::buildArchive(version, entries);
        TVrFileCollection c;
        c.OpenStream(memoryOf(bytes), "sample");
        EXPECT_EQ(c.Version(), version);
        ASSERT_EQ(c.Count(), 4);
        EXPECT_EQ(c.DirectoryCount(), 3);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(c.Entry(i)->Name(), entries[size_t(i)].name);

        TVrFile* end = c.Entry(3);
        EXPECT_EQ(end->Name(), "\\EOF\\");
        EXPECT_EQ(end->Size, 0);
        EXPECT_EQ(end->Offset, int64_t(bytes.size()));
        EXPECT_EQ(c.FindEntry("\\eof\\"), end);

        const TVrFile* first = c.Entry(0);
        EXPECT_EQ(first->Size, int64_t(entries[0].stored.size()));
        EXPECT_EQ(first->FileTime, version >= 101 ? 0x50A21234 : 0);
        EXPECT_EQ(first->Crc, version >= 101 ? 0xCAFEBABEu : 0u);
        EXPECT_EQ(first->CrcOfPlain, version >= 102 ? 1 : 0);
        EXPECT_EQ(c.Entry(2)->Stored, version >= 101 ? 1 : 0);

        EXPECT_EQ(contentsOf(c, "ZUNO.ZPB"), "project data");
        EXPECT_EQ(contentsOf(c, "bg\\" + sjis("表") + ".PNG"), "raw image");
        EXPECT_EQ(contentsOf(c, ""), "");
    }
}

TEST(ArchiveRead, PlacementsOfTheArchive) {
    TTempFolder dir;
    std::vector<RawEntry> entries = sampleEntries(102);
    Bytes archive = test::buildArchive(102, entries);

    // Appended to a program: the last 6 bytes are the directory position and "zv".
    for (const char* name : {"player.exe", "saver.SCR"}) {
        Bytes program;
        program.reserve(1000 + archive.size() + 6);
        program.resize(1000, 'P');
        for (uint8_t b : archive)
            program.push_back(b);
        test::put32(program, 1000);
        program.push_back('z');
        program.push_back('v');
        test::writeFile(dir.path(name), program);
        TVrFileCollection c;
        c.Open(dir.path(name));
        EXPECT_EQ(c.DirectoryCount(), 3) << name;
        EXPECT_EQ(c.Entry(0)->Offset, 1000 + (int64_t(archive.size()) - int64_t(entries[0].stored.size() +
                                                                            entries[1].stored.size() +
                                                                            entries[2].stored.size())));
        EXPECT_EQ(contentsOf(c, "zuno.zpb"), "project data") << name;
        EXPECT_EQ(c.Folder(), dir.path() + "/");
    }

    // A data file with its directory in a sibling index; offsets are absolute.
    Bytes data;
    for (const RawEntry& e : entries)
        data.insert(data.end(), e.stored.begin(), e.stored.end());
    Bytes directoryOnly = test::buildArchive(102, entries, 0, false);
    Bytes index = test::buildArchive(102, entries, -int64_t(directoryOnly.size()), false);
    test::writeFile(dir.path("game.dat"), data);
    test::writeFile(dir.path("GAME.EXT"), index);
    TVrFileCollection indexed;
    indexed.Open(dir.path("game.dat"));
    EXPECT_EQ(indexed.Entry(0)->Offset, 0);
    EXPECT_EQ(contentsOf(indexed, "bg\\" + sjis("表") + ".png"), "raw image");

    // A plain file.
    test::writeFile(dir.path("plain.bin"), archive);
    TVrFileCollection plain;
    plain.Open(dir.path("plain.bin"));
    EXPECT_EQ(contentsOf(plain, "zuno.zpb"), "project data");
    std::unique_ptr<TRangeStream> range = plain.OpenEntryRange(entries[2].name);
    ASSERT_TRUE(range);
    std::string raw(20, '\0');
    raw.resize(size_t(range->Read(raw.data(), 20)));
    EXPECT_EQ(raw, "raw image");
    EXPECT_FALSE(plain.OpenEntryRange("missing"));
    std::unique_ptr<TRangeStream> empty = plain.OpenEntryRange("\\EOF\\");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->GetSize(), 0);
    EXPECT_EQ(empty->Read(raw.data(), 1), 0);

    // An embedded resource.
    registerEmbeddedResource("DUMMY", "BINTYPE", archive);
    TVrFileCollection resource;
    resource.OpenResource(kOwnModule, "DUMMY", "BINTYPE");
    EXPECT_TRUE(resource.IsResource());
    EXPECT_EQ(contentsOf(resource, "zuno.zpb"), "project data");
    std::unique_ptr<TRangeStream> resourceRange = resource.OpenEntryRange(entries[2].name);
    ASSERT_TRUE(resourceRange);
    raw.assign(20, '\0');
    raw.resize(size_t(resourceRange->Read(raw.data(), 20)));
    EXPECT_EQ(raw, "raw image");
    registerEmbeddedResource("EMPTY", "BINTYPE", Bytes{});
    for (const char* name : {"EMPTY", "NOTTHERE"}) {
        try {
            resource.OpenResource(kOwnModule, name, "BINTYPE");
            ADD_FAILURE() << name;
        } catch (const EZunoError& e) {
            EXPECT_EQ(e.message(), sjis("リソースが見つかりません"));
        }
    }
    unregisterEmbeddedResource("DUMMY", "BINTYPE");
    unregisterEmbeddedResource("EMPTY", "BINTYPE");
}

TEST(ArchiveRead, LookupAndFolders) {
    std::vector<RawEntry> entries = {
        {"a.txt", test::bytesOf("first"), 1}, {"bg\\x.png", test::bytesOf("x"), 1},
        {"BG\\y.png", test::bytesOf("y"), 1}, {"bg\\sub\\z.png", test::bytesOf("z"), 1},
        {"A.TXT", test::bytesOf("second"), 1}, {sjis("表") + ".png", test::bytesOf("t"), 1},
    };
    TVrFileCollection c;
    c.OpenStream(memoryOf(test::buildArchive(102, entries)));
    // Of two entries of one name the later one is found.
    EXPECT_EQ(c.IndexOf("a.txt"), 4);
    EXPECT_EQ(contentsOf(c, "a.TXT"), "second");
    EXPECT_EQ(c.IndexOf("nothing"), -1);

    std::vector<std::string> list = {"bg\\X.PNG"};
    c.ListFolder("BG", list);
    EXPECT_EQ(list, (std::vector<std::string>{"bg\\X.PNG", "BG\\y.png"}));
    list.clear();
    c.ListFolder("", list);   // the trail byte 0x5C of 表 is no folder separator
    EXPECT_EQ(list, (std::vector<std::string>{"a.txt", sjis("表") + ".png"}));
    list.clear();
    c.ListFolder("bg\\sub\\", list);
    EXPECT_EQ(list, (std::vector<std::string>{"bg\\sub\\z.png"}));

    c.DeleteEntry("BG\\Y.PNG");
    EXPECT_EQ(c.IndexOf("bg\\y.png"), -1);
    EXPECT_EQ(contentsOf(c, "bg\\sub\\z.png"), "z");
    try {
        contentsOf(c, "bg\\y.png");
        ADD_FAILURE();
    } catch (const EZunoError& e) {
        EXPECT_EQ(e.message(), "bg\\y.png" + sjis(":ファイルがありません"));
    }
}

TEST(ArchiveRead, NameIndexFollowsEveryChange) {
    TVrFileCollection c;
    EXPECT_EQ(c.FindEntry("a"), nullptr);
    TVrFile* first = c.AddEntry("Dup.txt");
    EXPECT_EQ(c.FindEntry("DUP.TXT"), first);
    TVrFile* second = c.AddMemoryEntry("dup.TXT");
    EXPECT_EQ(c.FindEntry("dup.txt"), second);          // the later one
    c.AddEntry("other");
    EXPECT_EQ(c.IndexOf("other"), 2);
    c.DeleteEntry("dup.txt");
    EXPECT_EQ(c.FindEntry("dup.txt"), first);           // the earlier one shows again
    EXPECT_EQ(c.IndexOf("other"), 1);
    first->SetName("renamed");                          // behind the index's back
    EXPECT_EQ(c.FindEntry("dup.txt"), nullptr);
    EXPECT_EQ(c.FindEntry("RENAMED"), first);
    c.OpenStream(std::make_unique<TKsBigMemoryStream>(test::buildArchive(102, {{"x", test::bytesOf("1"), 1}})));
    EXPECT_EQ(c.FindEntry("other"), nullptr);
    EXPECT_EQ(c.IndexOf("X"), 0);
}

TEST(ArchiveRead, FolderCollectionServesLooseFilesButNeverTheArchive) {
    TTempFolder dir;
    test::writeFile(dir.path("Data/Bg/" + std::string("写真.PNG")), test::bytesOf("loose"));
    test::writeFile(dir.path("game.dat"), test::buildArchive(102, {{"in.txt", test::bytesOf("inside"), 1}}));

    TVrFileCollection folder;
    folder.Open(dir.path());                       // not a file: a folder collection
    EXPECT_EQ(folder.Count(), 0);
    EXPECT_EQ(folder.Stream(), nullptr);
    EXPECT_EQ(contentsOf(folder, "data\\bg\\" + sjis("写真") + ".png"), "loose");
    EXPECT_EQ(contentsOf(folder, "GAME.DAT").substr(0, 2), "vf");

    TVrFileCollection archive;
    archive.Open(dir.path("game.dat"));
    EXPECT_EQ(contentsOf(archive, "in.txt"), "inside");
    EXPECT_EQ(contentsOf(archive, "DATA\\BG\\" + sjis("写真") + ".png"), "loose");
    EXPECT_THROW(contentsOf(archive, "game.dat"), EZunoError);
    EXPECT_THROW(contentsOf(archive, "..\\" + dir.path().substr(dir.path().rfind('/') + 1) + "\\game.dat"),
                 EZunoError);

    TVrFileCollection none;
    none.Open("");
    EXPECT_EQ(none.Count(), 0);
    EXPECT_THROW(contentsOf(none, "in.txt"), EZunoError);
}

// Each case damages a valid version-102 archive of two entries.
TEST(ArchiveRead, DamagedDirectoriesFailNamingTheFile) {
    std::vector<RawEntry> entries = {{"one.txt", test::bytesOf("1111"), 1}, {"two.txt", test::bytesOf("22"), 1}};
    const Bytes valid = test::buildArchive(102, entries);
    const size_t countAt = 6, firstNameLengthAt = 10;
    const size_t offsetsAt = 10 + 4 + 7 + 4 + 7;
    auto set32 = [](Bytes b, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + size_t(i)] = uint8_t(v >> (8 * i));
        return b;
    };
    // The offsets are scrambled: XOR a value into the stored form.
    auto flipOffset = [&](Bytes b, int index, int64_t delta) {
        size_t at = offsetsAt + size_t(index) * 8;
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i)
            v |= uint64_t(b[at + size_t(i)]) << (8 * i);
        test::KeyStream k;
        int64_t key = 0;
        for (int i = 0; i <= index; ++i)
            key = k.next();
        int64_t plain = int64_t(v) ^ key;
        plain += delta;
        v = uint64_t(plain ^ key);
        for (int i = 0; i < 8; ++i)
            b[at + size_t(i)] = uint8_t(v >> (8 * i));
        return b;
    };
    struct Case { const char* what; Bytes bytes; };
    std::vector<Case> cases = {
        {"empty file", Bytes{}},
        {"one byte", Bytes{'v'}},
        {"count beyond the data", set32(valid, countAt, 1000000)},
        {"count 2^31-1", set32(valid, countAt, 0x7FFFFFFF)},
        {"negative count", set32(valid, countAt, 0xFFFFFFFF)},
        {"name length beyond the data", set32(valid, firstNameLengthAt, 100000)},
        {"negative name length", set32(valid, firstNameLengthAt, 0x80000000)},
        {"end offset beyond the data", flipOffset(valid, 2, 1)},
        {"offsets going backwards", flipOffset(valid, 1, -5)},
        {"offset before the start", flipOffset(valid, 0, -int64_t(valid.size()) - 100)},
        {"tables cut off", Bytes(valid.begin(), valid.begin() + long(offsetsAt + 5))},
        {"version 0 count beyond the data", set32(Bytes(valid.begin() + 6, valid.end()), 0, 50000)},
    };
    TTempFolder dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = dir.path("broken.dat");
        test::writeFile(path, c.bytes);
        TVrFileCollection archive;
        try {
            archive.Open(path);
            ADD_FAILURE() << "opened";
        } catch (const EZunoError& e) {
            EXPECT_NE(std::string(e.what()).find("broken.dat"), std::string::npos) << e.what();
        }
        EXPECT_EQ(archive.Count(), 0);
        EXPECT_EQ(archive.Stream(), nullptr);
    }

    // The unchanged archive still reads.
    test::writeFile(dir.path("good.dat"), valid);
    TVrFileCollection good;
    good.Open(dir.path("good.dat"));
    EXPECT_EQ(contentsOf(good, "two.txt"), "22");

    // Programs whose trailer points outside the file.
    for (int64_t position : {-1LL, 5000LL}) {
        Bytes program = valid;
        test::put32(program, uint32_t(position));
        program.push_back('z');
        program.push_back('v');
        test::writeFile(dir.path("bad.exe"), program);
        TVrFileCollection exe;
        EXPECT_THROW(exe.Open(dir.path("bad.exe")), EZunoError) << position;
    }
    test::writeFile(dir.path("tiny.exe"), test::bytesOf("zv"));
    TVrFileCollection tiny;
    EXPECT_THROW(tiny.Open(dir.path("tiny.exe")), EZunoError);
}

TEST(ArchiveRead, DamagedEntriesFailCleanly) {
    Bytes good = zlibOf(std::string(100000, 'a'));
    Bytes truncated(good.begin(), good.begin() + long(good.size() / 2));
    Bytes garbage = test::bytesOf("this is not a zlib stream");
    Bytes badChecksum = good;
    badChecksum.back() ^= 0xFF;
    std::vector<RawEntry> entries = {{"good", good, 0},
                                     {"truncated", truncated, 0},
                                     {"garbage", garbage, 0},
                                     {"checksum", badChecksum, 0}};
    TVrFileCollection c;
    c.OpenStream(memoryOf(test::buildArchive(102, entries)));
    EXPECT_EQ(contentsOf(c, "good"), std::string(100000, 'a'));
    for (const char* name : {"truncated", "garbage", "checksum"}) {
        try {
            contentsOf(c, name);
            ADD_FAILURE() << name;
        } catch (const EZunoError& e) {
            EXPECT_EQ(e.message().rfind(name, 0), 0u) << e.what();
        }
    }

    // A highly compressed entry inflates whole: 64 MiB from about 64 KiB.
    std::string zeros(64 << 20, '\0');
    TVrFileCollection big;
    big.OpenStream(memoryOf(test::buildArchive(102, {{"zeros", zlibOf(zeros), 0}})));
    EXPECT_EQ(contentsOf(big, "zeros").size(), zeros.size());

    // Into an ordinary stream, through a temporary buffer.
    TKsBigMemoryStream target;
    TBigStreamView view(target);
    c.ReadEntry("good", view);
    EXPECT_EQ(target.GetSize(), 100000);
    EXPECT_EQ(target.GetPosition(), 0);
}

} // namespace
} // namespace zuno
