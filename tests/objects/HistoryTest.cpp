// The backlog (plain and laid out), the box's history record and the
// read-text list, over a fake page store that answers TextIns texts.
#include <gtest/gtest.h>

#include <map>

#include "core/EZunoError.h"
#include "core/TStream.h"
#include "objects/TStoredTextSource.h"
#include "objects/TZunoHistoryFormatManager.h"
#include "objects/TZunoMes.h"
#include "objects/TZunoReadList.h"
#include "ObjectTestKit.h"

namespace zuno {
namespace {

// Pages by name; each holds TextIns texts by command index.
class TFakePages : public TStoredTextSource {
public:
    std::map<std::string, std::map<int32_t, std::string>> Pages;
    int                 Lookups = 0;
    bool PageExists(const std::string& page) override { return Pages.count(page) != 0; }
    bool CommandText(const std::string& page, int32_t index, std::string& text) override {
        ++Lookups;
        auto p = Pages.find(page);
        if (p == Pages.end())
            return false;
        auto c = p->second.find(index);
        if (c == p->second.end())
            return false;
        text = c->second;
        return true;
    }
};

TZunoNewHistory::TNote noteOf(const std::string& source, int32_t command, int32_t page = 0) {
    TZunoNewHistory::TNote n;
    n.BoxName = "m";
    n.BoxWidth = 200;
    n.BoxHeight = 100;
    n.Source = source;
    n.Position = command;
    n.PageIndex = page;
    return n;
}

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        formats.TextSource = &pages;
        // Three pages 100, 150 and 200 pixels high (square character cells).
        pages.Pages["a.zsb"][2] = "<FONT SIZE=100>A</FONT><CLEAR><FONT SIZE=150>B</FONT><CLEAR><FONT SIZE=200>C</FONT>";
        pages.Pages["a.zsb"][3] = "x";
        pages.Pages["b.zsb"][0] = "y";
    }
    void commit(TZunoHistoryFormatManager& f, const TZunoNewHistory::TNote& n) {
        f.NoteBoxPage(n);
        f.BoxTextChanged(n.BoxName);
    }
    TFakePages pages;
    TZunoHistoryFormatManager formats;
};

TEST_F(HistoryTest, PlainBacklogCountsEntriesAndStoresAPageNameOnlyWhereItChanges) {
    TZunoNewHistory& h = formats.Default().History;
    for (int i = 0; i < 10; ++i)
        commit(formats, noteOf(i < 6 ? "a.zsb" : "B.ZSB", 3, i));
    EXPECT_FALSE(h.IsLaidOut());
    EXPECT_EQ(h.Size(), 10);
    const auto& e = h.PlainEntries();
    EXPECT_EQ(e[0].Source, "a.zsb");
    EXPECT_EQ(e[1].Source, "");
    EXPECT_EQ(e[6].Source, "B.ZSB");
    EXPECT_EQ(e[9].Page, 9);
    EXPECT_EQ(e[9].Width, 200);
}

TEST_F(HistoryTest, CommitNeedsANoteOfTheSameBox) {
    formats.NoteBoxPage(noteOf("a.zsb", 3));
    formats.BoxTextChanged("other");
    EXPECT_EQ(formats.Default().History.Size(), 0);
    formats.BoxTextChanged("m");
    formats.BoxTextChanged("m");          // the note is used up
    EXPECT_EQ(formats.Default().History.Size(), 1);
}

TEST_F(HistoryTest, EntryLimitDropsTheOldestAndHandsItsPageNameOn) {
    TZunoNewHistory& h = formats.Default().History;
    h.EntryLimit = 3;
    for (int i = 0; i < 4; ++i)
        commit(formats, noteOf("a.zsb", 3, i));
    ASSERT_EQ(h.Size(), 3);
    EXPECT_EQ(h.PlainEntries()[0].Source, "a.zsb");
    EXPECT_EQ(h.PlainEntries()[0].Page, 1);
}

TEST_F(HistoryTest, LaidOutBacklogGroupsPiecesIntoScreenfuls) {
    TZunoHistoryFormat& f = formats.GetOrCreate("wide");
    f.Settings = {0, 0, 0, 1000, 400, 4};
    commit(formats, noteOf("a.zsb", 2));
    TZunoNewHistory& h = f.History;
    ASSERT_TRUE(h.IsLaidOut());
    ASSERT_EQ(h.Entries().size(), 2u);
    EXPECT_EQ(h.Entries()[0].Count(), 2);
    EXPECT_EQ(h.Entries()[0].Piece(0).Height, 104);
    EXPECT_EQ(h.Entries()[0].Piece(1).Height, 154);
    EXPECT_EQ(h.Entries()[0].TotalHeight(), 258);
    EXPECT_EQ(h.Entries()[1].Piece(0).Height, 204);
    EXPECT_EQ(h.Size(), 462);
    // Each piece is the source range of its page: "<FONT>A</FONT>" and so on.
    EXPECT_EQ(h.Entries()[0].Piece(0).First, 0);
    EXPECT_EQ(h.Entries()[0].Piece(1).First, 2);      // A, the page break, then B
    EXPECT_EQ(h.Entries()[0].Piece(1).Last, 3);
    EXPECT_EQ(h.Entries()[0].Piece(1).Source, "");     // the same page as the piece before
    // The default format stays plain and got one entry.
    EXPECT_EQ(formats.Default().History.Size(), 1);

    TZunoHistData selected;
    EXPECT_EQ(h.SelectRange(120, 100, selected), -16);
    ASSERT_EQ(selected.Count(), 2);
    EXPECT_EQ(selected.Piece(0).Height, 154);
    EXPECT_EQ(selected.Piece(1).Height, 204);
    EXPECT_EQ(selected.ResolvedSource(1), "a.zsb");
    EXPECT_EQ(h.SelectRange(462, 10, selected), 0);
    EXPECT_EQ(selected.Count(), 0);
}

TEST_F(HistoryTest, ChangedFormatReachesALaidOutBacklogOnlyWhenItIsEmpty) {
    TZunoHistoryFormat& f = formats.GetOrCreate("wide");
    f.Settings = {12, 0, 0, 1000, 400, 4};
    commit(formats, noteOf("a.zsb", 3));
    f.Settings = {12, 0, 0, 1000, 400, 10};
    commit(formats, noteOf("a.zsb", 3));
    ASSERT_EQ(f.History.Entries().size(), 1u);
    EXPECT_EQ(f.History.Entries()[0].Piece(1).Height, 12 + 4);
    formats.ClearAll();
    EXPECT_EQ(f.History.Size(), 0);
    commit(formats, noteOf("a.zsb", 3));
    EXPECT_EQ(f.History.Entries()[0].Piece(0).Height, 12 + 10);
}

TEST_F(HistoryTest, MissingPagesAndCommandsRecordNothing) {
    TZunoHistoryFormat& f = formats.GetOrCreate("wide");
    f.Settings = {0, 0, 0, 1000, 400, 4};
    commit(formats, noteOf("gone.zsb", 2));      // no page file: dropped
    EXPECT_EQ(f.History.Size(), 0);
    EXPECT_EQ(f.History.PendingSource(), "");
    formats.NoteBoxPage(noteOf("a.zsb", 7));      // no such TextIns: the note stays
    formats.BoxTextChanged("m");
    EXPECT_EQ(f.History.Size(), 0);
    EXPECT_EQ(f.History.PendingSource(), "a.zsb");
}

TEST_F(HistoryTest, CopyToBoxTakesThePlainRangeIntoTheBox) {
    for (int i = 0; i < 10; ++i)
        commit(formats, noteOf("a.zsb", 3, i));
    TZunoMes box;
    box.MesData().Pieces.Add({"a.zsb", 3, 0, -1, 0, {}});
    formats.Default().History.CopyToBox(8, 2, box);
    EXPECT_EQ(box.ReadMode(), 2);
    ASSERT_EQ(box.MesData().Plain.size(), 2u);
    EXPECT_EQ(box.MesData().Plain[0].Page, 8);
    EXPECT_EQ(box.MesData().Plain[1].Source, "a.zsb");     // resolved in the box
    EXPECT_EQ(box.MesData().Pieces.Count(), 0);
}

TEST_F(HistoryTest, RecordsRoundTripAndOldColumnLayoutLoads) {
    TZunoHistoryFormat& f = formats.GetOrCreate("wide");
    f.Settings = {0, 0, 0, 1000, 400, 4};
    commit(formats, noteOf("a.zsb", 2));
    commit(formats, noteOf("a.zsb", 3));
    formats.Default().History.EntryLimit = 7;
    formats.NoteBoxPage(noteOf("b.zsb", 0));        // pending, saved with it
    TKsMemoryStream s;
    formats.SaveRecord(s);
    s.SetPosition(0);
    TZunoHistoryFormatManager loaded;
    loaded.LoadRecord(s, 135);
    EXPECT_EQ(s.Remaining(), 0);
    ASSERT_EQ(loaded.Count(), 2);
    EXPECT_EQ(loaded.Default().History.Size(), 2);
    EXPECT_EQ(loaded.Default().History.EntryLimit, 7);
    EXPECT_EQ(loaded.Default().History.PendingSource(), "b.zsb");
    ASSERT_NE(loaded.Find("wide"), nullptr);
    EXPECT_EQ(loaded.Find("wide")->History.Size(), formats.Find("wide")->History.Size());
    EXPECT_EQ(loaded.Find("wide")->Settings[5], 4);

    // Version 112: the plain entries column by column, nothing after the pending box name.
    TKsMemoryStream old;
    auto put = [&](int32_t v) { old.WriteBuffer(&v, 4); };
    auto text = [&](const std::string& t) { put(int32_t(t.size())); old.WriteBuffer(t.data(), int64_t(t.size())); };
    put(1); text(""); for (int i = 0; i < 6; ++i) put(0);     // one format, the default
    text("dropped"); put(2); text("p.zsb"); text(""); put(4); put(5); put(0); put(1); put(640); put(100); put(640); put(100);
    text(""); put(0); put(0); put(0); put(0); text("");
    old.SetPosition(0);
    TZunoHistoryFormatManager legacy;
    legacy.LoadRecord(old, 112);
    ASSERT_EQ(legacy.Default().History.Size(), 2);
    EXPECT_EQ(legacy.Default().History.PlainEntries()[1].Command, 5);
    EXPECT_EQ(legacy.Default().History.PlainEntries()[1].Page, 1);
    EXPECT_EQ(legacy.Default().History.PlainEntries()[1].Height, 100);
}

TEST(HistoryRecord, DamagedRecordsFailWithoutAllocatingTheirCounts) {
    const std::vector<std::vector<int32_t>> cases = {
        {},                                  // nothing at all
        {0x7FFFFFFF},                        // a format count no stream holds
        {1, 0, 0, 0, 0, 0, 0, 0, 0x7FFFFFFF},   // a plain entry count no stream holds
        {-5},                                // a negative count
    };
    for (const auto& ints : cases) {
        TKsMemoryStream s;
        for (int32_t v : ints)
            s.WriteBuffer(&v, 4);
        s.SetPosition(0);
        TZunoHistoryFormatManager f;
        EXPECT_THROW(f.LoadRecord(s, 135), EZunoError) << ints.size();
        EXPECT_EQ(f.Count(), 1);       // the formats stay as they were
    }
}

TEST(ReadList, PairsAreReadOnlyAfterCommitOfTheNotingBox) {
    TZunoReadList list;
    list.Note("m", "Main.zsb", 1, 4);
    EXPECT_FALSE(list.IsRead("main.zsb", 4, 1));
    list.Commit("other");
    EXPECT_FALSE(list.IsRead("main.zsb", 4, 1));
    list.Commit("m");
    EXPECT_TRUE(list.IsRead("main.zsb", 4, 1));     // names compare without regard to case
    EXPECT_FALSE(list.IsRead("main.zsb", 5, 1));    // another TextIns of the same page
    EXPECT_FALSE(list.IsRead("main.zsb", 4, 0));
    list.Note("m", "main.zsb", 1, 4);
    list.Commit("m");
    EXPECT_EQ(list.Item(0).Positions.size(), 1u);   // a pair is held once
    list.Clear();
    EXPECT_FALSE(list.IsRead("main.zsb", 4, 1));
}

TEST(ReadList, RecordRoundTripsAndOldOrDamagedRecords) {
    TZunoReadList list;
    list.Note("m", "a.zsb", 0, 3);
    list.Commit("m");
    list.Note("m", "b.zsb", 2, 7);
    list.Commit("m");
    list.Note("box", "c.zsb", 1, 1);                // pending, kept in the record
    TKsMemoryStream s;
    list.SaveRecord(s);
    s.SetPosition(0);
    TZunoReadList loaded;
    loaded.LoadRecord(s, 103);
    EXPECT_EQ(s.Remaining(), 0);
    EXPECT_TRUE(loaded.IsRead("b.zsb", 7, 2));
    EXPECT_EQ(loaded.PendingSource(), "c.zsb");
    loaded.Commit("box");
    EXPECT_TRUE(loaded.IsRead("c.zsb", 1, 1));

    s.SetPosition(0);
    loaded.LoadRecord(s, 99);                       // before the list existed: nothing read
    EXPECT_EQ(loaded.Count(), 0);
    EXPECT_EQ(s.GetPosition(), 0);

    TKsMemoryStream bad;
    const int32_t huge[] = {1, 1, 'a', 0x7FFFFFFF};
    bad.WriteBuffer(huge, sizeof huge);
    bad.SetPosition(0);
    EXPECT_THROW(loaded.LoadRecord(bad, 103), EZunoError);
}

} // namespace
} // namespace zuno

namespace zuno {
namespace {

// A laid-out range copied into a box: the pieces' first pages stacked on one
// page, starting at the selection's offset; the box reads the texts through
// the registry's page store.
TEST(HistoryToBox, LaidOutRangeStacksThePiecesFromTheOffset) {
    TFakePages pages;
    pages.Pages["a.zsb"][2] = "<FONT SIZE=100>A</FONT><CLEAR><FONT SIZE=150>B</FONT><CLEAR><FONT SIZE=200>C</FONT>";
    TZunoHistoryFormatManager formats;
    formats.TextSource = &pages;
    TZunoHistoryFormat& f = formats.GetOrCreate("wide");
    f.Settings = {0, 0, 0, 1000, 400, 4};
    TZunoNewHistory::TNote note;
    note.BoxName = "m";
    note.Source = "a.zsb";
    note.Position = 2;
    formats.NoteBoxPage(note);
    formats.BoxTextChanged("m");

    TZunoBaseList reg;
    reg.SetSize(320, 240);
    reg.TextSource = &pages;
    auto* box = test::addControl<TZunoMes>(reg, reg.ActiveBase(), 0, 0, 1000, 400, "m");
    f.History.CopyToBox(120, 100, *box);
    EXPECT_EQ(box->HistParam2(), -16);
    ASSERT_EQ(box->PageCount(), 1);
    EXPECT_EQ(box->PageIndex(), 0);
    const TWdPage& page = *box->CurrentPage();
    ASSERT_EQ(page.Rows.size(), 2u);
    EXPECT_EQ(page.Rows[0]->Y, -16);            // pixel 120 of the backlog at the top
    EXPECT_EQ(page.Rows[1]->Y, -16 + 150);      // the box's line space is 0
    EXPECT_EQ(box->ReadMode(), 2);

    // A page file that is gone ends the build with what was built.
    pages.Pages.clear();
    box->ClearText(true);
    EXPECT_EQ(box->PageCount(), 1);
    EXPECT_TRUE(box->CurrentPage() == nullptr || box->CurrentPage()->Rows.empty());
}

} // namespace
} // namespace zuno

namespace zuno {
namespace {

// A laid-out entry of a save may claim a height without any pieces.
TEST(HistoryRecord, SelectingOverAnEntryWithoutPiecesCopiesWhatThereIs) {
    TKsMemoryStream s;
    auto put = [&](int32_t v) { s.WriteBuffer(&v, 4); };
    auto text = [&](const std::string& t) { put(int32_t(t.size())); s.WriteBuffer(t.data(), int64_t(t.size())); };
    put(0);                                             // no plain entries
    text(""); put(0); put(0); put(0); put(0); text(""); // nothing pending
    put(0);                                             // no limit
    for (int32_t v : {12, 0, 0, 100, 50, 0})
        put(v);
    put(0); put(-1);
    put(2);                                             // two laid-out entries:
    put(0); put(30);                                    //   no pieces, total height 30
    put(1); text("a.zsb"); put(1); put(0); put(0); put(20); text(""); put(20);
    text("");
    s.SetPosition(0);
    TZunoHistoryFormat f("wide");
    f.History.LoadRecord(s, 135);
    ASSERT_EQ(f.History.Size(), 50);
    TZunoHistData range;
    f.History.SelectRange(0, 50, range);
    ASSERT_EQ(range.Count(), 1);
    EXPECT_EQ(range.Piece(0).Height, 20);
}

} // namespace
} // namespace zuno
