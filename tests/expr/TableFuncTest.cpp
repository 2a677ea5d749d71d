// The DB built-in functions, called through the dispatcher as the evaluator
// calls them. Most tests are scripts: rows of (function, arguments, expected
// result read as text) run in order against one database.
#include <gtest/gtest.h>

#include <map>

#include "core/Cp932.h"
#include "expr/TDBManager.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"

using namespace zuno;

namespace {

struct Step {
    const char* name;
    std::vector<std::string> args;
    const char* expected;       // the result read as text; nullptr: not checked
};

class TableFunc : public testing::Test {
protected:
    TParamCollection t;
    TSysFuncMan m{t};
    std::map<std::string, std::string> files;      // the game files DBLoadTsvFile may read

    void SetUp() override {
        m.ReadGameFile = [this](const std::string& name, std::string& bytes) {
            auto it = files.find(name);
            if (it == files.end())
                return false;
            bytes = it->second;
            return true;
        };
    }

    // Argument specs: "i:7" int32, "f:2.5" real, "b:1" flag, "s:text" text
    // (UTF-8 in the source), "r:bytes" text taken as bytes, "v:name" a variable.
    std::unique_ptr<TCustomParam> arg(const std::string& text) {
        const std::string kind = text.substr(0, 2), v = text.substr(2);
        if (kind == "v:") {
            auto r = std::make_unique<TParamVar>(v);
            r->Bind(t.Find(v));
            EXPECT_NE(r->Target(), nullptr) << v;
            return r;
        }
        std::unique_ptr<TCustomParam> p;
        if (kind == "i:") { p = std::make_unique<TParamInt>(); p->SetInteger(*tryStrToInt(v)); }
        else if (kind == "f:") { p = std::make_unique<TParamFloat>(); p->SetFloat(*tryStrToFloat(v)); }
        else if (kind == "b:") { p = std::make_unique<TParamFlag>(); p->SetBoolean(v == "1"); }
        else if (kind == "r:") { p = std::make_unique<TParamStr>(); p->SetString(v); }
        else { p = std::make_unique<TParamStr>(); p->SetString(sjis(v)); }
        return p;
    }

    std::string call(const char* name, const std::vector<std::string>& specs) {
        const int n = sysFuncIndexOf(name);
        EXPECT_GE(n, 0) << name;
        TParamArgs args;
        for (const std::string& s : specs)
            args.push_back(arg(s));
        auto R = TCustomParam::CreateParam(kSysFuncs[n].ResultType);
        m.Call(*R, n, args);
        return cp932ToUtf8(R->AsString());
    }

    void run(const std::vector<Step>& steps) {
        int i = 0;
        for (const Step& s : steps) {
            const std::string got = call(s.name, s.args);
            if (s.expected) {
                EXPECT_EQ(got, s.expected) << "step " << i << ": " << s.name;
            }
            ++i;
        }
    }

    // An array variable of texts (UTF-8 in the source), ints or flags.
    void texts(const char* name, const std::vector<std::string>& v) {
        TCustomParam* p = t.CreateVariable(name, PT_STR, vsGlobal)->Value();
        p->SetDims({static_cast<int32_t>(v.size())});
        for (size_t i = 0; i < v.size(); ++i)
            p->SetStringAt(static_cast<int>(i), sjis(v[i]));
    }
    void ints(const char* name, const std::vector<int32_t>& v) {
        TCustomParam* p = t.CreateVariable(name, PT_INT, vsGlobal)->Value();
        p->SetDims({static_cast<int32_t>(v.size())});
        for (size_t i = 0; i < v.size(); ++i)
            p->SetIntegerAt(static_cast<int>(i), v[i]);
    }
    void flags(const char* name, const std::vector<bool>& v) {
        TCustomParam* p = t.CreateVariable(name, PT_BOOL, vsGlobal)->Value();
        p->SetDims({static_cast<int32_t>(v.size())});
        for (size_t i = 0; i < v.size(); ++i)
            p->SetBooleanAt(static_cast<int>(i), v[i]);
    }

    // The active table's field column read as text, records joined by '|'.
    std::string column(const char* field) {
        TDBCustomTable* table = m.Tables().ActiveTable();
        std::string out;
        for (int32_t r = 0; table && r < table->RecordCount(); ++r) {
            std::string v;
            table->ReadStr(r, table->Fields.IndexOf(field), v);
            out += (r ? "|" : "") + cp932ToUtf8(v);
        }
        return out;
    }

    // A table "chars" with name (text 10), hp int, rate float, alive bool and the rows given.
    void characters() {
        run({{"DBCreateTable", {"s:chars", "b:0"}, "TRUE"},
             {"DBAddField", {"s:name", "i:4", "i:10"}, "TRUE"},
             {"DBAddField", {"s:hp", "i:1"}, "TRUE"},
             {"DBAddField", {"s:rate", "i:2"}, "TRUE"},
             {"DBAddField", {"s:alive", "i:3"}, "TRUE"},
             {"DBInsert", {"s:Alice", "i:30", "f:1.5", "b:1"}, "TRUE"},
             {"DBInsert", {"s:bob", "i:12", "f:0.5", "b:0"}, "TRUE"},
             {"DBInsert", {"s:Carol", "i:30", "f:2.5", "b:1"}, "TRUE"},
             {"DBInsert", {"s:12", "i:5", "f:-1", "b:0"}, "TRUE"}});
    }
};

} // namespace

TEST_F(TableFunc, TablesAreCreatedActivatedAndDeletedByName) {
    run({{"DBGetActive", {}, ""},
         {"DBCreateTable", {"s:", "b:0"}, "FALSE"},
         {"DBCreateTable", {"s:Items", "b:0"}, "TRUE"},
         {"DBCreateTable", {"s:ITEMS", "b:1"}, "FALSE"},           // names ignore ASCII case
         {"DBCreateTable", {"s:party", "b:1"}, "TRUE"},
         {"DBGetActive", {}, "party"},                             // a new table becomes active
         {"DBSetActive", {"s:items"}, "TRUE"},
         {"DBGetActive", {}, "Items"},
         {"DBSetActive", {"s:nope"}, "FALSE"},
         {"DBGetActive", {}, "Items"},
         {"DBRecordCount", {}, "0"},
         {"DBRecordCount", {"s:nope"}, "-1"},
         {"DBGetRecNo", {}, "-1"},
         // Deleting an earlier table keeps the active one active.
         {"DBCreateTable", {"s:third", "b:0"}, "TRUE"},
         {"DBDeleteTable", {"s:items"}, nullptr},
         {"DBGetActive", {}, "third"},
         {"DBDeleteTable", {"s:missing"}, nullptr},
         {"DBGetActive", {}, "third"},
         {"DBDeleteTable", {}, nullptr},                          // the active table itself
         {"DBGetActive", {}, ""},
         {"DBRecordCount", {}, "-1"},
         {"DBDeleteTable", {}, nullptr},                          // nothing active: nothing happens
         {"DBSetActive", {"s:party"}, "TRUE"}});
    EXPECT_EQ(m.Tables().Count(), 1);
}

TEST_F(TableFunc, WithoutActiveTableNothingHappens) {
    ints("k", {1});
    run({{"DBAddField", {"s:a", "i:1"}, "FALSE"},
         {"DBInsert", {"i:1"}, "FALSE"},
         {"DBSetRecNo", {"i:0"}, "FALSE"},
         {"DBFindFirst", {}, "FALSE"},
         {"DBGetInt", {"s:a"}, "0"},
         {"DBGetFloat", {"s:a"}, "0"},
         {"DBGetBool", {"s:a"}, "FALSE"},
         {"DBGetStr", {"s:a"}, ""},
         {"DBSetInt", {"s:a", "i:1"}, "FALSE"},
         {"DBLocate", {"s:a", "i:1"}, "FALSE"},
         {"DBSort", {"s:a", "b:0"}, "FALSE"},
         {"DBCopy", {"s:a"}, "FALSE"},
         {"DBCopyTable", {"s:a"}, "FALSE"},
         {"DBInsertTable", {"s:a"}, "FALSE"},
         {"DBClearRecord", {}, "FALSE"},
         {"DBLoadTsvFile", {"s:a.tsv"}, "FALSE"}});
}

TEST_F(TableFunc, AddFieldTypesAndExistingRecords) {
    run({{"DBCreateTable", {"s:t", "b:0"}, "TRUE"},
         {"DBAddField", {"s:bad", "i:0"}, "FALSE"},
         {"DBAddField", {"s:bad", "i:5"}, "FALSE"},
         {"DBAddField", {"s:n", "i:1"}, "TRUE"},
         {"DBInsert", {"i:7"}, "TRUE"},
         {"DBInsert", {"i:8"}, "TRUE"},
         // Fields added later are zero in the records that exist.
         {"DBAddField", {"s:x", "i:2"}, "TRUE"},
         {"DBAddField", {"s:f", "i:3"}, "TRUE"},
         {"DBAddField", {"s:s", "i:4", "i:8"}, "TRUE"},
         {"DBAddField", {"s:empty", "i:4"}, "TRUE"},             // a text field without a size
         {"DBGetInt", {"s:n"}, "8"},
         {"DBGetFloat", {"s:x"}, "0"},
         {"DBGetBool", {"s:f"}, "FALSE"},
         {"DBGetStr", {"s:s"}, ""},
         {"DBSetStr", {"s:empty", "s:abc"}, "TRUE"},
         {"DBGetStr", {"s:empty"}, ""},                         // it only holds the empty text
         {"DBSetRecNo", {"i:0"}, "TRUE"},
         {"DBGetInt", {"s:N"}, "7"},                             // field names ignore ASCII case
         {"DBGetStr", {"s:x"}, "0"}});
    EXPECT_EQ(m.Tables().ActiveTable()->Fields.RecordSize(), 4 + 10 + 1 + 9 + 1);
}

TEST_F(TableFunc, RecordNumbersAndMoves) {
    characters();
    run({{"DBGetRecNo", {}, "3"},                                // the last insert is current
         {"DBSetRecNo", {"i:4"}, "FALSE"},                       // = count: fails, keeps the record
         {"DBGetRecNo", {}, "3"},
         {"DBFindNext", {}, "FALSE"},
         {"DBFindPrior", {}, "TRUE"},
         {"DBGetStr", {"s:name"}, "Carol"},
         {"DBFindFirst", {}, "TRUE"},
         {"DBFindPrior", {}, "FALSE"},
         {"DBGetRecNo", {}, "0"},
         {"DBFindLast", {}, "TRUE"},
         {"DBGetRecNo", {}, "3"},
         {"DBSetRecNo", {"i:-5"}, "TRUE"},                       // any negative: no current record
         {"DBGetRecNo", {}, "-1"},
         {"DBFindNext", {}, "FALSE"},
         {"DBGetStr", {"s:name"}, ""},
         {"DBSetInt", {"s:hp", "i:1"}, "FALSE"},
         {"DBGetRecNo", {"i:99"}, "-1"}});                       // the argument is ignored
}

TEST_F(TableFunc, DeletingRecords) {
    characters();
    run({{"DBSetRecNo", {"i:1"}, "TRUE"},
         {"DBDelete", {}, "FALSE"},                              // R is not set
         {"DBGetRecNo", {}, "1"},                                // the following record moved in
         {"DBGetStr", {"s:name"}, "Carol"},
         {"DBFindLast", {}, "TRUE"},
         {"DBDelete", {}, nullptr},                              // the last: the new last is current
         {"DBGetRecNo", {}, "1"},
         {"DBGetStr", {"s:name"}, "Carol"},
         {"DBRecordCount", {}, "2"},
         {"DBSetRecNo", {"i:-1"}, "TRUE"},
         {"DBDelete", {}, nullptr},                              // no current record: nothing
         {"DBRecordCount", {}, "2"},
         {"DBClearRecord", {"s:chars"}, "TRUE"},
         {"DBRecordCount", {}, "0"},
         {"DBInsert", {"s:only"}, "TRUE"},
         {"DBDelete", {}, nullptr},
         {"DBGetRecNo", {}, "-1"},
         {"DBClearRecord", {"s:nope"}, "FALSE"}});
}

TEST_F(TableFunc, ReadingFieldsAsAnotherType) {
    run({{"DBCreateTable", {"s:t", "b:0"}, "TRUE"},
         {"DBAddField", {"s:i", "i:1"}, nullptr},
         {"DBAddField", {"s:r", "i:2"}, nullptr},
         {"DBAddField", {"s:f", "i:3"}, nullptr},
         {"DBAddField", {"s:s", "i:4", "i:20"}, nullptr},
         {"DBInsert", {"i:-12", "f:2.5", "b:1", "s:12"}, "TRUE"}});
    const Step reads[] = {
        {"DBGetInt", {"s:i"}, "-12"},     {"DBGetFloat", {"s:i"}, "-12"},
        {"DBGetBool", {"s:i"}, "TRUE"},   {"DBGetStr", {"s:i"}, "-12"},
        {"DBGetInt", {"s:r"}, "2"},       {"DBGetFloat", {"s:r"}, "2.5"},      // ties to even
        {"DBGetBool", {"s:r"}, "TRUE"},   {"DBGetStr", {"s:r"}, "2.5"},
        {"DBGetInt", {"s:f"}, "1"},       {"DBGetFloat", {"s:f"}, "1"},
        {"DBGetBool", {"s:f"}, "TRUE"},   {"DBGetStr", {"s:f"}, "TRUE"},
        {"DBGetInt", {"s:s"}, "12"},      {"DBGetFloat", {"s:s"}, "12"},
        {"DBGetBool", {"s:s"}, "FALSE"},  {"DBGetStr", {"s:s"}, "12"},
        {"DBGetInt", {"s:none"}, "0"},    {"DBGetStr", {"s:none"}, ""},
    };
    for (const Step& s : reads)
        EXPECT_EQ(call(s.name, s.args), s.expected) << s.name << " " << s.args[0];
}

TEST_F(TableFunc, StoringIntoFieldsOfAnotherType) {
    run({{"DBCreateTable", {"s:t", "b:0"}, "TRUE"},
         {"DBAddField", {"s:i", "i:1"}, nullptr},
         {"DBAddField", {"s:r", "i:2"}, nullptr},
         {"DBAddField", {"s:f", "i:3"}, nullptr},
         {"DBAddField", {"s:s", "i:4", "i:6"}, nullptr},
         {"DBInsert", {}, "TRUE"}});
    struct Case {
        const char* setter;
        const char* field;
        const char* value;
        const char* read;       // the field read back as text
    };
    const Case cases[] = {
        {"DBSetFloat", "i", "f:2.5", "2"},      {"DBSetFloat", "i", "f:3.5", "4"},
        {"DBSetFloat", "i", "f:-2.5", "-2"},    {"DBSetFloat", "i", "f:2.6", "3"},
        {"DBSetBool", "i", "b:1", "1"},         {"DBSetStr", "i", "s:42", "42"},
        {"DBSetStr", "i", "s:4x", "0"},         {"DBSetStr", "i", "s:$10", "16"},
        {"DBSetInt", "r", "i:7", "7"},          {"DBSetStr", "r", "s:0.25", "0.25"},
        {"DBSetStr", "r", "s:abc", "0"},        {"DBSetBool", "r", "b:1", "1"},
        {"DBSetInt", "f", "i:-3", "TRUE"},      {"DBSetFloat", "f", "f:0", "FALSE"},
        {"DBSetStr", "f", "s:TRUE", "TRUE"},    {"DBSetStr", "f", "s:true", "FALSE"},
        {"DBSetInt", "s", "i:-45", "-45"},      {"DBSetFloat", "s", "f:1.5", "1.5"},
        {"DBSetBool", "s", "b:0", "FALSE"},     {"DBSetStr", "s", "s:abcdefgh", "abcdef"},   // cut to 6 bytes
        {"DBSetStr", "s", "s:abあい", "abあい"}, {"DBSetStr", "s", "s:abcdeあ", "abcde\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(call(c.setter, {std::string("s:") + c.field, c.value}), "TRUE") << c.setter << " " << c.value;
        EXPECT_EQ(call("DBGetStr", {std::string("s:") + c.field}), c.read) << c.setter << " " << c.value;
    }
    // The cut may fall inside a double-byte character: the lead byte stays alone.
    TDBCustomTable* table = m.Tables().ActiveTable();
    std::string raw;
    table->ReadStr(0, 3, raw);
    EXPECT_EQ(raw, "abcde\x82");
    EXPECT_EQ(call("DBSetStr", {"s:missing", "s:x"}), "FALSE");
}

TEST_F(TableFunc, InsertUsesTheSetterOfEachArgumentsType) {
    run({{"DBCreateTable", {"s:t", "b:0"}, "TRUE"},
         {"DBAddField", {"s:a", "i:1"}, nullptr},
         {"DBAddField", {"s:b", "i:4", "i:10"}, nullptr},
         {"DBInsert", {"f:2.5", "f:2.5", "i:9"}, "TRUE"},        // the third argument has no field
         {"DBGetInt", {"s:a"}, "2"},
         {"DBGetStr", {"s:b"}, "2.5"},
         {"DBInsert", {"s:17"}, "TRUE"},                          // missing arguments leave zeros
         {"DBGetInt", {"s:a"}, "17"},
         {"DBGetStr", {"s:b"}, ""},
         {"DBRecordCount", {"s:T"}, "2"}});
}

TEST_F(TableFunc, Locate) {
    characters();
    texts("byName", {"name"});
    texts("byHpAndAlive", {"hp", "alive"});
    texts("byNone", {"hp", "nofield"});
    texts("two", {"30", "TRUE"});
    ints("hp30", {30});
    ints("hp30alive", {30, 1});
    flags("dead", {false});
    struct Case {
        std::vector<std::string> args;
        const char* found;
        const char* recNo;      // afterwards
    };
    const Case cases[] = {
        {{"s:name", "s:bob"}, "TRUE", "1"},
        {{"s:name", "s:BOB"}, "FALSE", "1"},                          // unchanged when none
        {{"s:name", "s:BOB", "b:1"}, "TRUE", "1"},
        {{"s:NAME", "s:carol", "b:1"}, "TRUE", "2"},
        {{"s:name", "s:aro", "b:0", "b:1"}, "TRUE", "2"},             // partial
        {{"s:name", "s:ARO", "b:0", "b:1"}, "FALSE", "2"},
        {{"s:name", "s:ARO", "b:1", "b:1"}, "TRUE", "2"},
        {{"s:name", "s:", "b:0", "b:1"}, "FALSE", "2"},               // an empty part is never found
        {{"s:name", "s:", "b:0", "b:0"}, "FALSE", "2"},
        {{"s:hp", "v:hp30"}, "TRUE", "0"},                            // the first selected record
        {{"v:byHpAndAlive", "v:hp30alive"}, "TRUE", "0"},
        {{"v:byHpAndAlive", "v:two"}, "TRUE", "0"},                    // texts: hp "30", alive "TRUE"
        {{"s:alive", "v:dead"}, "TRUE", "1"},
        {{"v:byNone", "v:hp30alive"}, "FALSE", "1"},                   // a key naming no field: nothing
        {{"s:name", "i:12"}, "TRUE", "3"},                            // int against text: its parse
        {{"s:name", "i:0"}, "TRUE", "0"},                             // a text that is no number is 0
        {{"s:rate", "f:0.5"}, "TRUE", "1"},
        {{"s:rate", "s:2.5"}, "TRUE", "2"},
        {{"s:hp", "s:5"}, "TRUE", "3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(call("DBLocate", c.args), c.found) << c.args[0] << " " << c.args[1];
        EXPECT_EQ(call("DBGetRecNo", {}), c.recNo) << c.args[0] << " " << c.args[1];
    }
}

TEST_F(TableFunc, SortByKeys) {
    characters();
    texts("hpName", {"hp", "name"});
    texts("withMissing", {"nofield", "rate"});
    texts("three", {"alive", "hp", "name"});
    flags("down", {true, false});
    flags("downOnly", {true});
    struct Case {
        std::vector<std::string> args;
        const char* field;      // the column checked afterwards
        const char* values;
    };
    const Case cases[] = {
        {{"s:name", "b:0"}, "name", "12|Alice|Carol|bob"},              // bytes: upper case before lower
        {{"s:name", "b:1"}, "name", "bob|Carol|Alice|12"},
        {{"v:hpName", "v:down"}, "name", "Alice|Carol|bob|12"},          // hp descending, then name
        {{"v:withMissing", "v:down"}, "name", "12|bob|Alice|Carol"},     // the missing field is skipped
        {{"s:rate", "v:downOnly"}, "name", "Carol|Alice|bob|12"},
        {{"s:alive", "b:0"}, "alive", "FALSE|FALSE|TRUE|TRUE"},          // flags: false first
        {{"v:three", "v:downOnly"}, "alive", "TRUE|TRUE|FALSE|FALSE"},   // one flag: only the first key
        {{"s:nofield", "b:1"}, "alive", "TRUE|TRUE|FALSE|FALSE"},        // no key: no change
    };
    for (const Case& c : cases) {
        EXPECT_EQ(call("DBSort", c.args), "TRUE");
        EXPECT_EQ(column(c.field), c.values) << c.args[0];
    }
    // The current record keeps its number.
    run({{"DBSetRecNo", {"i:1"}, "TRUE"},
         {"DBSort", {"s:hp", "b:0"}, "TRUE"},
         {"DBGetRecNo", {}, "1"},
         {"DBGetInt", {"s:hp"}, "12"}});
}

TEST_F(TableFunc, DirectAccessLeavesTheActiveTableAlone) {
    characters();
    run({{"DBCreateTable", {"s:other", "b:0"}, "TRUE"},
         {"DBGetActive", {}, "other"},
         {"DBDirectGetInt", {"s:CHARS", "s:name", "s:bob", "b:0", "b:0", "s:hp", "i:-1"}, "12"},
         {"DBDirectGetStr", {"s:chars", "s:hp", "i:30", "b:0", "b:0", "s:name", "s:none"}, "Alice"},
         {"DBDirectGetFloat", {"s:chars", "s:name", "s:CAR", "b:1", "b:1", "s:rate", "f:9"}, "2.5"},
         {"DBDirectGetBool", {"s:chars", "s:name", "s:bob", "b:0", "b:0", "s:alive", "b:1"}, "FALSE"},
         // Not found: the default, read as the function's type.
         {"DBDirectGetInt", {"s:chars", "s:name", "s:zed", "b:0", "b:0", "s:hp", "s:-1"}, "-1"},
         {"DBDirectGetStr", {"s:chars", "s:name", "s:bob", "b:0", "b:0", "s:nofield", "i:5"}, "5"},
         {"DBDirectGetFloat", {"s:nope", "s:name", "s:bob", "b:0", "b:0", "s:rate", "f:9"}, "9"},
         {"DBDirectGetBool", {"s:chars", "s:nofield", "s:bob", "b:0", "b:0", "s:alive", "b:1"}, "TRUE"},
         {"DBDirectSetInt", {"s:chars", "s:name", "s:bob", "b:0", "b:0", "s:hp", "f:99.5"}, "TRUE"},
         {"DBDirectSetStr", {"s:chars", "s:name", "s:bob", "b:0", "b:0", "s:name", "s:Bobby"}, "TRUE"},
         {"DBDirectSetBool", {"s:chars", "s:name", "s:Bobby", "b:0", "b:0", "s:alive", "b:1"}, "TRUE"},
         {"DBDirectSetFloat", {"s:chars", "s:name", "s:zed", "b:0", "b:0", "s:rate", "f:1"}, "FALSE"},
         {"DBDirectSetInt", {"s:chars", "s:name", "s:Bobby", "b:0", "b:0", "s:nofield", "i:1"}, "FALSE"},
         {"DBGetActive", {}, "other"},
         {"DBSetActive", {"s:chars"}, "TRUE"},
         {"DBGetRecNo", {}, "3"}});
    EXPECT_EQ(column("hp"), "30|99|30|5");             // 99.5 read as int32 first
    EXPECT_EQ(column("name"), "Alice|Bobby|Carol|12");
    EXPECT_EQ(column("alive"), "TRUE|TRUE|TRUE|FALSE");
}

TEST_F(TableFunc, CopyTableReplacesTheDestination) {
    characters();
    texts("n", {"hp"});
    ints("v", {30});
    run({{"DBCreateTable", {"s:dest", "b:0"}, "TRUE"},
         {"DBAddField", {"s:junk", "i:1"}, "TRUE"},
         {"DBInsert", {"i:1"}, "TRUE"},
         {"DBSetActive", {"s:chars"}, "TRUE"},
         {"DBCopyTable", {"s:chars"}, "FALSE"},                     // onto itself
         {"DBCopyTable", {"s:missing"}, "FALSE"},
         {"DBCopyTable", {"s:dest", "v:n", "v:v"}, "TRUE"},
         {"DBRecordCount", {"s:dest"}, "2"},
         {"DBGetActive", {}, "chars"},
         {"DBSetActive", {"s:dest"}, "TRUE"},
         {"DBGetRecNo", {}, "1"},
         {"DBGetStr", {"s:junk"}, ""},
         {"DBFindFirst", {}, "TRUE"},
         {"DBGetStr", {"s:name"}, "Alice"},
         {"DBGetFloat", {"s:rate"}, "1.5"},
         {"DBFindNext", {}, "TRUE"},
         {"DBGetStr", {"s:name"}, "Carol"},
         {"DBSetActive", {"s:chars"}, "TRUE"},
         {"DBCopyTable", {"s:dest", "v:n"}, "TRUE"},                 // names without values: all records
         {"DBRecordCount", {"s:dest"}, "4"}});
}

TEST_F(TableFunc, InsertTableAndCopyNeedEqualFields) {
    characters();
    texts("n", {"alive"});
    flags("v", {true});
    run({{"DBInsertTable", {"s:missing"}, "FALSE"},
         {"DBInsertTable", {"s:chars", "v:n", "v:v"}, "TRUE"},     // from itself: the selection of before
         {"DBRecordCount", {}, "6"},
         {"DBGetStr", {"s:name"}, "Carol"},
         {"DBCopyTable", {"s:chars"}, "FALSE"}});
    // A table with the same fields gets appended rows; one whose field name
    // differs in letter case does not.
    run({{"DBCreateTable", {"s:same", "b:0"}, "TRUE"},
         {"DBAddField", {"s:name", "i:4", "i:10"}, "TRUE"},
         {"DBAddField", {"s:hp", "i:1"}, "TRUE"},
         {"DBAddField", {"s:rate", "i:2"}, "TRUE"},
         {"DBAddField", {"s:alive", "i:3"}, "TRUE"},
         {"DBInsertTable", {"s:chars", "v:n", "v:v"}, "TRUE"},
         {"DBRecordCount", {}, "4"},
         {"DBCreateTable", {"s:cased", "b:0"}, "TRUE"},
         {"DBAddField", {"s:Name", "i:4", "i:10"}, "TRUE"},
         {"DBAddField", {"s:hp", "i:1"}, "TRUE"},
         {"DBAddField", {"s:rate", "i:2"}, "TRUE"},
         {"DBAddField", {"s:alive", "i:3"}, "TRUE"},
         {"DBInsertTable", {"s:chars"}, "FALSE"},
         {"DBRecordCount", {}, "0"},
         {"DBSetActive", {"s:chars"}, "TRUE"},
         {"DBSetRecNo", {"i:1"}, "TRUE"},
         {"DBCopy", {"s:cased"}, "FALSE"},
         {"DBCopy", {"s:same"}, "TRUE"},
         {"DBCopy", {"s:chars"}, "TRUE"},                             // onto itself: the current record
         {"DBRecordCount", {}, "7"},
         {"DBGetStr", {"s:name"}, "bob"},
         {"DBGetRecNo", {}, "6"},
         {"DBSetRecNo", {"i:-1"}, "TRUE"},
         {"DBCopy", {"s:same"}, "FALSE"},                             // no current record
         {"DBSetActive", {"s:same"}, "TRUE"},
         {"DBFindLast", {}, "TRUE"},
         {"DBGetStr", {"s:name"}, "bob"},
         {"DBGetInt", {"s:hp"}, "12"}});
}

TEST_F(TableFunc, ClearTableRemovesPersistentTablesResetKeepsThem) {
    run({{"DBCreateTable", {"s:game", "b:0"}, "TRUE"},
         {"DBCreateTable", {"s:kept", "b:1"}, "TRUE"}});
    m.Tables().ResetTables();
    run({{"DBGetActive", {}, ""},
         {"DBRecordCount", {"s:game"}, "-1"},
         {"DBRecordCount", {"s:kept"}, "0"},
         {"DBClearTable", {}, "FALSE"},
         {"DBRecordCount", {"s:kept"}, "-1"}});
    EXPECT_EQ(m.Tables().Count(), 0);
}

TEST_F(TableFunc, LoadTsvFile) {
    files["items.tsv"] = sjis("id int\tname\tprice float 4\tok bool\tcode str 3\tnote\r\n"
                              "1\tSword\t12.5\tTRUE\tabcdef\tsays \\\"hi\\\"\r\n"
                              "\r\n"
                              "2\tB\\nob\t\ttrue\n"
                              "x\t盾\t1e3\tTRUE\tあい\tback\\\\slash \\t\r"
                              "3\n");
    run({{"DBCreateTable", {"s:items", "b:0"}, "TRUE"},
         {"DBAddField", {"s:old", "i:1"}, "TRUE"},
         {"DBInsert", {"i:5"}, "TRUE"},
         {"DBLoadTsvFile", {"s:items.tsv"}, "FALSE"},               // R is not set
         {"DBRecordCount", {}, "4"},
         {"DBGetRecNo", {}, "3"},
         {"DBGetInt", {"s:old"}, "0"}});                            // the old fields are gone
    const TDBFieldList& f = m.Tables().ActiveTable()->Fields;
    ASSERT_EQ(f.Count(), 6);
    const struct { const char* name; uint8_t type; int32_t size; } fields[] = {
        {"id", PT_INT, 4}, {"name", PT_STR, 81}, {"price", PT_FLOAT, 10},
        {"ok", PT_BOOL, 1}, {"code", PT_STR, 4}, {"note", PT_STR, 81}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(f.Items(i).FieldName, fields[i].name);
        EXPECT_EQ(f.Items(i).FieldType, fields[i].type) << fields[i].name;
        EXPECT_EQ(f.Items(i).FieldSize, fields[i].size) << fields[i].name;
    }
    EXPECT_EQ(column("id"), "1|2|0|3");
    EXPECT_EQ(column("name"), "Sword|B\r\nob|盾|");
    EXPECT_EQ(column("price"), "12.5|0|1000|0");
    EXPECT_EQ(column("ok"), "TRUE|FALSE|TRUE|FALSE");
    EXPECT_EQ(column("code"), "abc||あ\xEF\xBF\xBD|");
    EXPECT_EQ(column("note"), "says \"hi\"||back\\slash \\t|");

    // A missing or empty file leaves the table as it is.
    files["empty.tsv"] = "";
    run({{"DBLoadTsvFile", {"s:missing.tsv"}, "FALSE"},
         {"DBLoadTsvFile", {"s:empty.tsv"}, "FALSE"},
         {"DBRecordCount", {}, "4"}});
}

TEST_F(TableFunc, TsvHeaders) {
    struct Case {
        const char* header;
        const char* fields;     // name:type:size per field
    };
    const Case cases[] = {
        {"name", "name:4:81"},
        {"hp int", "hp:1:4"},
        {"rate float 5", "rate:2:10"},
        {"ok bool 9", "ok:3:1"},
        {"s str 12", "s:4:13"},
        {"s anything x", "s:4:81"},
        {"n Int", "n:4:81"},                                   // type words are case-sensitive
        {"  a   int  \t b  text  3 ", ""},                     // a leading blank: an empty name ends it
        {"a int\t b", ""},
        {"a int\t\tb", ""},                                    // an empty column between two tabs
        {"a int\tb\t", "a:1:4 b:4:81"},                        // a final tab adds no column
        {"a\x81\tb int", "a\x81\tb:1:4"},                      // the tab is the second byte of a character
        {"a str 0\tb str -4", "a:4:1 b:4:1"},
    };
    m.Tables().AddTable("t", false);
    for (const Case& c : cases) {
        files["h.tsv"] = std::string(c.header) + "\r\n1\t2\r\n";
        call("DBLoadTsvFile", {"s:h.tsv"});
        const TDBCustomTable* table = m.Tables().ActiveTable();
        std::string got;
        for (int32_t i = 0; i < table->Fields.Count(); ++i) {
            const TDBField& f = table->Fields.Items(i);
            got += (i ? " " : "") + f.FieldName + ":" + std::to_string(f.FieldType) + ":" + std::to_string(f.FieldSize);
        }
        EXPECT_EQ(got, c.fields) << c.header;
        EXPECT_EQ(table->RecordCount(), got.empty() ? 0 : 1) << c.header;
    }
}
