// The virtual file manager: look-up orders, work files, folder listings,
// discs and their prompts, the folder-to-disc map and install.dat.
#include <gtest/gtest.h>

#include "ArchiveTestUtil.h"
#include "archive/TKsBigResourceStream.h"
#include "archive/TVrFileManager.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"

namespace zuno {
namespace {

using test::Bytes;
using test::RawEntry;
using test::TTempFolder;

std::string read(TVrFileManager& m, std::string_view name) {
    TKsMemoryStream out;
    m.ReadFile(out, name);
    EXPECT_EQ(out.GetPosition(), 0);
    return std::string(out.Data().begin(), out.Data().end());
}

std::string readRange(TVrFileManager& m, std::string_view name) {
    std::unique_ptr<TRangeStream> r = m.OpenRange(name);
    std::string s(size_t(r->GetSize()), '\0');
    s.resize(size_t(r->Read(s.data(), r->GetSize())));
    return s;
}

std::string textOf(const std::string& path) {
    Bytes b = test::readFile(path);
    return std::string(b.begin(), b.end());
}

Bytes installDat(const std::string& identity, int32_t disk) {
    TZunoInstallSet set;
    set.Identity = identity;
    set.DiskNumber = disk;
    TKsMemoryStream s;
    set.SaveToStream(s);
    return s.Data();
}

TEST(VrFileManager, LookupOrders) {
    TTempFolder dir;
    test::writeFile(dir.path("game/a.txt"), test::bytesOf("loose"));
    test::writeFile(dir.path("one.dat"), test::buildArchive(102, {{"A.TXT", test::bytesOf("archived"), 1},
                                                                  {"both.txt", test::bytesOf("first"), 1},
                                                                  {"empty.txt", {}, 1}}));
    test::writeFile(dir.path("two.dat"), test::buildArchive(102, {{"both.txt", test::bytesOf("second"), 1},
                                                                  {"only2.txt", test::bytesOf("two"), 1}}));
    test::writeFile(dir.path("cd/Disc.txt"), test::bytesOf("from disc"));
    test::writeFile(dir.path("cd/both.txt"), test::bytesOf("disc copy"));

    TVrFileManager m;
    m.SetCdRoots({dir.path("cd")});
    EXPECT_EQ(m.AddArchive(""), 0);                       // in-memory entries (save data)
    TVrFileCollection* memory = m.Archive(0);
    memory->AddEntry("only2.txt");                        // holds the name, but no data and no stream
    memory->AddMemoryEntry("save1")->Data->WriteBuffer("saved", 5);
    EXPECT_EQ(m.AddArchive(dir.path("one.dat")), 1);
    EXPECT_EQ(m.AddArchive(dir.path("two.dat")), 2);
    m.SetBaseFolder(dir.path("game"));

    EXPECT_EQ(read(m, "a.txt"), "loose");                 // the loose file first
    EXPECT_EQ(readRange(m, "a.txt"), "loose");
    EXPECT_EQ(m.GetLocalPath("A.txt"), dir.path("game/a.txt"));
    EXPECT_EQ(read(m, "both.txt"), "first");              // the first archive holding it
    EXPECT_EQ(readRange(m, "BOTH.TXT"), "first");
    EXPECT_EQ(m.FindEntry("both.txt"), m.Archive(1)->FindEntry("both.txt"));
    EXPECT_EQ(read(m, "only2.txt"), "two");               // skipped the collection without data
    EXPECT_EQ(read(m, "save1"), "saved");
    EXPECT_EQ(read(m, "empty.txt"), "");
    EXPECT_EQ(read(m, "disc.TXT"), "from disc");
    EXPECT_EQ(readRange(m, "disc.txt"), "from disc");
    EXPECT_EQ(m.GetLocalPath("disc.txt"), dir.path("cd/Disc.txt"));
    EXPECT_EQ(m.GetLocalPath("nowhere.txt"), "nowhere.txt");
    for (const char* name : {"a.txt", "both.txt", "disc.txt", "save1"})
        EXPECT_TRUE(m.Exists(name)) << name;
    EXPECT_FALSE(m.Exists("nowhere.txt"));
    try {
        read(m, "nowhere.txt");
        ADD_FAILURE();
    } catch (const EZunoError& e) {
        EXPECT_EQ(e.message(), sjis("nowhere.txt:ファイルがありません"));
    }
    EXPECT_THROW(m.OpenRange("nowhere.txt"), EZunoError);

    // A second registration of a folder collection is refused.
    EXPECT_EQ(m.AddArchive(""), -1);
    m.RemoveArchive(1);
    EXPECT_EQ(read(m, "both.txt"), "second");

    // Into an ordinary stream.
    TKsBigMemoryStream big;
    TBigStreamView view(big);
    m.ReadFile(view, "only2.txt");
    EXPECT_EQ(big.GetSize(), 3);
}

TEST(VrFileManager, WorkFilesAreExtractedOnceAndSweptAtTheEnd) {
    TTempFolder dir;
    test::writeFile(dir.path("a.dat"), test::buildArchive(102, {{"bgm\\theme.ogg", test::bytesOf("music"), 1},
                                                                {"movie.wmv", test::bytesOf("video"), 1}}));
    std::string first, second, folder;
    {
        TVrFileManager m;
        m.SetTempFolder(dir.path("tmp"));
        std::filesystem::create_directories(dir.path("tmp"));
        m.AddArchive(dir.path("a.dat"));
        first = m.GetLocalPath("BGM\\theme.ogg");
        EXPECT_EQ(std::filesystem::path(first).filename(), "~zv00000000.ogg");
        EXPECT_EQ(textOf(first), "music");
        test::writeFile(first, test::bytesOf("changed"));
        EXPECT_EQ(m.GetLocalPath("BGM\\theme.ogg"), first);  // no second extraction
        EXPECT_EQ(textOf(first), "changed");
        second = m.GetLocalPath("movie.wmv");
        EXPECT_EQ(std::filesystem::path(second).filename(), "~zv00000001.wmv");
        EXPECT_EQ(m.WorkFileCount(), 2);
        folder = std::filesystem::path(first).parent_path();
        EXPECT_EQ(folder.rfind(dir.path("tmp/zunoplay-"), 0), 0u);
        TVrFileManager::SweepWorkFiles();                     // nothing queued while in use
        EXPECT_TRUE(std::filesystem::exists(first));
    }
    EXPECT_TRUE(std::filesystem::exists(second));
    TVrFileManager::SweepWorkFiles();
    EXPECT_FALSE(std::filesystem::exists(first));
    EXPECT_FALSE(std::filesystem::exists(second));
    EXPECT_FALSE(std::filesystem::exists(folder));

    // A damaged entry leaves no work file behind.
    test::writeFile(dir.path("b.dat"), test::buildArchive(102, {{"bad.wav", test::bytesOf("junk"), 0}}));
    TVrFileManager m;
    m.SetTempFolder(dir.path("tmp"));
    m.AddArchive(dir.path("b.dat"));
    EXPECT_THROW(m.GetLocalPath("bad.wav"), EZunoError);
    EXPECT_EQ(m.WorkFileCount(), 0);
}

TEST(VrFileManager, ListFiles) {
    TTempFolder dir;
    test::writeFile(dir.path("a.dat"), test::buildArchive(102, {{"bg\\x.png", {}, 1}, {"bg\\sub\\y.png", {}, 1},
                                                                {"top.txt", {}, 1}}));
    test::writeFile(dir.path("game/BG/X.PNG"), {});
    test::writeFile(dir.path("game/BG/写真.png"), {});
    test::writeFile(dir.path("game/BG/deeper/z.png"), {});
    test::writeFile(dir.path("cd/bg/disc.png"), {});
    TVrFileManager m;
    m.SetCdRoots({dir.path("cd")});
    m.AddArchive(dir.path("a.dat"));
    m.SetBaseFolder(dir.path("game"));
    std::vector<std::string> list;
    m.ListFiles("bg", list);
    EXPECT_EQ(list, (std::vector<std::string>{"bg\\x.png", "bg\\" + sjis("写真.png"), "bg\\disc.png"}));
    list.clear();
    m.ListFiles("", list);
    EXPECT_EQ(list, (std::vector<std::string>{"top.txt"}));
}

TEST(VrFileManager, ExtractDir) {
    struct Case { std::string name, dir; };
    for (const Case& c : std::vector<Case>{{"bg\\sub\\a.png", "bg\\sub\\"},
                                           {"a.png", ""},
                                           {sjis("表") + "\\a.png", sjis("表") + "\\"},
                                           {sjis("表.png"), ""},
                                           {"C:\\games\\x\\a.png", "C:\\games\\x\\"},
                                           {"C:a.png", "C:"},
                                           {"\\\\server\\share\\a.png", "\\\\server\\share\\"}})
        EXPECT_EQ(TVrFileManager::ExtractDir(c.name), c.dir) << c.name;
}

TEST(VrFileManager, DiscsAreFoundByIdentityAndNumber) {
    TTempFolder dir;
    test::writeFile(dir.path("cd1/GAME.DAT"), test::buildArchive(102, {{"d1.txt", test::bytesOf("one"), 1}}));
    test::writeFile(dir.path("cd1/install.dat"), installDat("mygame", 0));
    test::writeFile(dir.path("cd2/game.dat"), test::buildArchive(102, {{"bg\\d2.png", test::bytesOf("two"), 1}}));
    test::writeFile(dir.path("cd2/INSTALL.DAT"), installDat("mygame", 1));
    test::writeFile(dir.path("cd3/game.dat"), test::buildArchive(102, {{"bg\\d2.png", test::bytesOf("other"), 1}}));
    test::writeFile(dir.path("cd3/install.dat"), installDat("othergame", 1));

    TVrFileManager m;
    m.SetCdRoots({dir.path("cd1"), dir.path("cd2"), dir.path("cd3")});
    m.ProjectName = "mygame";
    m.AddArchive(dir.path("cd1/GAME.DAT"));
    std::vector<std::string> prompts;
    m.OnPrompt = [&](const std::string& text, const std::string&) {
        prompts.push_back(text);
        return true;
    };
    TFolderDiskList disks;
    disks.Items = {{"bg", 2}};
    EXPECT_TRUE(m.EnsureAvailable("BG\\d2.png", disks, ".wav.ogg"));
    EXPECT_EQ(prompts, (std::vector<std::string>{sjis("ディスク2を入れてから[OK]をクリックしてください")}));
    EXPECT_EQ(m.ArchiveCount(), 1);                       // the disc 1 archive went with its disc
    EXPECT_EQ(read(m, "bg\\d2.png"), "two");
    EXPECT_FALSE(m.Exists("d1.txt"));

    // Extensions never asked for, names on no disc.
    prompts.clear();
    EXPECT_FALSE(m.EnsureAvailable("bg\\missing.ogg", disks, ".wav.OGG"));
    EXPECT_FALSE(m.EnsureAvailable("elsewhere\\x.png", disks, ""));
    EXPECT_TRUE(prompts.empty());

    // Without a prompt: one search, then the quit notice is confirmed.
    TVrFileManager alone;
    alone.SetCdRoots({dir.path("cd1")});
    alone.ProjectName = "mygame";
    int quits = 0;
    alone.OnQuit = [&] { ++quits; };
    EXPECT_FALSE(alone.RequestDisk(3));
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(alone.RequestDisk(1));
}

Bytes installDatFull(const std::string& identity, uint8_t full) {
    TZunoInstallSet set;
    set.Identity = identity;
    set.FullInstall = full;
    TKsMemoryStream s;
    set.SaveToStream(s);
    return s.Data();
}

TEST(VrFileManager, StartUpRegistration) {
    TTempFolder dir;
    Bytes archive = test::buildArchive(102, {{"zuno.zpb", test::bytesOf("project"), 1}});
    test::writeFile(dir.path("game/Game.dat"), archive);
    Bytes program = test::bytesOf("program");
    program.insert(program.end(), archive.begin(), archive.end());
    test::put32(program, 7);
    program.push_back('z');
    program.push_back('v');
    test::writeFile(dir.path("bin/zunoplay"), program);
    test::writeFile(dir.path("other/extra.exe"), program);

    // With arguments: the first is the game folder; appended archives count too.
    TVrFileManager m;
    m.RegisterGameData(dir.path("bin/zunoplay"), {dir.path("game"), dir.path("other/extra.exe")});
    ASSERT_EQ(m.ArchiveCount(), 3);
    EXPECT_EQ(m.Archive(0)->Stream(), nullptr);
    EXPECT_EQ(m.Archive(1)->FileName(), dir.path("game/Game.dat"));
    EXPECT_EQ(m.Archive(2)->FileName(), dir.path("other/extra.exe"));
    EXPECT_EQ(m.BaseFolder(), dir.path("game") + "/");

    // Without: the player's folder, its embedded archive and its appended one.
    Bytes embedded = test::buildArchive(102, {{"logo.png", test::bytesOf("logo"), 1}});
    embedded.push_back('v');
    embedded.push_back('f');
    registerEmbeddedResource("DUMMY", "BINTYPE", embedded);
    TVrFileManager alone;
    alone.RegisterGameData(dir.path("bin/zunoplay"), {});
    unregisterEmbeddedResource("DUMMY", "BINTYPE");
    ASSERT_EQ(alone.ArchiveCount(), 3);
    EXPECT_TRUE(alone.Archive(1)->IsResource());
    EXPECT_EQ(read(alone, "logo.png"), "logo");
    EXPECT_EQ(read(alone, "zuno.zpb"), "project");
    EXPECT_EQ(alone.BaseFolder(), dir.path("bin") + "/");
}

TEST(VrFileManager, InstallCheck) {
    TTempFolder dir;
    test::writeFile(dir.path("bin/zunoplay"), test::bytesOf("player"));
    std::string player = dir.path("bin/zunoplay");
    std::string identity;
    bool full = false;

    // No install.dat anywhere.
    {
        TVrFileManager m;
        m.RegisterGameData(player, {dir.path("game")});
        std::vector<std::string> messages;
        m.OnMessage = [&](const std::string& text, const std::string& caption) { messages.push_back(text + caption); };
        EXPECT_FALSE(m.CheckInstall(player, identity, full));
        EXPECT_EQ(messages, (std::vector<std::string>{sjis("インストールし直してください情報")}));
    }
    // A full install beside the game.
    test::writeFile(dir.path("game/install.dat"), installDatFull("mygame", 1));
    {
        TVrFileManager m;
        m.RegisterGameData(player, {dir.path("game")});
        EXPECT_TRUE(m.CheckInstall(player, identity, full));
        EXPECT_EQ(identity, "mygame");
        EXPECT_TRUE(full);
    }
    // Not a full install: the disc with the same identity is needed.
    test::writeFile(dir.path("game/install.dat"), installDatFull("mygame", 0));
    test::writeFile(dir.path("cd/game.dat"), test::buildArchive(102, {{"disc.txt", test::bytesOf("disc"), 1}}));
    test::writeFile(dir.path("cd/install.dat"), installDatFull("mygame", 0));
    test::writeFile(dir.path("wrong/game.dat"), test::buildArchive(102, {}));
    test::writeFile(dir.path("wrong/install.dat"), installDatFull("another", 0));
    {
        TVrFileManager m;
        m.SetCdRoots({dir.path("wrong"), dir.path("cd")});
        m.RegisterGameData(player, {dir.path("game")});
        m.OnPrompt = [](const std::string&, const std::string&) -> bool { throw std::logic_error("no prompt"); };
        EXPECT_TRUE(m.CheckInstall(player, identity, full));
        EXPECT_FALSE(full);
        EXPECT_EQ(read(m, "disc.txt"), "disc");
    }
    // No disc: asked again on OK; Cancel, then OK on the quit notice, ends the start.
    {
        TVrFileManager m;
        m.SetCdRoots({dir.path("wrong")});
        m.RegisterGameData(player, {dir.path("game")});
        std::vector<bool> answers = {true, false, false, false, true};
        std::vector<std::string> asked;
        m.OnPrompt = [&](const std::string& text, const std::string& caption) {
            asked.push_back(text);
            EXPECT_EQ(caption, sjis("情報"));
            bool a = answers.front();
            answers.erase(answers.begin());
            return a;
        };
        EXPECT_FALSE(m.CheckInstall(player, identity, full));
        const std::string disc = sjis("ディスクを入れてください"), quit = sjis("終了します");
        EXPECT_EQ(asked, (std::vector<std::string>{disc, disc, quit, disc, quit}));
    }
}

TEST(FolderDiskList, DiskOfTriesEachFolderLevel) {
    TFolderDiskList list;
    list.Items = {{"bg", 2}, {"BG\\SUB\\", 3}, {"se", 4}};
    struct Case { std::string name; int32_t disk; };
    for (const Case& c : std::vector<Case>{{"BG\\SUB\\A.PNG", 3},
                                           {"bg\\other\\a.png", 2},
                                           {"bg\\a.png", 2},
                                           {"bg", 2},
                                           {"se\\x.wav", 4},
                                           {"sea\\x.wav", 0},
                                           {"a.png", 0},
                                           {"", 0}})
        EXPECT_EQ(list.DiskOf(c.name), c.disk) << c.name;

    TKsMemoryStream s;
    list.SaveToStream(s);
    s.SetPosition(0);
    TFolderDiskList back;
    back.LoadFromStream(s);
    ASSERT_EQ(back.Items.size(), 3u);
    EXPECT_EQ(back.Items[1].folder, "BG\\SUB\\");
    EXPECT_EQ(back.Items[1].disk, 3);

    TKsMemoryStream damaged;
    WriteInt(damaged, 100000);
    damaged.SetPosition(0);
    EXPECT_THROW(back.LoadFromStream(damaged), EZunoError);
    EXPECT_EQ(back.Items.size(), 3u);
}

// Writes the fields of a record of `version` by hand, in the stored order.
Bytes installRecord(int version, int32_t records) {
    TKsMemoryStream s;
    if (version > 0) {
        std::string magic = "is" + std::to_string(version);
        s.WriteBuffer(magic.data(), 5);
    }
    WriteInt(s, 2);                          // DiskNumber
    WriteString(s, "ident");
    for (const char* t : {"t4", "t5", "t6"})
        WriteString(s, t);
    WriteByte(s, 7);
    WriteString(s, "t8");
    WriteByte(s, 9);
    WriteInt(s, records);
    WriteString(s, "t11");
    WriteInt(s, 12);
    WriteByte(s, 13);
    WriteByte(s, 14);
    WriteString(s, "t15");
    WriteString(s, "t16");
    for (int i = 0; i < (records > 0 ? records : 0) + 1; ++i)
        for (int k = 0; k < 4; ++k) {
            if (version >= 100)
                WriteInt64(s, 0x100000000LL * (i + 1) + k);
            else
                WriteInt(s, 100 * (i + 1) + k);
        }
    WriteByte(s, 19);
    if (version >= 101)
        WriteByte(s, 20);
    if (version >= 102)
        WriteStrings(s, {"save.dat", "", "Memo.txt"});
    if (version >= 103)
        WriteByte(s, 1);
    if (version >= 104)
        WriteByte(s, 23);
    if (version >= 105)
        WriteByte(s, 24);
    if (version >= 106)
        WriteStrings(s, {"l1", "l2"});
    if (version >= 107)
        WriteString(s, "t26");
    if (version >= 108) {
        WriteString(s, "t27");
        WriteString(s, "t28");
    }
    return s.Data();
}

TEST(ZunoInstallSet, ReadsEveryVersionAndWrites108) {
    for (int version : {0, 100, 101, 102, 103, 104, 105, 106, 107, 108}) {
        SCOPED_TRACE(version);
        TKsMemoryStream in(installRecord(version, 2));
        TZunoInstallSet set;
        set.LoadFromStream(in);
        EXPECT_EQ(in.Remaining(), 0);
        EXPECT_EQ(set.Version, version);
        EXPECT_EQ(set.DiskNumber, 2);
        EXPECT_EQ(set.Identity, "ident");
        EXPECT_EQ(set.Text16, "t16");
        ASSERT_EQ(set.Records.size(), 2u);
        EXPECT_EQ(set.Records[1][3], version >= 100 ? 0x200000003LL : 203);
        EXPECT_EQ(set.Totals[0], version >= 100 ? 0x300000000LL : 300);
        EXPECT_EQ(set.Flag19, 19);
        EXPECT_EQ(set.Flag20, version >= 101 ? 20 : 0);
        const std::vector<std::string> written = {"save.dat", "Memo.txt"};   // the empty one skipped
        EXPECT_EQ(set.WrittenFiles, version >= 102 ? written : std::vector<std::string>());
        EXPECT_EQ(set.FullInstall, version >= 103 ? 1 : 0);
        EXPECT_EQ(set.Text28, version >= 108 ? "t28" : "");

        // Written back as 108, every field kept.
        TKsMemoryStream out;
        set.SaveToStream(out);
        out.SetPosition(0);
        TZunoInstallSet again;
        again.LoadFromStream(out);
        EXPECT_EQ(again.Version, 108);
        EXPECT_EQ(again.Records, set.Records);
        EXPECT_EQ(again.WrittenFiles, set.WrittenFiles);
        EXPECT_EQ(again.List25, set.List25);
        EXPECT_EQ(again.Text15, "t15");
    }
    TKsMemoryStream v108(installRecord(108, 1));
    TZunoInstallSet set;
    set.LoadFromStream(v108);
    EXPECT_TRUE(set.AddWrittenFile("new.txt"));
    EXPECT_FALSE(set.AddWrittenFile("MEMO.TXT"));
    EXPECT_EQ(set.WrittenFiles.back(), "new.txt");
}

TEST(ZunoInstallSet, DamagedRecordsFail) {
    Bytes hugeCount = installRecord(108, 1);
    const size_t countAt = 5 + 4 + 9 + 18 + 1 + 6 + 1;   // after the fields before the record count
    ASSERT_EQ(hugeCount[countAt], 1);
    hugeCount[countAt + 3] = 0x7F;
    Bytes cut = installRecord(108, 1);
    cut.resize(cut.size() - 3);
    Bytes badDigits = installRecord(108, 1);
    badDigits[3] = 'x';
    for (const Bytes& b : {hugeCount, installRecord(100, -5), cut, badDigits, Bytes{'i', 's'}}) {
        TKsMemoryStream in(b);
        TZunoInstallSet set;
        set.Identity = "kept";
        EXPECT_THROW(set.LoadFromStream(in), EZunoError);
        EXPECT_EQ(set.Identity, "kept");
    }
    TTempFolder dir;
    TZunoInstallSet set;
    set.Identity = "file";
    set.SaveToFile(dir.path("install.dat"));
    TZunoInstallSet back;
    back.LoadFromFile(dir.path("install.dat"));
    EXPECT_EQ(back.Identity, "file");
}

} // namespace
} // namespace zuno
