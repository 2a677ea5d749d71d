#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/posix/PosixServices.h"
#include "support/TTempFolder.h"

namespace zuno {
namespace {

TEST(InstanceLock, FileNamesAreSafeAndDistinct) {
    setenv("XDG_RUNTIME_DIR", "/run/user/1", 1);
    EXPECT_EQ(instanceLockPath("D:-GAMES-A-"), "/run/user/1/zunoplay-D%3A-GAMES-A-.lock");
    EXPECT_EQ(instanceLockPath("\x95\x5C/.."), "/run/user/1/zunoplay-%95%5C%2F...lock");
    std::string longA(300, 'A');
    std::string longB = longA;
    longB.back() = 'B';
    std::string a = instanceLockPath(longA);
    EXPECT_NE(a, instanceLockPath(longB));
    EXPECT_LT(a.size(), 200u);
    unsetenv("XDG_RUNTIME_DIR");
    setenv("TMPDIR", "/var/tmp", 1);
    EXPECT_EQ(instanceLockPath("X"), "/var/tmp/zunoplay-X.lock");
    unsetenv("TMPDIR");
}

TEST(CdRoots, OnlyIso9660AndUdfMountsWithDecodedNames) {
    struct Case {
        const char* table;
        std::vector<std::string> roots;
    };
    const Case cases[] = {
        {"/dev/sda1 / ext4 rw,relatime 0 0\n"
         "/dev/sr0 /media/user/GAME\\040DISC iso9660 ro,nosuid 0 0\n"
         "proc /proc proc rw 0 0\n"
         "/dev/sr1 /mnt/dvd/ udf ro 0 0\n"
         "broken-line\n"
         "/dev/loop0 /mnt/a\\134b iso9660 ro 0 0\n",
         {"/media/user/GAME DISC/", "/mnt/dvd/", "/mnt/a\\b/"}},
        {"/dev/vda / ext4 rw 0 0\n"
         "/dev/sr0 /media/cd\\040rom iso9660 ro 0 0\n"
         "/dev/sr1 /mnt/dvd udf ro 0 0\n"
         "proc /proc proc rw 0 0\n",
         {"/media/cd rom/", "/mnt/dvd/"}},
        // Only three octal digits are an escape: 8 and 9 are not octal, and a
        // backslash too near the end stays as it is.
        {"/dev/sr0 /mnt/x\\089 iso9660 ro 0 0\n"
         "/dev/sr1 /mnt/y\\04 udf ro 0 0\n"
         "/dev/sr2 /mnt/tab\\011end iso9660 ro 0 0\n",
         {"/mnt/x\\089/", "/mnt/y\\04/", "/mnt/tab\tend/"}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseCdRoots(c.table), c.roots) << c.table;
}

TEST(ShellOpen, StartsXdgOpenWithTheTarget) {
    // A stand-in xdg-open first on PATH records its argument.
    namespace fs = std::filesystem;
    test::TTempFolder temp;
    const fs::path dir = temp.path();
    fs::path out = dir / "opened.txt";
    {
        std::ofstream script(dir / "xdg-open");
        script << "#!/bin/sh\nprintf '%s' \"$1\" > \"" << out.string() << ".tmp\" && mv \"" << out.string() << ".tmp\" \""
               << out.string() << "\"\n";
    }
    fs::permissions(dir / "xdg-open", fs::perms::owner_all);
    std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (dir.string() + ":" + oldPath).c_str(), 1);
    EXPECT_TRUE(startShellOpen("https://example.org/a b"));
    setenv("PATH", oldPath.c_str(), 1);
    for (int i = 0; i < 200 && !fs::exists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(out);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "https://example.org/a b");
}

} // namespace
} // namespace zuno
