// The compiled project zuno.zpb across its versions, and the status data entry.
#include <gtest/gtest.h>

#include "archive/TVrFileCollection.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "script/TProjectSetting.h"
#include "script/TStatusData.h"

namespace zuno {
namespace {

// Writes a project file field by field, as each version lays it out.
std::vector<uint8_t> projectFile(int32_t version) {
    TKsMemoryStream s;
    WriteInt(s, version);
    WriteString(s, sjis("テストゲーム"));
    WriteInt(s, 800);
    WriteInt(s, 600);
    WriteInt(s, 1024);
    WriteInt(s, 768);
    WriteString(s, "start.zsb");
    if (version >= 110)
        WriteString(s, "exit.zsb");
    WriteString(s, "Zuno\\Test");
    WriteInt(s, 1234);
    if (version > 103)
        WriteByte(s, 0);                            // keep status off
    if (version >= 106)
        WriteByte(s, 1);                            // idle yield
    if (version >= 109)
        WriteString(s, ".wav");
    if (version > 112)
        WriteByte(s, 1);                            // pause when inactive
    WriteString(s, sjis("ディスク%dを入れてください"));
    WriteString(s, sjis("終了します"));
    WriteInt(s, 5);
    WriteByte(s, 1); WriteString(s, "score"); WriteInt(s, -7);
    WriteByte(s, 2); WriteString(s, "rate"); WriteExtended(s, TExtended::fromDouble(0.25));
    WriteByte(s, 3); WriteString(s, "seen"); WriteByte(s, 1);
    WriteByte(s, 4); WriteString(s, "name"); WriteString(s, sjis("太郎"));
    WriteByte(s, 9); WriteString(s, "odd");         // unknown type: no value bytes
    WriteInt(s, 2);
    WriteString(s, "BGM"); WriteInt(s, 2);
    WriteString(s, "MOVIE\\OP"); WriteInt(s, 3);
    return s.Data();
}

TEST(ProjectFile, EveryVersionReadsItsFieldsAndDefaults) {
    struct Case {
        int32_t version;
        const char* exitPage;
        uint8_t keepStatus;
        uint8_t idleYield;
        const char* mediaTypes;
        uint8_t pause;
    };
    const Case cases[] = {
        {100, "", 1, 0, ".wav.wma.ogg.mid", 0},
        {103, "", 1, 0, ".wav.wma.ogg.mid", 0},
        {104, "", 0, 0, ".wav.wma.ogg.mid", 0},
        {105, "", 0, 0, ".wav.wma.ogg.mid", 0},
        {106, "", 0, 1, ".wav.wma.ogg.mid", 0},
        {109, "", 0, 1, ".wav", 0},
        {110, "exit.zsb", 0, 1, ".wav", 0},
        {112, "exit.zsb", 0, 1, ".wav", 0},
        {113, "exit.zsb", 0, 1, ".wav", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        const std::vector<uint8_t> bytes = projectFile(c.version);
        TKsMemoryStream in(bytes);
        TProjectSetting p;
        ASSERT_TRUE(p.LoadFromStream(in));
        EXPECT_EQ(in.Remaining(), 0);
        EXPECT_EQ(p.FVersion, c.version);
        EXPECT_EQ(p.FTitle, sjis("テストゲーム"));
        EXPECT_EQ(p.FScreenWidth, 800);
        EXPECT_EQ(p.FFullScreenHeight, 768);
        EXPECT_EQ(p.FStartPage, "start.zsb");
        EXPECT_EQ(p.FExitPage, c.exitPage);
        EXPECT_EQ(p.FRegistryKey, "Zuno\\Test");
        EXPECT_EQ(p.FIdentCode, 1234);
        EXPECT_EQ(p.FKeepStatus, c.keepStatus);
        EXPECT_EQ(p.FIdleYield, c.idleYield);
        EXPECT_EQ(p.FUndiscoveredTypes, c.mediaTypes);
        EXPECT_EQ(p.FPauseWhenInactive, c.pause);
        EXPECT_EQ(p.FQuitConfirm, sjis("終了します"));
        ASSERT_EQ(p.FVariables.size(), 5u);
        EXPECT_EQ(p.FVariables[0].IntValue, -7);
        EXPECT_EQ(p.FVariables[1].FloatValue.toDouble(), 0.25);
        EXPECT_EQ(p.FVariables[2].BoolValue, 1);
        EXPECT_EQ(p.FVariables[3].StrValue, sjis("太郎"));
        EXPECT_EQ(p.FVariables[4].Name, "odd");
        ASSERT_EQ(p.FFolderDisks.size(), 2u);
        EXPECT_EQ(p.FFolderDisks[1], (TFolderDisk{"MOVIE\\OP", 3}));

        TKsMemoryStream out;
        p.SaveToStream(out);
        EXPECT_EQ(out.Data(), bytes);
    }
}

TEST(ProjectFile, NewestIsWrittenByDefault) {
    TProjectSetting p;
    p.FTitle = "t";
    p.FExitPage = "e.zsb";
    p.FPauseWhenInactive = 1;
    TKsMemoryStream s;
    p.SaveToStream(s);
    s.SetPosition(0);
    TProjectSetting q;
    ASSERT_TRUE(q.LoadFromStream(s));
    EXPECT_EQ(q.FVersion, ProjectVersionMax);
    EXPECT_EQ(q.FExitPage, "e.zsb");
    EXPECT_EQ(q.FPauseWhenInactive, 1);
    EXPECT_EQ(q.FKeepStatus, 1);
}

TEST(ProjectFile, TooNewEmptyAndDamaged) {
    std::vector<uint8_t> bytes = projectFile(113);
    putLE32(bytes.data(), 114);
    TKsMemoryStream tooNew(bytes);
    TProjectSetting p;
    EXPECT_FALSE(p.LoadFromStream(tooNew));

    TKsMemoryStream empty;
    try {
        p.LoadFromStream(empty);
        ADD_FAILURE() << "empty project accepted";
    } catch (const EZunoError& e) {
        EXPECT_STREQ(e.what(), "プロジェクトがありません");
    }

    const std::vector<uint8_t> good = projectFile(113);
    for (size_t cut = 1; cut < good.size(); ++cut) {
        TKsMemoryStream s(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)));
        EXPECT_THROW(p.LoadFromStream(s), EZunoError) << "cut at " << cut;
    }

    // Counts that cannot be there: initial variables, then the disc table.
    for (int which = 0; which < 2; ++which) {
        TProjectSetting base;                       // no variables, no disc table
        TKsMemoryStream s;
        base.SaveToStream(s);
        s.SetSize(s.GetSize() - 8);                 // drop the two empty counts
        s.SetPosition(s.GetSize());
        if (which == 1)
            WriteInt(s, 0);
        WriteInt(s, 0x7FFFFFFF);
        s.SetPosition(0);
        EXPECT_THROW(p.LoadFromStream(s), EZunoError) << which;
    }
}

TEST(StatusData, HeaderVersionAndBodyKept) {
    struct Case { std::string bytes; bool header; int32_t version; size_t body; };
    const Case cases[] = {
        {"Status103abc", true, 103, 3},
        {"Status000", true, 0, 0},
        {"Status1x3zz", true, 0, 2},
        {std::string("\x01\x00\x00\x00rest", 8), false, 0, 8},
        {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        std::vector<uint8_t> bytes(c.bytes.begin(), c.bytes.end());
        TKsMemoryStream in(bytes);
        TStatusData st;
        st.LoadFromStream(in);
        EXPECT_EQ(st.FHasHeader, c.header);
        EXPECT_EQ(st.FVersion, c.version);
        EXPECT_EQ(st.FBody.size(), c.body);
        TKsMemoryStream out;
        st.SaveToStream(out);
        EXPECT_EQ(out.Data(), bytes);
    }
    TKsMemoryStream cut(std::vector<uint8_t>{'S', 't', 'a', 't', 'u', 's', '1'});
    TStatusData st;
    EXPECT_THROW(st.LoadFromStream(cut), EZunoError);
    EXPECT_EQ(TStatusData::header(103), "Status103");
}

TEST(StatusData, StoredInSaveDataAndFoundAgain) {
    TVrFileCollection save;
    TVrFile* other = save.AddMemoryEntry("save:memo.txt");
    other->Data->WriteBuffer("memo", 4);
    TStatusData missing;
    EXPECT_FALSE(missing.LoadFromArchive(save));

    TStatusData status;
    status.FBody = {1, 2, 3, 4, 5};
    status.StoreInArchive(save);
    status.FBody = {9, 8};
    status.StoreInArchive(save);                    // replaces, never adds a second entry

    TKsBigMemoryStream image;
    save.SaveToStream(image);
    TVrFileCollection reopened;
    reopened.OpenStream(std::make_unique<TKsBigMemoryStream>(image.Memory().Data()));
    ASSERT_TRUE(reopened.FindEntry("save:memo.txt"));
    TStatusData loaded;
    ASSERT_TRUE(loaded.LoadFromArchive(reopened));
    EXPECT_EQ(loaded.FVersion, StatusVersion);
    EXPECT_EQ(loaded.FBody, (std::vector<uint8_t>{9, 8}));
    int statusEntries = 0;
    for (int i = 0; i < reopened.Count(); ++i)
        statusEntries += reopened.Entry(i)->Name() == StatusEntryName;
    EXPECT_EQ(statusEntries, 1);
}

} // namespace
} // namespace zuno
