// Game saves across runs: what save.dat holds after GameSave, a game loaded
// in a new run going on where it was saved, resume pages, waits that resume
// with their remaining time, damaged and foreign saves that leave the running
// game alone, the status data's parts and the place of save.dat.
#include "ScriptTestGame.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <tuple>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "expr/TDBManager.h"
#include "script/ComMedia.h"
#include "script/ComObject.h"
#include "script/StatusLocation.h"
#include "script/TGameSave.h"
#include "script/TStatusData.h"
#include "objects/TZunoHistoryFormatManager.h"

namespace zuno::test {
namespace {

std::vector<uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TComGameSave& addSave(TPageBuilder& page, int slot, const std::string& caption, const std::string& resumePage = "",
                      int resumeIndex = 0) {
    auto& c = page.Add<TComGameSave>();
    c.FSlot = compileExpr(std::to_string(slot));
    if (!caption.empty())
        c.FCaption = compileExpr(sjis(caption));
    c.FResumePage = resumePage;
    c.FResumeIndex = resumeIndex;
    return c;
}

// A game variable (saved with the game, unlike the project's initial ones).
void addVar(TPageBuilder& page, const std::string& name, const std::string& init) {
    auto& c = page.Add<TComVarNew>();
    c.FName = name;
    c.FValueType = init.size() && init[0] == '"' ? 4 : 1;
    c.FInitValue = compileExpr(sjis(init));
}

TComGameLoad& addLoad(TPageBuilder& page, int slot) {
    auto& c = page.Add<TComGameLoad>();
    c.FSlot = compileExpr(std::to_string(slot));
    return c;
}

class GameSaveTest : public ::testing::Test {
protected:
    void Write(std::vector<TPageBuilder*> pages, bool keepStatus = true) {
        TGameSetup setup;
        setup.Pages = std::move(pages);
        setup.KeepStatus = keepStatus;
        writeGame(Folder.folder(), setup);
    }
    // A new run of the written game (the previous run ends first).
    TScriptGame& Start() {
        Game.reset();
        Game = std::make_unique<TScriptGame>(Folder.folder());
        EXPECT_TRUE(Game->Start()) << cp932ToUtf8(Game->Project->FailReason());
        return *Game;
    }
    std::string SavePath() const { return Folder.folder() + "save.dat"; }
    std::vector<std::string> EntryNames() {
        TVrFileCollection save;
        save.Open(SavePath());
        std::vector<std::string> names;
        for (int i = 0; i < save.Count(); ++i)
            if (save.Entry(i)->Name() != "\\EOF\\")
                names.push_back(save.Entry(i)->Name());
        return names;
    }
    TKsMemoryStream Entry(const std::string& name) {
        TVrFileCollection save;
        save.Open(SavePath());
        TKsMemoryStream s;
        save.ReadEntry(name, s);
        s.SetPosition(0);
        return s;
    }

    TTempFolder Folder;
    std::unique_ptr<TScriptGame> Game;
};

TEST_F(GameSaveTest, SaveWritesItsSlotEntryAndRefreshesTheStatusData) {
    TPageBuilder main("main.zsb");
    addVar(main, "x", "1");
    addSave(main, 3, "\"first\"");
    main.Let("x = 2");
    addSave(main, 3, "\"second\"");
    addSave(main, 5, "\"\"");                      // an empty caption saves nothing
    main.Wait("");
    Write({&main});
    TScriptGame& g = Start();
    g.Frame();
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"GAMESAVEDATA3", "STATUSSAVEDATA"}));
    TKsMemoryStream e = Entry("GAMESAVEDATA3");
    TGameSaveHeader h = readGameSaveHeader(e);
    EXPECT_EQ(h.Version, 138);
    EXPECT_EQ(h.Caption, "first");
    EXPECT_EQ(ReadString(e), "");                   // resume page
    EXPECT_EQ(ReadInt(e), 0);                       // resume index
    g.Frames(2);
    e = Entry("GAMESAVEDATA3");
    EXPECT_EQ(readGameSaveHeader(e).Caption, "second");
    EXPECT_EQ(EntryNames().size(), 2u);
    EXPECT_EQ(g.Project->SaveCaption(3), "second");
    EXPECT_EQ(g.Project->SaveCaption(5), "");

    // A new run lists the captions found in save.dat.
    TScriptGame& next = Start();
    ASSERT_EQ(next.Project->SaveCaptions().size(), 1u);
    EXPECT_EQ(next.Project->SaveCaptions()[0].Slot, 3);
    EXPECT_EQ(next.Project->SaveCaptions()[0].Caption, "second");
}

TEST_F(GameSaveTest, LoadedGameGoesOnWhereItWasSaved) {
    TPageBuilder main("main.zsb");
    addVar(main, "x", "5");
    addVar(main, "after", "0");
    addVar(main, "inner", "\"\"");
    main.Call("sub.zsb", {"\"arg\""});
    main.Let("after = x");
    main.Wait("");
    TPageBuilder sub("sub.zsb");
    sub.Let("inner = @ParamStr[0]");
    addSave(sub, 1, "\"in sub\"");
    sub.Let("x = x + 100");
    TDBManager* tables = nullptr;
    Write({&main, &sub});
    {
        TScriptGame& g = Start();
        g.Funcs.Tables().AddTable("game", false);
        g.Frames(3);
        EXPECT_EQ(g.Var("after"), "105");
    }
    TScriptGame& g = Start();
    tables = &g.Funcs.Tables();
    EXPECT_EQ(g.Var("x"), "<none>");
    EXPECT_EQ(tables->TableIndex("game"), -1);
    ASSERT_TRUE(g.Project->LoadGame(1));
    EXPECT_EQ(g.Var("x"), "5");
    EXPECT_EQ(g.Var("inner"), "arg");
    EXPECT_NE(tables->TableIndex("game"), -1);     // game tables travel with the save
    EXPECT_EQ(g.CallMan().CurrentPage()->Name(), "sub.zsb");
    EXPECT_EQ(g.CallMan().Stack().Count(), 1);
    g.Trace.clear();
    g.Frame();
    EXPECT_EQ(g.Var("after"), "105");               // the rest of sub, then back in main
    EXPECT_EQ(g.Lines(), (std::vector<std::string>{"sub.zsb(3)", "main.zsb(5)", "main.zsb(6)"}));
}

TEST_F(GameSaveTest, GameLoadCommandLoadsInTheFrameStep) {
    TPageBuilder main("main.zsb");
    addVar(main, "x", "1");
    addVar(main, "never", "0");
    addSave(main, 0, "\"s\"");
    main.Let("x = x + 1");
    main.Label("again");
    addLoad(main, 0);
    main.Let("never = 1");
    Write({&main});
    TScriptGame& g = Start();
    g.Frame();                                      // saves
    g.Frame();                                      // x = 2, then GameLoad
    EXPECT_EQ(g.Var("x"), "1");
    EXPECT_EQ(g.Var("never"), "0");
    EXPECT_EQ(g.CallMan().ProgramCounter(), 3);     // on from the command after GameSave
    // A slot without a save, like a missing save.dat, loads nothing.
    EXPECT_FALSE(g.Project->LoadGame(9));
    EXPECT_TRUE(g.Warnings.empty());
}

TEST_F(GameSaveTest, ResumePageRunsFirstThenTheSavedPosition) {
    for (int index : {0, 1}) {
        SCOPED_TRACE(index);
        TPageBuilder main("main.zsb");
        addVar(main, "log", "\"\"");
        addSave(main, 2, "\"r\"", "resume.zsb", index);
        main.Let("log = log ++ \"M\"");
        main.Wait("");
        TPageBuilder resume("resume.zsb");
        resume.Let("log = log ++ \"A\"");
        resume.Let("log = log ++ \"B\"");
        Write({&main, &resume});
        std::filesystem::remove(SavePath());
        Start().Frames(2);
        TScriptGame& g = Start();
        ASSERT_TRUE(g.Project->LoadGame(2));
        EXPECT_EQ(g.CallMan().CurrentPage()->Name(), "resume.zsb");
        g.Frames(2);                                // the saved position goes on in the next frame
        EXPECT_EQ(g.Var("log"), index == 0 ? "ABM" : "BM");
    }
}

TEST_F(GameSaveTest, WaitResumesWithItsRemainingTime) {
    TPageBuilder main("main.zsb");
    addSave(main, 1, "\"w\"").FContinue = 0;
    main.Wait("100").FContinue = 1;
    addVar(main, "t", "@TickCount");
    Write({&main});
    {
        TScriptGame& g = Start();
        g.Frames(4);                                // saved; the wait has counted some frames
        g.Project->SaveGame(1, "", "w", 0);
    }
    TScriptGame& g = Start();
    g.Env.GameClock = 1000;
    ASSERT_TRUE(g.Project->LoadGame(1));
    int frames = 0;
    while (g.Var("t") == "<none>" && frames < 20) {
        g.Frame();
        ++frames;
    }
    // 100 ms of wait at 16 ms a frame; two frames had been counted before the save.
    EXPECT_LT(frames, 7);
    EXPECT_GT(frames, 2);
}

TEST_F(GameSaveTest, DamagedSavesLeaveTheGameAsItWas) {
    TPageBuilder main("main.zsb");
    addVar(main, "x", "7");
    addSave(main, 1, "\"good\"");
    main.Let("x = 8");
    main.Wait("");
    Write({&main});
    Start().Frames(3);

    // Entries made from the good save: too old, too new, cut short, damaged.
    std::vector<uint8_t> good = Entry("GAMESAVEDATA1").Data();
    auto withVersion = [&](int32_t v) {
        std::vector<uint8_t> b = good;
        std::memcpy(b.data(), &v, 4);
        return b;
    };
    std::vector<uint8_t> damaged = good;
    for (size_t i = 40; i < damaged.size(); i += 7)
        damaged[i] = 0xFF;
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> cases = {
        {"too old", withVersion(106)},
        {"too new", withVersion(139)},
        {"cut short", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(good.size() / 2))},
        {"damaged", damaged},
        {"empty", {}},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        {
            TVrFileCollection save;
            save.Open(SavePath());
            save.DeleteEntry("GAMESAVEDATA2");
            save.AddMemoryEntry("GAMESAVEDATA2")->Data->WriteBuffer(bytes.data(), int64_t(bytes.size()));
            TKsBigMemoryStream image;
            save.SaveToStream(image);
            image.SaveToFile(SavePath());
        }
        TScriptGame& g = Start();
        g.Frames(3);
        const std::vector<uint8_t> before = fileBytes(SavePath());
        EXPECT_EQ(g.Var("x"), "8");
        const int32_t pc = g.CallMan().ProgramCounter();
        EXPECT_FALSE(g.Project->LoadGame(2));
        ASSERT_EQ(g.Warnings.size(), 1u);
        EXPECT_EQ(g.Warnings[0], "このセーブデータは使用できません\r\n終了してください");
        EXPECT_FALSE(g.Env.Terminating);
        EXPECT_EQ(g.Var("x"), "8");
        EXPECT_EQ(g.CallMan().CurrentPage()->Name(), "main.zsb");
        EXPECT_EQ(g.CallMan().ProgramCounter(), pc);
        EXPECT_EQ(fileBytes(SavePath()), before);
        // The good slot still loads.
        EXPECT_TRUE(g.Project->LoadGame(1));
        EXPECT_EQ(g.Var("x"), "7");
    }
}

TEST_F(GameSaveTest, UnreadableSaveDataIsNeverOverwritten) {
    TPageBuilder main("main.zsb");
    addSave(main, 1, "\"s\"");
    main.Wait("");
    Write({&main});
    const std::string junk = "this is not an archive at all";
    { std::ofstream(SavePath(), std::ios::binary) << junk; }
    TScriptGame& g = Start();
    g.Frame();
    EXPECT_FALSE(g.Project->LoadGame(1));
    EXPECT_EQ(g.Warnings.size(), 1u);
    g.Project->Destroy();                           // the status data is not written either
    const std::vector<uint8_t> after = fileBytes(SavePath());
    EXPECT_EQ(std::string(after.begin(), after.end()), junk);
}

TEST_F(GameSaveTest, StatusDataCarriesPersistentTablesAndTheImageCacheFlag) {
    TPageBuilder main("main.zsb");
    main.Wait("");
    Write({&main});
    {
        TScriptGame& g = Start();
        TDBManager& t = g.Funcs.Tables();
        t.AddTable("kept", true);
        t.AddTable("lost", false);
        TDrelCollection::Instance().SetHighColour(true);
        g.Frame();
        Game.reset();                               // the status data is written at the end
    }
    TDrelCollection::Instance().SetHighColour(false);
    TScriptGame& g = Start();
    EXPECT_NE(g.Funcs.Tables().TableIndex("kept"), -1);
    EXPECT_EQ(g.Funcs.Tables().TableIndex("lost"), -1);
    EXPECT_TRUE(TDrelCollection::Instance().HighColour());
    TDrelCollection::Instance().SetHighColour(false);

    TKsMemoryStream e = Entry("STATUSSAVEDATA");
    TStatusData status;
    status.LoadFromStream(e);
    EXPECT_EQ(status.FHeader, "Status103");
}

TEST_F(GameSaveTest, SaveDataInTheUserFolderIsUsedFirst) {
    TPageBuilder main("main.zsb");
    addSave(main, 1, "\"one\"");
    main.Wait("");
    Write({&main});
    TTempFolder data;
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string kept = old ? old : "";
    ::setenv("XDG_DATA_HOME", data.folder().c_str(), 1);
    Start().Frame();
    Game.reset();
    ASSERT_TRUE(std::filesystem::exists(SavePath()));      // the game folder can be written
    const std::string user = userGameFolder(Folder.folder(), data.folder() + "zunoplay/") + "save.dat";
    std::filesystem::create_directories(std::filesystem::path(user).parent_path());
    std::filesystem::rename(SavePath(), user);
    TScriptGame& g = Start();
    EXPECT_EQ(g.Project->StatusFilePath(), user);
    EXPECT_EQ(g.Project->SaveCaption(1), "one");
    g.Project->SaveGame(2, "", "two", 0);
    Game.reset();
    EXPECT_FALSE(std::filesystem::exists(SavePath()));
    TVrFileCollection save;
    save.Open(user);
    EXPECT_NE(save.FindEntry("GAMESAVEDATA1"), nullptr);
    EXPECT_NE(save.FindEntry("GAMESAVEDATA2"), nullptr);
    if (old)
        ::setenv("XDG_DATA_HOME", kept.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}

TEST(StatusLocation, GameFolderUnlessUnwritableOrTheUserFolderHasOne) {
    const std::string user = "/home/u/.local/share/zunoplay/mygame/save.dat";
    struct Case {
        bool writable;
        bool userFileExists;
        std::string expected;
    };
    const Case cases[] = {
        {true, false, "/games/mygame/save.dat"},
        {false, false, user},
        {true, true, user},
        {false, true, user},
    };
    for (const Case& c : cases) {
        auto exists = [&](const std::string& p) { return c.userFileExists && p == user; };
        EXPECT_EQ(chooseStatusFile("/games/mygame/", "/home/u/.local/share/zunoplay/", c.writable, exists), c.expected);
    }
    EXPECT_EQ(userGameFolder("/games/other", "/d/"), "/d/other/");
    EXPECT_EQ(userGameFolder("/", "/d/"), "/d/game/");
}

TEST(GameSaveNames, SlotsOfEntryNames) {
    EXPECT_EQ(gameSaveEntryName(12), "GAMESAVEDATA12");
    const std::pair<const char*, int32_t> cases[] = {
        {"GAMESAVEDATA0", 0}, {"GAMESAVEDATA42", 42}, {"GAMESAVEDATA", -1}, {"GAMESAVEDATA-1", -1},
        {"GAMESAVEDATA1x", -1}, {"STATUSSAVEDATA", -1}, {"GAMESAVEDATA99999999999", -1},
    };
    for (const auto& [name, slot] : cases)
        EXPECT_EQ(gameSaveSlotOf(name), slot) << name;
}

// Saves below version 135 hold one history record instead of the format list:
// it becomes the default format's backlog, the formats made before are gone,
// and exactly the record's bytes are read.
TEST(GameSaveBacklog, OneRecordOfVersion134GoesToTheDefaultFormat) {
    TZunoHistoryFormatManager formats;
    formats.GetOrCreate("wide").Settings = {20, 0, 0, 400, 300, 2};
    TKsMemoryStream s;
    WriteInt(s, 2);                                         // plain entries
    for (const auto& [source, command, page] :
         {std::tuple<std::string, int32_t, int32_t>{"page one", 3, 0}, {"", 3, 1}}) {
        WriteString(s, source);
        WriteInt(s, command);
        WriteInt(s, page);
        WriteInt(s, 320);
        WriteInt(s, 96);
    }
    WriteString(s, "pending");                              // the page still shown
    WriteInt(s, 7);
    WriteInt(s, 2);
    WriteInt(s, 320);
    WriteInt(s, 96);
    WriteString(s, "mes");
    WriteInt(s, 50);                                        // entry limit
    for (int i = 0; i < 6; ++i)                             // plain: no layout settings
        WriteInt(s, 0);
    WriteInt(s, 0);                                         // pending first, last
    WriteInt(s, -1);
    WriteInt(s, 0);                                         // laid-out entries
    WriteString(s, "snapshot");
    WriteInt(s, 0x5A5A);                                    // what follows the backlog
    s.SetPosition(0);

    TGameSave::LoadBacklog(formats, s, 134);

    ASSERT_EQ(formats.Count(), 1);
    EXPECT_EQ(formats.Find("wide"), nullptr);
    const TZunoNewHistory& h = formats.Default().History;
    EXPECT_FALSE(h.IsLaidOut());
    ASSERT_EQ(h.PlainEntries().size(), 2u);
    EXPECT_EQ(h.PlainEntries()[0].Source, "page one");
    EXPECT_EQ(h.PlainEntries()[1].Source, "");
    EXPECT_EQ(h.PlainEntries()[1].Page, 1);
    EXPECT_EQ(h.PlainEntries()[1].Height, 96);
    EXPECT_EQ(h.PendingSource(), "pending");
    EXPECT_EQ(h.EntryLimit, 50);
    EXPECT_EQ(ReadInt(s), 0x5A5A);
}

} // namespace
} // namespace zuno::test

namespace zuno::test {
namespace {

// A player killed at any moment of a save leaves save.dat as the previous
// complete file or the new one: a child process saves over and over with a
// sizeable state while the parent kills it after varying delays; each time
// save.dat must open, hold both entries whole and load.
TEST_F(GameSaveTest, KillDuringSavesLeavesAWholeSaveData) {
    TPageBuilder main("main.zsb");
    addVar(main, "big", "\"\"");
    main.Let("SetArray(big, 20000)");
    main.Let("FillMem(big, \"a fairly long text to make the save take time\")");
    main.Wait("");
    Write({&main});
    Start().Frame();
    Game->Project->SaveGame(1, "", "gen 0", 0);
    Game.reset();

    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TScriptGame g(Folder.folder());
            if (!g.Start())
                ::_exit(3);
            g.Frame();
            for (int gen = 1;; ++gen)
                g.Project->SaveGame(1, "", "gen " + std::to_string(round * 1000 + gen), 0);
        }
        ::usleep(static_cast<useconds_t>(20000 + (round * 7919) % 60000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        TScriptGame& g = Start();
        ASSERT_EQ(EntryNames(), (std::vector<std::string>{"GAMESAVEDATA1", "STATUSSAVEDATA"}));
        TKsMemoryStream e = Entry("GAMESAVEDATA1");
        EXPECT_EQ(readGameSaveHeader(e).Caption.substr(0, 4), "gen ");
        ASSERT_TRUE(g.Project->LoadGame(1));
        EXPECT_TRUE(g.Warnings.empty());
        TParamCollectionItem* big = g.Params.Find("big");
        ASSERT_NE(big, nullptr);
        EXPECT_EQ(big->Value()->Count(), 20000);
        Game.reset();
    }
}

} // namespace
} // namespace zuno::test
