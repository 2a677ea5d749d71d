#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/HeadlessPlatform.h"
#include "platform/PosixServices.h"

namespace zuno {
namespace {

TEST(InstanceLock, SecondHolderFailsUntilTheFirstReleases) {
    setenv("XDG_RUNTIME_DIR", ZUNO_BUILD_DIR, 1);
    THeadlessPlatform first;
    THeadlessPlatform second;
    std::string name = "-WORK-GAMES-A-" + std::to_string(::getpid());
    ASSERT_TRUE(first.acquireInstanceLock(name));
    EXPECT_FALSE(second.acquireInstanceLock(name));
    EXPECT_TRUE(second.acquireInstanceLock(name + "B"));   // another game path is another lock
    first.releaseInstanceLock();
    EXPECT_TRUE(first.acquireInstanceLock(name));          // free again, for one holder only
    THeadlessPlatform third;
    EXPECT_FALSE(third.acquireInstanceLock(name));
}

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
    const char* table =
        "/dev/sda1 / ext4 rw,relatime 0 0\n"
        "/dev/sr0 /media/user/GAME\\040DISC iso9660 ro,nosuid 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/sr1 /mnt/dvd/ udf ro 0 0\n"
        "broken-line\n"
        "/dev/loop0 /mnt/a\\134b iso9660 ro 0 0\n";
    EXPECT_EQ(parseCdRoots(table),
              (std::vector<std::string>{"/media/user/GAME DISC/", "/mnt/dvd/", "/mnt/a\\b/"}));
    EXPECT_TRUE(parseCdRoots("").empty());
}

} // namespace
} // namespace zuno
