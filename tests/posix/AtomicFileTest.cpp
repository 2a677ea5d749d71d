#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/EZunoError.h"
#include "platform/posix/AtomicFile.h"
#include "support/TTempFolder.h"

namespace zuno {
namespace {

namespace fs = std::filesystem;
using test::TTempFolder;

std::string contentsOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void putFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicWrite, WritesOrReplacesTheWholeFileAndLeavesNoTemporary) {
    struct Case {
        const char* name;
        const char* old;          // nullptr: no file before
        std::string contents;
    };
    const Case cases[] = {
        {"new file", nullptr, "fresh"},
        {"longer than the old", "ab", "abcdefgh"},
        {"shorter than the old", "a much longer old file", "short"},
        {"empty", "old", ""},
        {"binary", "x", std::string("\0\x95\x5C\n\r", 5)},
    };
    TTempFolder temp;
    const fs::path dir = temp.path();
    for (const Case& c : cases) {
        fs::path target = dir / "save.dat";
        fs::remove(target);
        if (c.old)
            putFile(target, c.old);
        writeFileAtomically(target.string(), c.contents);
        EXPECT_EQ(contentsOf(target), c.contents) << c.name;
        EXPECT_EQ(namesIn(dir), std::vector<std::string>{"save.dat"}) << c.name;
    }
}

TEST(AtomicWrite, NewFilesAreReadableAndReplacedFilesKeepTheirPermissions) {
    TTempFolder temp;
    const fs::path dir = temp.path();
    fs::path fresh = dir / "game.ini";
    writeFileAtomically(fresh.string(), std::string("a=1"));
    EXPECT_EQ(fs::status(fresh).permissions(), fs::perms(0644));

    fs::path secret = dir / "private.dat";
    putFile(secret, "old");
    fs::permissions(secret, fs::perms(0600));
    writeFileAtomically(secret.string(), std::string("new"));
    EXPECT_EQ(fs::status(secret).permissions(), fs::perms(0600));
}

TEST(AtomicWrite, FailuresLeaveTheOldFileAndNoTemporary) {
    TTempFolder temp;
    const fs::path dir = temp.path();
    fs::path target = dir / "save.dat";
    putFile(target, "old contents");

    // The target's folder does not exist: nothing is made anywhere.
    EXPECT_THROW(writeFileAtomically((dir / "missing" / "save.dat").string(), std::string("x")), EZunoError);

    // A folder in the target's place cannot be replaced by a file.
    fs::create_directories(dir / "taken" / "inside");
    try {
        writeFileAtomically((dir / "taken").string(), std::string("x"));
        ADD_FAILURE() << "a folder was replaced";
    } catch (const EZunoError& e) {
        EXPECT_NE(std::string(e.what()).find((dir / "taken").string()), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::is_directory(dir / "taken" / "inside"));

    // The write itself fails part-way (the file size limit stands in for a full disk).
    {
        struct rlimit old;
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 4096;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        EXPECT_THROW(writeFileAtomically(target.string(), std::string(100000, 'n')), EZunoError);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }

    // Given up before the commit.
    {
        TAtomicFile file(target.string());
        file.write("new", 3);
        EXPECT_TRUE(fs::exists(file.temporaryPath()));
    }

    EXPECT_EQ(contentsOf(target), "old contents");
    EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"save.dat", "taken"}));
}

TEST(AtomicWrite, TemporariesAreUniqueAndBesideTheTarget) {
    TTempFolder temp;
    const fs::path dir = temp.path();
    std::string target = (dir / "game.dat").string();
    TAtomicFile first(target);
    TAtomicFile second(target);
    EXPECT_NE(first.temporaryPath(), second.temporaryPath());
    for (const TAtomicFile* f : {&first, &second}) {
        fs::path temporary(f->temporaryPath());
        EXPECT_EQ(temporary.parent_path(), dir);
        EXPECT_EQ(temporary.filename().string().rfind(".game.dat.tmp", 0), 0u) << temporary;
    }
    first.write("first", 5);
    second.write("second", 6);
    first.commit();
    EXPECT_EQ(contentsOf(target), "first");
    second.commit();
    EXPECT_EQ(contentsOf(target), "second");
    EXPECT_THROW(second.commit(), EZunoError);
    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"game.dat"});
}

} // namespace
} // namespace zuno
