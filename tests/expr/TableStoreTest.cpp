// The table database below the built-ins: TSV lines, cells and escapes, the
// stored form of the tables, and the limits that keep a table in memory.
#include <gtest/gtest.h>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "expr/TDBManager.h"
#include "expr/TParamCollection.h"
#include "expr/TsvReader.h"

using namespace zuno;

namespace {

std::string joined(const std::vector<std::string>& v) {
    std::string out;
    for (size_t i = 0; i < v.size(); ++i)
        out += (i ? "|" : "") + v[i];
    return out;
}

std::string cellsOf(std::string_view line) {
    std::vector<std::string_view> cells;
    splitTsvCells(line, cells);
    return joined(std::vector<std::string>(cells.begin(), cells.end()));
}

std::vector<uint8_t> saved(const TDBManager& db, bool persistent) {
    TKsMemoryStream s;
    db.SaveTables(s, persistent);
    return s.Data();
}

} // namespace

TEST(TsvText, LinesCellsAndEscapes) {
    struct Case {
        std::string bytes;
        const char* lines;
    };
    const Case lines[] = {
        {"a\r\nb\rc\nd", "a|b|c|d"},
        {"a\r\n", "a"},                       // a final line break adds no line
        {"a\n\nb", "a||b"},
        {"a\n\r", "a|"},
        {std::string("a\nb\0c\nd", 7), "a|b"},  // a zero byte ends the text
        {"", ""},
    };
    for (const Case& c : lines)
        EXPECT_EQ(joined(tsvTextLines(c.bytes)), c.lines) << c.bytes;

    const std::pair<const char*, const char*> cells[] = {
        {"a\tb", "a|b"},       {"a\t\tb", "a||b"},     {"a\t", "a"},
        {"\ta", "|a"},         {"", ""},               {"\x81\tx\tz", "\x81\tx|z"},   // 0x81 takes the tab
        {"\t", ""},            {"\t\t", "|"},
    };
    for (const auto& [line, expected] : cells)
        EXPECT_EQ(cellsOf(line), expected) << line;

    const std::pair<const char*, const char*> escapes[] = {
        {"say \\\"x\\\"", "say \"x\""},
        {"a\\\\b", "a\\b"},
        {"a\\nb", "a\r\nb"},
        {"a\\\\nb", "a\\nb"},                  // the escaped backslash is not read again
        {"a\\tb\\", "a\\tb\\"},                // any other backslash stays
        {"\x95\\n", "\x95\\n"},                // 0x5C as a second byte is no backslash
        {"\x95\\\\n", "\x95\\\r\n"},
    };
    for (const auto& [line, expected] : escapes) {
        EXPECT_EQ(unescapeTsv(line), expected) << line;
        EXPECT_EQ(hasTsvEscape(line), std::string(line) != expected) << line;
    }
}

TEST(TableStore, StoredFormBytes) {
    TDBManager db;
    db.AddTable("T", false);
    TDBCustomTable& t = *db.ActiveTable();
    ASSERT_TRUE(t.AddField("n", PT_INT, 4));
    ASSERT_TRUE(t.AddField("s", PT_STR, 3));
    ASSERT_TRUE(t.AppendRecord());
    t.WriteInt(0, 0, 258);
    t.WriteStr(0, 1, "ab");
    db.AddTable("P", true);       // persistent: not in the game tables' record
    db.SetActive("t");
    const std::vector<uint8_t> expected = {
        100, 0, 0, 0,                   // version
        1, 0, 0, 0,                     // tables
        0,                              // class code
        1, 0, 0, 0, 'T',                // name
        0,                              // persistent
        2, 0, 0, 0,                     // fields
        4, 0, 0, 0, 1, 0, 0, 0, 'n', 1,
        3, 0, 0, 0, 1, 0, 0, 0, 's', 4,
        1, 0, 0, 0,                     // records
        2, 1, 0, 0, 'a', 'b', 0,        // the record block
        0, 0, 0, 0,                     // current record
        1, 0, 0, 0, 'T',                // active table
    };
    EXPECT_EQ(saved(db, false), expected);
    const std::vector<uint8_t> persistent = {100, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 'P', 1,
                                             0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(saved(db, true), persistent);
}

TEST(TableStore, LoadingReplacesOnlyTablesOfThatKind) {
    TDBManager db;
    db.AddTable("game1", false);
    db.AddTable("kept", true);
    db.ActiveTable()->AddField("v", PT_FLOAT, 10);
    db.ActiveTable()->AppendRecord();
    db.ActiveTable()->WriteFloat(0, 0, 1.25L);
    db.AddTable("game2", false);
    db.ActiveTable()->AddField("x", PT_BOOL, 1);
    db.SetActive("kept");
    const std::vector<uint8_t> games = saved(db, false);
    const std::vector<uint8_t> status = saved(db, true);

    TDBManager other;
    other.AddTable("old", false);
    other.AddTable("KEPT", true);
    TKsMemoryStream g(games);
    other.LoadTables(g, false);
    EXPECT_EQ(g.Remaining(), 0);
    // The game tables are replaced; the persistent one stays, and the active
    // table is found by name among all of them.
    ASSERT_EQ(other.Count(), 3);
    EXPECT_EQ(other.Items(0)->TableName, "KEPT");
    EXPECT_EQ(other.Items(1)->TableName, "game1");
    EXPECT_EQ(other.Items(2)->TableName, "game2");
    EXPECT_EQ(other.Items(2)->Fields.Items(0).FieldType, PT_BOOL);
    EXPECT_EQ(other.ActiveTable(), other.Items(0));

    TKsMemoryStream st(status);
    other.LoadTables(st, true);
    ASSERT_EQ(other.Count(), 3);
    EXPECT_EQ(other.ActiveTable()->TableName, "kept");      // the last loaded table
    TReal v = 0;
    EXPECT_TRUE(other.ActiveTable()->ReadFloat(0, 0, v));
    EXPECT_EQ(v, 1.25L);
    EXPECT_EQ(other.ActiveTable()->GetRecNo(), 0);
    EXPECT_EQ(saved(other, true), status);
}

TEST(TableStore, BrokenStoredFormsFailWithoutAllocating) {
    TDBManager db;
    db.AddTable("t", false);
    db.ActiveTable()->AddField("s", PT_STR, 5);
    db.ActiveTable()->AppendRecord();
    const std::vector<uint8_t> good = saved(db, false);
    // Offsets into `good`: table count 4, field count 15, field size 19, field type 28, record count 29.
    struct Case {
        const char* what;
        size_t at;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"table count", 4, {0xFF, 0xFF, 0xFF, 0x7F}},
        {"class code", 8, {1}},
        {"field count", 15, {0xFF, 0xFF, 0xFF, 0x7F}},
        {"text size 0", 19, {0, 0, 0, 0}},
        {"huge field", 19, {0xFF, 0xFF, 0xFF, 0x7F}},
        {"int of 5 bytes", 28, {1}},
        {"type 9", 28, {9}},
        {"record count", 29, {0xFF, 0xFF, 0xFF, 0x7F}},
        {"negative records", 29, {0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + static_cast<std::ptrdiff_t>(c.at));
        TDBManager other;
        TKsMemoryStream s(bad);
        EXPECT_THROW(other.LoadTables(s, false), EZunoError) << c.what;
    }
    for (size_t cut = 0; cut < good.size(); ++cut) {
        TDBManager other;
        TKsMemoryStream s(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)));
        EXPECT_THROW(other.LoadTables(s, false), EZunoError) << cut;
    }
}

TEST(TableStore, LimitsKeepTablesInMemory) {
    // A record holds at most kDBMaxRecordSize bytes.
    TDBTable t("t", false);
    EXPECT_EQ(dbFieldSize(PT_STR, INT32_MAX), kDBMaxRecordSize);
    EXPECT_EQ(dbFieldSize(PT_STR, -3), 1);
    EXPECT_TRUE(t.AddField("huge", PT_STR, dbFieldSize(PT_STR, INT32_MAX)));
    EXPECT_FALSE(t.AddField("x", PT_BOOL, 1));
    EXPECT_EQ(t.Fields.Count(), 1);

    // A header of 100 000 columns and a cell of 3 MB load without trouble:
    // the cell is cut to its field.
    std::string header, row;
    for (int i = 0; i < 100000; ++i) {
        header += "c" + std::to_string(i) + (i % 2 ? " int\t" : "\t");
        row += std::to_string(i) + "\t";
    }
    std::string bigCell(3 * 1024 * 1024, 'x');
    TDBTable wide("wide", false);
    wide.LoadTsv({header, row, bigCell + "\t7"});
    ASSERT_EQ(wide.Fields.Count(), 100000);
    EXPECT_EQ(wide.RecordCount(), 2);
    int32_t v = 0;
    EXPECT_TRUE(wide.ReadInt(0, 99999, v));
    EXPECT_EQ(v, 99999);
    std::string s;
    EXPECT_TRUE(wide.ReadStr(1, 0, s));
    EXPECT_EQ(s.size(), 80u);
    EXPECT_TRUE(wide.ReadInt(1, 1, v));
    EXPECT_EQ(v, 7);

    // A field that would take every record past the table's byte limit is
    // refused before anything is allocated; so is a record past the count limit.
    TDBTable big("big", false);
    ASSERT_TRUE(big.AddField("b", PT_BOOL, 1));
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(big.AppendRecord());
    EXPECT_FALSE(big.AddField("s", PT_STR, kDBMaxRecordSize - 1));
    EXPECT_EQ(big.Fields.Count(), 1);
    EXPECT_TRUE(big.AddField("s", PT_STR, 100));
    TDBTable many("many", false);
    for (int32_t i = 0; i < kDBMaxRecords; ++i)
        ASSERT_TRUE(many.AppendRecord());
    EXPECT_FALSE(many.AppendRecord());
    EXPECT_EQ(many.RecordCount(), kDBMaxRecords);
}

TEST(TableStore, ShrinkRecordsRemovesOneFieldsBytes) {
    TDBTable t("t", false);
    t.AddField("a", PT_INT, 4);
    t.AddField("b", PT_BOOL, 1);
    t.AddField("c", PT_INT, 4);
    t.AppendRecord();
    t.WriteInt(0, 0, 1);
    t.WriteBool(0, 1, true);
    t.WriteInt(0, 2, 3);
    t.ShrinkRecords(1);
    const uint8_t* r = t.RecordAt(0);
    EXPECT_EQ(getLE32(r), 1u);
    EXPECT_EQ(getLE32(r + 4), 3u);
}
