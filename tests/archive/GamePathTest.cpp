// Game file names: splitting aware of double-byte characters, the names that
// may be unpacked, and finding game names on a case-sensitive disk.
#include <gtest/gtest.h>

#include "ArchiveTestUtil.h"
#include "archive/GamePath.h"
#include "core/Cp932.h"

namespace zuno {
namespace {

using test::TTempFolder;

TEST(GamePath, SplitsOnlyAtRealSeparators) {
    const std::string hyo = sjis("表");     // 0x95 0x5C: its trail byte is a backslash
    ASSERT_EQ(hyo[1], '\\');
    EXPECT_EQ(gameNameFolder("bg\\sub\\a.png"), "bg\\sub\\");
    EXPECT_EQ(gameNameFolder(hyo + ".png"), "");
    EXPECT_EQ(gameNameFolder(hyo + "\\" + hyo + ".png"), hyo + "\\");
    EXPECT_EQ(gameNameExtension("bg.d\\file"), "");
    EXPECT_EQ(gameNameExtension("a.b\\c.Drl"), ".Drl");
    EXPECT_EQ(splitGameName("\\a\\\\" + hyo + "/b"), (std::vector<std::string>{"a", hyo, "b"}));
}

TEST(GamePath, SafeNames) {
    struct Case { std::string name; bool safe; };
    for (const Case& c : std::vector<Case>{{"a.txt", true},
                                           {"bg\\sub\\a.png", true},
                                           {sjis("表") + "\\x", true},
                                           {"..a\\b..", true},
                                           {"", false},
                                           {"\\abs.txt", false},
                                           {"/abs.txt", false},
                                           {"..\\up.txt", false},
                                           {"a\\..\\..\\up.txt", false},
                                           {"a/../up.txt", false},
                                           {".\\a", false},
                                           {"C:\\x.txt", false},
                                           {"C:x.txt", false},
                                           {"a\\D:\\x", false},
                                           {std::string("a\0b", 3), false},
                                           {"\\\\", false}})
        EXPECT_EQ(isSafeGameName(c.name), c.safe) << c.name;
}

TEST(GamePath, DiskNamesRoundTrip) {
    EXPECT_EQ(gameComponentToDisk(sjis("写真.png")), "写真.png");
    EXPECT_EQ(diskComponentToGame("写真.png"), sjis("写真.png"));
    const std::string invalid = "\x81\x20x";            // not code page 932: kept as bytes
    EXPECT_EQ(gameComponentToDisk(invalid), invalid);
    EXPECT_EQ(diskComponentToGame("\xff\xfe"), "\xff\xfe");
    EXPECT_EQ(gameNameToDiskPath(sjis("背景\\写真.png")), "背景/写真.png");
}

TEST(GamePath, FindsGameNamesWithoutRegardToCase) {
    TTempFolder dir;
    test::writeFile(dir.path("Data/BG/写真.PNG"), test::bytesOf("a"));
    test::writeFile(dir.path("Data/bg2/x.txt"), test::bytesOf("b"));
    test::writeFile(dir.path("exact.txt"), test::bytesOf("1"));
    test::writeFile(dir.path("EXACT.txt"), test::bytesOf("2"));
    test::writeFile(dir.path("raw\xff.bin"), test::bytesOf("r"));
    const std::string base = dir.path() + "/";
    EXPECT_EQ(findGameFile(base, "data\\bg\\" + sjis("写真.png")), dir.path("Data/BG/写真.PNG"));
    EXPECT_EQ(findGameFile(dir.path(), "DATA\\BG2\\X.TXT"), dir.path("Data/bg2/x.txt"));
    EXPECT_EQ(findGameFile(base, "EXACT.txt"), dir.path("EXACT.txt"));   // the exact spelling first
    EXPECT_EQ(findGameFile(base, "exact.txt"), dir.path("exact.txt"));
    EXPECT_EQ(findGameFile(base, "RAW\xff.BIN"), dir.path("raw\xff.bin"));
    EXPECT_FALSE(findGameFile(base, "data\\bg"));                          // a folder is no file
    EXPECT_FALSE(findGameFile(base, "data\\missing.txt"));
    EXPECT_FALSE(findGameFile(base, "data\\..\\exact.txt"));
    EXPECT_FALSE(findGameFile(base, ""));
    EXPECT_EQ(findDiskFileNoCase(base, "Exact.TXT").has_value(), true);
}

} // namespace
} // namespace zuno
