// zunotool film build and film dump as programs: a dump builds back to the
// same bytes, the logo's own source builds, and bad sources and files fail
// with a message naming the place.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/ProgramRunner.h"
#include "support/TTempFolder.h"

namespace {

using zuno::test::builtProgram;
using zuno::test::runProgram;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(FilmCommand, DumpBuildsBackToTheSameBytes) {
    zuno::test::TTempFolder dir;
    const std::string src = std::string(ZUNO_SOURCE_DIR) + "/src/app/MadeWithLogo.film";
    auto built = runProgram(builtProgram("zunotool"), {"film", "build", src, dir.path("a.zcm")});
    ASSERT_EQ(built.status, 0) << built.err;
    auto dumped = runProgram(builtProgram("zunotool"), {"film", "dump", dir.path("a.zcm")});
    ASSERT_EQ(dumped.status, 0) << dumped.err;
    EXPECT_NE(dumped.out.find("track label"), std::string::npos);
    EXPECT_NE(dumped.out.find("text \"Made with zunoplay\""), std::string::npos);
    std::ofstream(dir.path("b.film"), std::ios::binary) << dumped.out;
    auto again = runProgram(builtProgram("zunotool"), {"film", "build", dir.path("b.film"), dir.path("b.zcm")});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(readAll(dir.path("a.zcm")), readAll(dir.path("b.zcm")));
}

TEST(FilmCommand, BadInputFails) {
    zuno::test::TTempFolder dir;
    std::ofstream(dir.path("bad.film")) << "film cinema 108\ntrack box\nlength 10\nwidth 3\n";
    auto r = runProgram(builtProgram("zunotool"), {"film", "build", dir.path("bad.film"), dir.path("x.zcm")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("line 4"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path("x.zcm")));

    std::ofstream(dir.path("junk.zcm")) << "not a film at all";
    r = runProgram(builtProgram("zunotool"), {"film", "dump", dir.path("junk.zcm")});
    EXPECT_EQ(r.status, 1);
    r = runProgram(builtProgram("zunotool"), {"film", "dump"});
    EXPECT_EQ(r.status, 2);
}

} // namespace
