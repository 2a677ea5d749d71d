// The built-in functions that need the running project: save captions, game
// file existence, copying game files out (with the overwrite question), the
// shell open and the file dialogs.
#include "ScriptTestGame.h"

#include <fstream>

#include "archive/TZunoInstallSet.h"
#include "imaging/TDrelFrameList.h"
#include "script/ProjectSysFuncs.h"

namespace zuno::test {
namespace {

std::vector<uint8_t> bytesOf(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ProjectSysFuncTest : public ::testing::Test {
protected:
    TScriptGame& Start() {
        TPageBuilder main("main.zsb");
        main.Wait("");
        TGameSetup setup;
        setup.Pages = {&main};
        setup.Files = {{"a.txt", bytesOf("AAA")}, {"b.txt", bytesOf("BBB")}, {"c.bin", bytesOf("CCC")}};
        writeGame(Folder.folder(), setup);
        Game = std::make_unique<TScriptGame>(Folder.folder());
        EXPECT_TRUE(Game->Start());
        return *Game;
    }
    void Declare(const std::string& name, uint8_t type) { Game->Params.CreateVariable(name, type, vsGlobal); }
    // Runs an expression statement in the game's variable table.
    std::string Eval(const std::string& text) {
        TExprPtr e = compileExpr(sjis(text));
        e->Execute(Game->Funcs);
        return e->Result() ? cp932ToUtf8(e->Result()->AsString()) : std::string("<none>");
    }

    TTempFolder Folder;
    std::unique_ptr<TScriptGame> Game;
};

// A running game supplies every built-in function: none is left to raise
// "この関数は使用できません".
TEST_F(ProjectSysFuncTest, EveryFunctionIsAvailableInARunningGame) {
    TScriptGame& g = Start();
    for (int i = 0; i < kSysFuncCount; ++i)
        EXPECT_TRUE(g.Funcs.IsAvailable(i)) << kSysFuncs[i].Name;
}

TEST_F(ProjectSysFuncTest, SaveCaptionsAsTheProjectListsThem) {
    TScriptGame& g = Start();
    EXPECT_EQ(Eval("ListSaveCaption()"), "0");
    EXPECT_EQ(Eval("GetSaveCaption(4)"), "");
    g.Project->SaveGame(4, "", sjis("四番"), 0);
    g.Project->SaveGame(1, "", "one", 0);
    Declare("caps", PT_STR);
    Declare("slots", PT_INT);
    EXPECT_EQ(Eval("ListSaveCaption(caps, slots)"), "2");
    EXPECT_EQ(Eval("caps[0] ++ \",\" ++ caps[1]"), "四番,one");
    EXPECT_EQ(Eval("IntToStr(slots[0]) ++ \",\" ++ IntToStr(slots[1])"), "4,1");
    EXPECT_EQ(Eval("GetSaveCaption(1)"), "one");
}

TEST_F(ProjectSysFuncTest, FileExistsAsksTheGameFiles) {
    Start();
    const std::pair<const char*, const char*> cases[] = {
        {"FileExists(\"a.txt\")", "TRUE"}, {"FileExists(\"A.TXT\")", "TRUE"},
        {"FileExists(\"none.txt\")", "FALSE"}, {"FileExists(\"\")", "FALSE"},
    };
    for (const auto& [expr, result] : cases)
        EXPECT_EQ(Eval(expr), result) << expr;
}

TEST_F(ProjectSysFuncTest, ExtractFileCopiesMatchesAndAsksBeforeOverwriting) {
    TScriptGame& g = Start();
    const std::string out = Folder.folder() + "out/";
    EXPECT_EQ(Eval("ExtractFile(\"*.txt\", TRUE, \"out\")"), "TRUE");
    EXPECT_EQ(readText(out + "a.txt"), "AAA");
    EXPECT_EQ(readText(out + "b.txt"), "BBB");
    EXPECT_FALSE(std::filesystem::exists(out + "c.bin"));
    EXPECT_EQ(Eval("ExtractFile(\"missing.txt\", TRUE, \"out\")"), "FALSE");

    using A = TScriptEnv::TOverwriteAnswer;
    struct Case {
        std::vector<A> answers;         // given in turn
        std::string expectA, expectB;   // contents afterwards ("AAA" = overwritten)
        size_t asked;
        bool result;
    };
    const Case cases[] = {
        {{A::yes, A::no}, "AAA", "old", 2, true},
        {{A::no, A::no}, "old", "old", 2, false},
        {{A::yesToAll}, "AAA", "BBB", 1, true},
        {{A::noToAll}, "old", "old", 1, false},
        {{A::cancel}, "old", "BBB", 2, true},   // cancel ends the first name; the second still asks
    };
    for (const Case& c : cases) {
        std::ofstream(out + "a.txt", std::ios::trunc) << "old";
        std::ofstream(out + "b.txt", std::ios::trunc) << "old";
        size_t asked = 0;
        bool many = false;
        g.Env.AskOverwrite = [&](const std::string&, bool m) {
            many = m;
            A a = asked < c.answers.size() ? c.answers[asked] : A::yes;
            ++asked;
            return a;
        };
        Declare("names", PT_STR);
        Eval("SetArray(names, 2)");
        Eval("names[0] = \"a.txt\"");
        Eval("names[1] = \"b.txt\"");
        EXPECT_EQ(Eval("ExtractFile(names, TRUE, \"out\")"), c.result ? "TRUE" : "FALSE");
        EXPECT_EQ(readText(out + "a.txt"), c.expectA == "AAA" ? "AAA" : "old");
        EXPECT_EQ(readText(out + "b.txt"), c.expectB);
        EXPECT_EQ(asked, c.asked);
        EXPECT_TRUE(many);
    }
    // Without confirmation existing files are overwritten; without a folder
    // the folder dialog is asked, and a cancelled dialog copies nothing.
    std::ofstream(out + "a.txt", std::ios::trunc) << "old";
    EXPECT_EQ(Eval("ExtractFile(\"a.txt\", FALSE, \"out\")"), "TRUE");
    EXPECT_EQ(readText(out + "a.txt"), "AAA");
    EXPECT_EQ(Eval("ExtractFile(\"a.txt\")"), "FALSE");
    g.Env.SelectFolder = [&](std::string& folder) { folder = out + "picked"; return true; };
    EXPECT_EQ(Eval("ExtractFile(\"a.txt\")"), "TRUE");
    EXPECT_EQ(readText(out + "picked/a.txt"), "AAA");
}

TEST_F(ProjectSysFuncTest, OpenUrlAndDialogsGoThroughThePlatform) {
    TScriptGame& g = Start();
    std::vector<std::string> opened;
    g.Env.ShellOpen = [&](const std::string& t) { opened.push_back(t); return true; };
    std::filesystem::create_directories(Folder.folder() + "docs");
    Eval("OpenUrl(\"https://example.org/\")");
    Eval("OpenUrl(\"FTP://example.org/\")");
    Eval("OpenUrl(\"docs\")");
    Eval("OpenUrl(\"no such folder\")");
    Eval("OpenUrl(\"mailto:a@b\")");
    EXPECT_EQ(opened, (std::vector<std::string>{"https://example.org/", "FTP://example.org/", Folder.folder() + "docs"}));

    Declare("path", PT_STR);
    EXPECT_EQ(Eval("SelectOpenFile(path)"), "FALSE");          // no dialog: cancelled
    std::string filterSeen;
    g.Env.SelectFile = [&](bool saving, const std::string& filter, std::string& path) {
        filterSeen = filter;
        path = saving ? "/tmp/out.dat" : "/tmp/in.dat";
        return true;
    };
    g.Env.SelectFolder = [](std::string& f) { f = "/tmp/x"; return true; };
    EXPECT_EQ(Eval("SelectSaveFile(path, \"Data|*.dat\")"), "TRUE");
    EXPECT_EQ(Eval("path"), "/tmp/out.dat");
    EXPECT_EQ(filterSeen, "Data|*.dat");
    EXPECT_EQ(Eval("SelectDirectory(path)"), "TRUE");
    EXPECT_EQ(Eval("path"), "/tmp/x\\");
    EXPECT_EQ(Eval("SetWallPaper(\"\", 0)"), "FALSE");
}

TEST_F(ProjectSysFuncTest, SaveScreenWritesALayeredPictureWhereTheNameSays) {
    TScriptGame& g = Start();
    auto pictureSize = [](TStream& s) {
        TDrelFrameList list;
        s.SetPosition(0);
        list.LoadFromStream(s);
        return std::to_string(list.Frames(0)->Bitmap.Width()) + "x" + std::to_string(list.Frames(0)->Bitmap.Height()) +
               "x" + std::to_string(list.Frames(0)->Bitmap.BitCount());
    };
    EXPECT_EQ(Eval("SaveScreen(\"shot.drl\")"), "TRUE");
    TKsMemoryStream disk;
    disk.LoadFromFile(Folder.folder() + "shot.drl");
    EXPECT_EQ(pictureSize(disk), "64x48x24");

    EXPECT_EQ(Eval("SaveScreen(\"MEM:small.drl\", 32, 0)"), "TRUE");
    TKsMemoryStream mem;
    g.Files.ReadFile(mem, "MEM:small.drl");
    EXPECT_EQ(pictureSize(mem), "32x48x24");
    EXPECT_FALSE(std::filesystem::exists(Folder.folder() + "save.dat"));

    EXPECT_EQ(Eval("SaveScreen(\"save:thumb.drl\", 16, 12)"), "TRUE");
    TVrFileCollection save;
    save.Open(Folder.folder() + "save.dat");
    TKsMemoryStream kept;
    save.ReadEntry("save:thumb.drl", kept);
    EXPECT_EQ(pictureSize(kept), "16x12x24");

    const char* refused[] = {"SaveScreen(\"shot.png\")", "SaveScreen(\"x.drl\", -1, 10)", "SaveScreen(\"\")"};
    for (const char* expr : refused)
        EXPECT_EQ(Eval(expr), "FALSE") << expr;

    // Registered with 2, the name joins install.dat's written files once;
    // without install.dat nothing is created.
    EXPECT_EQ(Eval("SaveScreen(\"kept.drl\", 0, 0, FALSE, 2)"), "TRUE");
    EXPECT_FALSE(std::filesystem::exists(Folder.folder() + "install.dat"));
    TZunoInstallSet install;
    install.Identity = "game";
    install.SaveToFile(Folder.folder() + "install.dat");
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Eval("SaveScreen(\"kept.drl\", 0, 0, FALSE, 2)"), "TRUE");
    TZunoInstallSet reread;
    reread.LoadFromFile(Folder.folder() + "install.dat");
    EXPECT_EQ(reread.WrittenFiles, std::vector<std::string>{"kept.drl"});
    EXPECT_EQ(reread.Identity, "game");

    // Registered with 1, the file goes when the game ends.
    EXPECT_EQ(Eval("SaveScreen(\"temp.drl\", 0, 0, FALSE, 1)"), "TRUE");
    EXPECT_TRUE(std::filesystem::exists(Folder.folder() + "temp.drl"));
    g.Project->Destroy();
    EXPECT_FALSE(std::filesystem::exists(Folder.folder() + "temp.drl"));
    EXPECT_TRUE(std::filesystem::exists(Folder.folder() + "shot.drl"));
}

TEST(FileMask, MatchesStarsAndQuestionMarks) {
    const std::tuple<const char*, std::string, bool> cases[] = {
        {"*.txt", "a.txt", true},     {"*.TXT", "a.txt", true},     {"*.txt", "a.txt.bak", false},
        {"a?c", "abc", true},         {"a?c", "ac", false},         {"*", "", true},
        {"a*b*c", "axxbyyc", true},   {"a*b*c", "axxbyy", false},   {"?.txt", sjis("あ.txt"), true},
        {"*", "anything", true},      {"", "x", false},
    };
    for (const auto& [mask, name, expected] : cases)
        EXPECT_EQ(fileMaskMatches(mask, name), expected) << mask << " " << name;
}

} // namespace
} // namespace zuno::test
