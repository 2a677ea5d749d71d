// The shared test helpers themselves: the temporary folder goes away whatever
// ends the test, and a program's status and both output streams come back
// complete and apart.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/ProgramRunner.h"
#include "support/TTempFolder.h"

namespace zuno::test {
namespace {

namespace fs = std::filesystem;

TEST(TempFolder, FreshDistinctAndRemovedWithItsContents) {
    std::string first, second;
    {
        TTempFolder a, b;
        first = a.path();
        second = b.path();
        EXPECT_NE(first, second);
        EXPECT_TRUE(fs::is_directory(first));
        EXPECT_TRUE(fs::is_empty(first));
        EXPECT_EQ(a.path("x/y.txt"), first + "/x/y.txt");
        EXPECT_EQ(a.folder(), first + "/");
        fs::create_directories(a.path("x"));
        std::ofstream(a.path("x/y.txt")) << "kept until the end";
    }
    EXPECT_FALSE(fs::exists(first));
    EXPECT_FALSE(fs::exists(second));
}

// A fatal assertion leaves the test body at once; the folder must still go.
TEST(TempFolder, RemovedWhenAnAssertionEndsTheTest) {
    static std::string left;
    EXPECT_FATAL_FAILURE(
        {
            TTempFolder dir;
            left = dir.path();
            std::ofstream(dir.path("f.txt")) << "x";
            ASSERT_TRUE(false) << "ended early";
        },
        "ended early");
    ASSERT_FALSE(left.empty());
    EXPECT_FALSE(fs::exists(left));
}

TEST(ProgramRunner, StatusAndStreams) {
    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::vector<std::string> environment;
        int status;
        std::string out, err;
    } cases[] = {
        {"status and both streams apart", {"-c", "printf out; printf err >&2; exit 3"}, {}, 3, "out", "err"},
        {"arguments reach the program unchanged",
         {"-c", "printf '%s|' \"$@\"", "sh", "a b", "it's", "", "$HOME", "*"}, {}, 0, "a b|it's||$HOME|*|", ""},
        {"environment added and replaced", {"-c", "printf '%s,%s' \"$ZUNO_A\" \"$HOME\""},
         {"ZUNO_A=x y", "HOME=/nowhere"}, 0, "x y,/nowhere", ""},
        {"standard input is empty", {"-c", "cat; echo done"}, {}, 0, "done\n", ""},
        {"bytes are kept", {"-c", "printf 'a\\000b\\r\\n'"}, {}, 0, std::string("a\0b\r\n", 5), ""},
        {"a signal is not an exit", {"-c", "kill -9 $$"}, {}, -1, "", ""},
    };
    for (const Case& c : cases) {
        TProgramResult r = runProgram("sh", c.args, c.environment);
        EXPECT_EQ(r.status, c.status) << c.what;
        EXPECT_EQ(r.out, c.out) << c.what;
        EXPECT_EQ(r.err, c.err) << c.what;
    }
}

// More than a pipe holds on both streams at once: reading one stream to its
// end before the other would stall the child for ever.
TEST(ProgramRunner, LargeOutputOnBothStreams) {
    TProgramResult r = runProgram(
        "sh", {"-c", "i=0; while [ $i -lt 200 ]; do head -c 2000 /dev/zero; head -c 1000 /dev/zero >&2; i=$((i+1)); done"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.size(), 400000u);
    EXPECT_EQ(r.err.size(), 200000u);
}

TEST(ProgramRunner, MissingProgramDoesNotRun) {
    TTempFolder dir;
    TProgramResult r = runProgram(dir.path("no-such-program"), {});
    EXPECT_EQ(r.status, -1);
    EXPECT_TRUE(r.out.empty());
}

} // namespace
} // namespace zuno::test
