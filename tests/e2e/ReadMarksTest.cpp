// The read-text list lives in the status data of save.dat: a page revealed
// completely in one run starts as read ("1" to its start handler) in the
// next run of the same game folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/ProgramRunner.h"
#include "support/TTempFolder.h"

namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(ReadMarks, PageReadInOneRunIsReadInTheNext) {
    const std::string zunotool = zuno::test::builtProgram("zunotool");
    const std::string zunoplay = zuno::test::builtProgram("zunoplay");
    ASSERT_TRUE(fs::exists(zunotool) && fs::exists(zunoplay)) << "build zunotool and zunoplay first";
    zuno::test::TTempFolder dir;
    const fs::path out = dir.path();
    const fs::path src = fs::path(ZUNO_SOURCE_DIR) / "games" / "tests" / "read_marks";
    ASSERT_EQ(zuno::test::runProgram(zunotool, {"game", "build", src.string(), out.string()}).status, 0);
    auto run = [&](const std::string& dump) {
        const auto r = zuno::test::runProgram(zunoplay, {"--headless", "--no-logo", "--frames", "20", "--dump-vars",
                                                         (out / dump).string(), (out / "game.dat").string()});
        EXPECT_EQ(r.status, 0) << r.err;
        return readText(out / dump);
    };
    const std::string first = run("first.txt");
    EXPECT_NE(first.find("S0 done "), std::string::npos) << first;
    EXPECT_EQ(first.find("S1"), std::string::npos) << first;
    ASSERT_TRUE(fs::exists(out / "save.dat"));
    const std::string second = run("second.txt");
    EXPECT_NE(second.find("S1 done "), std::string::npos) << second;
}

} // namespace
