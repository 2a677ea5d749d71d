// The operating-system services every platform offers through TPlatform, here
// on the headless one.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/headless/HeadlessPlatform.h"
#include "support/TTempFolder.h"

namespace zuno {
namespace {

TEST(InstanceLock, SecondHolderFailsUntilTheFirstReleases) {
    test::TTempFolder runtime;
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
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

} // namespace
} // namespace zuno
