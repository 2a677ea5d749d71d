// zunotool ls, cat, pack and unpack, run as the built program.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>

#include "ArchiveTestUtil.h"
#include "archive/TKsBigFileStream.h"
#include "core/Cp932.h"
#include "support/ProgramRunner.h"

namespace zuno {
namespace {

using test::Bytes;
using test::RawEntry;
using test::TProgramResult;
using test::TTempFolder;

TProgramResult zunotool(const std::vector<std::string>& args) {
    return test::runProgram(test::builtProgram("zunotool"), args);
}

uint32_t crcOf(const Bytes& b) { return uint32_t(crc32(0, b.data(), uInt(b.size()))); }

std::string hex8(uint32_t v) {
    char s[9];
    std::snprintf(s, sizeof s, "%08x", v);
    return s;
}

TEST(ZunotoolArchive, PackListCatUnpackRoundTrip) {
    TTempFolder dir;
    std::string src = dir.path("src");
    Bytes zeros(20000, 0), small = test::bytesOf("tiny");
    test::writeFile(src + "/あ.txt", zeros);
    test::writeFile(src + "/①.txt", small);                 // after あ in code page 932, before it in UTF-8
    test::writeFile(src + "/B.txt", small);
    test::writeFile(src + "/a\tb.txt", small);
    test::writeFile(src + "/sub/Voice.WAV", zeros);
    test::writeFile(src + "/sub/deeper/x.bin", zeros);

    TProgramResult pack = zunotool({"pack", src, dir.path("out.dat")});
    ASSERT_EQ(pack.status, 0) << pack.err;
    EXPECT_EQ(pack.out, "");
    TProgramResult ls = zunotool({"ls", dir.path("out.dat")});
    ASSERT_EQ(ls.status, 0) << ls.err;

    uLongf packedSize = compressBound(uLong(zeros.size()));
    Bytes packed(packedSize);
    compress2(packed.data(), &packedSize, zeros.data(), uLong(zeros.size()), 1);
    packed.resize(packedSize);
    auto line = [](const std::string& name, size_t size, int stored, uint32_t crc) {
        return name + "\t" + std::to_string(size) + "\t" + std::to_string(stored) + "\t" + hex8(crc) + "\t0\n";
    };
    std::string expected = line("B.txt", 4, 1, crcOf(small)) + line("a\\tb.txt", 4, 1, crcOf(small)) +
                           line("sub\\Voice.WAV", 20000, 1, crcOf(zeros)) +
                           line("sub\\deeper\\x.bin", packed.size(), 0, crcOf(packed)) +
                           line("あ.txt", packed.size(), 0, crcOf(packed)) + line("①.txt", 4, 1, crcOf(small));
    EXPECT_EQ(ls.out, expected);

    TProgramResult cat = zunotool({"cat", dir.path("out.dat"), "SUB\\DEEPER\\X.BIN"});
    EXPECT_EQ(cat.status, 0);
    EXPECT_EQ(cat.out, std::string(20000, '\0'));
    cat = zunotool({"cat", dir.path("out.dat"), "①.TXT"});
    EXPECT_EQ(cat.out, "tiny");
    TProgramResult missing = zunotool({"cat", dir.path("out.dat"), "無い.txt"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "zunotool: 無い.txt:ファイルがありません\n");
    EXPECT_EQ(missing.out, "");

    TProgramResult unpack = zunotool({"unpack", dir.path("out.dat"), dir.path("un")});
    ASSERT_EQ(unpack.status, 0) << unpack.err;
    for (const char* f : {"あ.txt", "①.txt", "B.txt", "a\tb.txt", "sub/Voice.WAV", "sub/deeper/x.bin"})
        EXPECT_EQ(test::readFile(dir.path("un/") + f), test::readFile(src + "/" + f)) << f;

    // Packing into the folder itself leaves the archive out of it.
    ASSERT_EQ(zunotool({"pack", src, src + "/self.dat"}).status, 0);
    ASSERT_EQ(zunotool({"pack", src, src + "/self.dat"}).status, 0);
    EXPECT_EQ(zunotool({"ls", src + "/self.dat"}).out, expected);
    EXPECT_EQ(std::filesystem::directory_iterator(src) != std::filesystem::directory_iterator(), true);
    for (const auto& e : std::filesystem::directory_iterator(src))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();

    // A failed pack writes nothing.
    TProgramResult failed = zunotool({"pack", dir.path("no-such-folder"), dir.path("never.dat")});
    EXPECT_EQ(failed.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.path("never.dat")));
    EXPECT_EQ(zunotool({"pack", src}).status, 2);
}

TEST(ZunotoolArchive, ListsEveryPlacement) {
    TTempFolder dir;
    Bytes one = test::bytesOf("first entry"), two = test::bytesOf("second");
    std::vector<RawEntry> entries = {{"one.txt", one, 1, 0, crcOf(one), 1}, {"two.txt", two, 1, 0, 0xABC, 0}};
    const std::string expected = "one.txt\t11\t1\t" + hex8(crcOf(one)) + "\t1\ntwo.txt\t6\t1\t00000abc\t0\n";
    Bytes archive = test::buildArchive(102, entries);

    Bytes program(300 + archive.size(), 'P');
    std::copy(archive.begin(), archive.end(), program.begin() + 300);
    test::put32(program, 300);
    program.push_back('z');
    program.push_back('v');
    test::writeFile(dir.path("game.exe"), program);
    test::writeFile(dir.path("game.scr"), program);
    test::writeFile(dir.path("player"), program);          // a program here has no extension

    Bytes data = one;
    data.insert(data.end(), two.begin(), two.end());
    Bytes directoryOnly = test::buildArchive(102, entries, 0, false);
    test::writeFile(dir.path("idx/game.dat"), data);
    test::writeFile(dir.path("idx/game.ext"), test::buildArchive(102, entries, -int64_t(directoryOnly.size()), false));

    // The first volume of a split archive: the first entry runs over the
    // volume end (sparse file, nothing near a GiB is written).
    const int64_t GiB = TKsBigFileStream::kVolumeSize;
    Bytes splitDirectory = test::buildArchive(102, entries, GiB - 4 - int64_t(directoryOnly.size()), false);
    std::string vol0 = dir.path("split/game.dat");
    test::writeFile(vol0, splitDirectory);
    int fd = ::open(vol0.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, GiB), 0);
    ASSERT_EQ(::pwrite(fd, one.data(), 4, GiB - 4), 4);
    ::close(fd);
    Bytes rest(one.begin() + 4, one.end());
    rest.insert(rest.end(), two.begin(), two.end());
    test::writeFile(dir.path("split/game.001"), rest);

    for (const std::string& path :
         {dir.path("game.exe"), dir.path("game.scr"), dir.path("player"), dir.path("idx/game.dat"), vol0}) {
        TProgramResult ls = zunotool({"ls", path});
        EXPECT_EQ(ls.status, 0) << path << ls.err;
        EXPECT_EQ(ls.out, expected) << path;
        TProgramResult cat = zunotool({"cat", path, "ONE.TXT"});
        EXPECT_EQ(cat.out, "first entry") << path;
    }
}

TEST(ZunotoolArchive, DamagedArchivesFailWithOneLine) {
    TTempFolder dir;
    Bytes valid = test::buildArchive(102, {{"a.txt", test::bytesOf("aaaa"), 1}, {"b.txt", test::bytesOf("junk"), 0}});
    Bytes badCount = valid;
    badCount[6] = 0xFF;
    badCount[7] = 0xFF;
    badCount[8] = 0xFF;
    badCount[9] = 0x0F;
    test::writeFile(dir.path("count.dat"), badCount);
    test::writeFile(dir.path("cut.dat"), Bytes(valid.begin(), valid.begin() + 20));
    test::writeFile(dir.path("entry.dat"), valid);
    for (const char* name : {"count.dat", "cut.dat"}) {
        for (const char* command : {"ls", "unpack"}) {
            std::vector<std::string> args = {command, dir.path(name)};
            if (std::string(command) == "unpack")
                args.push_back(dir.path("out"));
            TProgramResult r = zunotool(args);
            EXPECT_EQ(r.status, 1) << name << " " << command;
            EXPECT_EQ(r.err.rfind("zunotool: ", 0), 0u) << r.err;
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
            EXPECT_NE(r.err.find(name), std::string::npos) << r.err;
        }
    }
    TProgramResult cat = zunotool({"cat", dir.path("entry.dat"), "b.txt"});
    EXPECT_EQ(cat.status, 1);
    EXPECT_EQ(cat.err.rfind("zunotool: b.txt:", 0), 0u) << cat.err;
    TProgramResult none = zunotool({"ls", dir.path("absent.dat")});
    EXPECT_EQ(none.status, 1);
}

TEST(ZunotoolArchive, UnpackRefusesNamesLeavingTheFolder) {
    TTempFolder dir;
    std::vector<RawEntry> entries;
    for (const char* name : {"ok.txt", "..\\evil1.txt", "\\evil2.txt", "C:\\evil3.txt", "sub\\..\\..\\evil4.txt",
                             "a/../../evil5.txt", "/tmp/evil6.txt", "sub\\fine.txt"})
        entries.push_back({name, test::bytesOf("data"), 1});
    test::writeFile(dir.path("bad.dat"), test::buildArchive(102, entries));
    TProgramResult r = zunotool({"unpack", dir.path("bad.dat"), dir.path("out/inner")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 6) << r.err;
    EXPECT_NE(r.err.find("..\\evil1.txt"), std::string::npos) << r.err;
    EXPECT_EQ(test::readFile(dir.path("out/inner/ok.txt")), test::bytesOf("data"));
    EXPECT_EQ(test::readFile(dir.path("out/inner/sub/fine.txt")), test::bytesOf("data"));
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find("evil"), std::string::npos) << e.path();
    EXPECT_FALSE(std::filesystem::exists("/tmp/evil6.txt"));
}

} // namespace
} // namespace zuno
