// Command records: every type's layout, built field by field from a table
// with the stream writers and the expression compiler, then loaded, checked
// field by field and saved back byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "expr/TBuildZunoParser.h"
#include "expr/TZunoParser.h"
#include "script/ComFlow.h"
#include "script/ComMedia.h"
#include "script/ComObject.h"
#include "script/RecordFields.h"
#include "script/TPage.h"

namespace zuno {
namespace {

// One stored field of a record as the test writes it.
struct Field {
    char kind;                          // I int32, B byte, T text, D data, E expression, L expression list
    int32_t number = 0;
    std::string text;                   // text, data or expression source
    std::vector<std::string> list;      // expression sources of a list
};

Field I(int32_t v) { return {'I', v, {}, {}}; }
Field B(uint8_t v) { return {'B', v, {}, {}}; }
Field T(std::string v) { return {'T', 0, std::move(v), {}}; }
Field D(std::string v) { return {'D', 0, std::move(v), {}}; }
Field E(std::string src) { return {'E', 0, std::move(src), {}}; }
Field L(std::vector<std::string> srcs) { return {'L', 0, {}, std::move(srcs)}; }

void writeExprSource(TStream& s, const std::string& src) {
    TBuildZunoParser b;
    if (!src.empty())
        b.Parse(src);
    b.SaveToStream(s);
}

void writeField(TStream& s, const Field& f) {
    switch (f.kind) {
    case 'I': WriteInt(s, f.number); break;
    case 'B': WriteByte(s, static_cast<uint8_t>(f.number)); break;
    case 'T':
    case 'D': WriteString(s, f.text); break;
    case 'E': writeExprSource(s, f.text); break;
    case 'L':
        WriteInt(s, static_cast<int32_t>(f.list.size()));
        for (const std::string& src : f.list)
            writeExprSource(s, src);
        break;
    }
}

// Collects what a command's field walk sees, as kind and value.
class FieldCollector : public TRecordFields {
public:
    explicit FieldCollector(int32_t version) : TRecordFields(version) {}
    void Int(const char*, int32_t& v) override { seen.push_back("I" + std::to_string(v)); }
    void Byte(const char*, uint8_t& v) override { seen.push_back("B" + std::to_string(v)); }
    void Text(const char*, std::string& v) override { seen.push_back("T" + v); }
    void Data(const char*, std::string& v) override { seen.push_back("D" + v); }
    void Expr(const char*, TExprPtr& e) override { seen.push_back(e ? "E" + std::to_string(e->Count()) : "E-"); }
    void ExprList(const char*, std::vector<TExprPtr>& l) override { seen.push_back("L" + std::to_string(l.size())); }
    std::vector<std::string> seen;
};

std::vector<std::string> expectedSeen(const std::vector<Field>& fields) {
    std::vector<std::string> out;
    for (const Field& f : fields) {
        switch (f.kind) {
        case 'I': out.push_back("I" + std::to_string(f.number)); break;
        case 'B': out.push_back("B" + std::to_string(f.number)); break;
        case 'T': out.push_back("T" + f.text); break;
        case 'D': out.push_back("D" + f.text); break;
        case 'E': {
            TBuildZunoParser b;
            if (!f.text.empty())
                b.Parse(f.text);
            out.push_back("E" + std::to_string(b.Count()));
            break;
        }
        case 'L': out.push_back("L" + std::to_string(f.list.size())); break;
        }
    }
    return out;
}

// The property identifiers every test page sets for every component type.
const std::vector<int> TestProperties = {PR_NAME, PR_LEFT, PR_COLOR, PR_REPEATPOS};

struct RecordCase {
    TCommandType code;
    int32_t version;
    std::vector<Field> fields;          // after the common header
};

std::vector<Field> propertyBlock() {
    return {E("\"box1\""), E("x + 10"), E("0xFF"), E("Random(3)")};
}

std::vector<Field> concat(std::vector<Field> a, const std::vector<Field>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<RecordCase> recordCases() {
    std::vector<RecordCase> cases = {
        {ctIf, 113, {E("a == 1")}},
        {ctElseif, 113, {E("a > 2 & b < 3")}},
        {ctElse, 113, {}},
        {ctLabel, 113, {T("start")}},
        {ctJump, 113, {T("other.zsb"), I(7), E("flag")}},
        {ctCall, 113, {T("sub.zsb"), I(-1), T("res"), E("TRUE"), L({"1", "\"two\"", "x * 3"})}},
        {ctExit, 113, {E("n >= 10")}},
        {ctWait, 113, {E("@Click == FALSE"), E("500"), E("TRUE")}},
        {ctWait, 107, {E(""), E("100"), E("FALSE")}},
        {ctWait, 106, {E("a"), E("250")}},
        {ctFlip, 113, {E("3"), E("1000"), E("TRUE"), E("0"), L({"\"a\"", "\"b\""}), E("FALSE"), E("1"), E("2"),
                   E("\"wipe\""), E("TRUE")}},
        {ctFlip, 106, {E("3"), E("1000"), E("TRUE"), E("0"), L({}), E("FALSE"), E("1"), E("2"), E("\"wipe\"")}},
        {ctFlip, 100, {E("3"), E("1000"), E("TRUE"), E("0"), L({"n"}), E("FALSE"), E("1"), E("2")}},
        {ctCalc, 113, {E("a = b + 2 * f")}},
        {ctVarNew, 113, {T("score"), B(1), E("100"), B(3)}},
        {ctVarDel, 113, {T("score")}},
        {ctGetProp, 113, {E("\"btn\""), E("3"), T("x")}},
        {ctSetProp, 113, {E("\"btn\""), E("4"), E("y + 1")}},
        {ctObjDel, 113, {E("\"btn\"")}},
        {ctTextIns, 113, {D("Hello\r\n[wait]"), E("\"mes\""), E("TRUE"), E("FALSE"), E("TRUE")}},
        {ctTextIns, 106, {D(std::string("a\0b", 3)), E("\"mes\""), E("TRUE"), E("FALSE")}},
        {ctMovieStop, 113, {E("\"bgm\""), E("500"), E("TRUE"), E("FALSE")}},
        {ctMovieStop, 106, {E("\"bgm\""), E("0"), E("FALSE")}},
        {ctClrHist, 113, {}},
        {ctMenuClose, 113, {E("\"menu\"")}},
        {ctComment, 113, {T("a comment")}},
        {ctTextClr, 113, {E("\"mes\"")}},
        {ctCallHist, 113, {E("\"mes\""), E("8"), E("5"), E("TRUE"), E("\"log\"")}},
        {ctCallHist, 110, {E("\"mes\""), E("0"), E("1"), E("FALSE")}},
        {ctWhile, 113, {E("i < 10"), I(12)}},
        {ctWhileInit, 113, {E("i = 0")}},
        {ctWhileLoop, 113, {E("i = i + 1"), I(4)}},
        {ctBreak, 113, {E("i == 5"), I(-1)}},
        {ctContinue, 113, {E("i == 2"), I(4)}},
        {ctGameSave, 113, {E("1"), T("resume.zsb"), I(3), E("\"caption\"")}},
        {ctGameSave, 104, {E("1"), T("resume.zsb"), E("\"caption\"")}},
        {ctGameLoad, 113, {E("slot")}},
        {ctPCReset, 113, {T("start.zsb"), I(0), B(1)}},
        {ctReset, 113, {T("title.zsb"), I(2), B(0)}},
        {ctTerminate, 113, {}},
        {ctDoEvent, 113, {}},
        {ctClrRead, 113, {}},
        {ctMediaPlay, 113, {E("\"movie\"")}},
        {ctPropMotion, 113, {E("\"m\""), E("\"img\""), E("3"), E("1.5"), E("1000"), E("2"), E("FALSE")}},
        {ctPropMotion, 107, {E("\"m\""), E("\"img\""), E("3"), E("1.5"), E("1000"), E("2")}},
        {ctFormatHist, 113, {E("\"mes\""), E("\"log\"")}},
        {ctFormatHist, 110, {E("\"mes\"")}},
        {ctSaveCabinet, 113, concat(propertyBlock(), {E("TRUE"), L({"\"a\"", "\"b\""})})},
        {ctLoadCabinet, 113, concat(propertyBlock(), {E("FALSE"), L({})})},
    };
    for (TCommandType code : {ctBoxNew, ctImgNew, ctMesNew, ctTimer, ctMovie, ctCinema, ctCaption, ctMenu, ctButton,
                              ctParticleNew, ctFireNew, ctSound, ctEditNew, ctMemoNew, ctMapImgNew, ctWaveNew,
                              ctTileNew, ctSliderNew, ctScrollbarNew, ctGaugeNew, ctCGCaption, ctPrevMenuNew})
        cases.push_back({code, 113, propertyBlock()});
    return cases;
}

void setTestProperties(TPage& page) {
    for (int type = 0; type < CommandTypeCount; ++type)
        for (int id : TestProperties)
            page.SetProperty(type, id, true);
}

std::vector<uint8_t> buildRecord(const RecordCase& c, int32_t indent, uint8_t disabled, uint8_t cont, int32_t line) {
    TKsMemoryStream s;
    WriteByte(s, c.code);
    WriteInt(s, indent);
    WriteByte(s, disabled);
    WriteByte(s, cont);
    WriteInt(s, line);
    for (const Field& f : c.fields)
        writeField(s, f);
    return s.Data();
}

TEST(CommandRecord, EveryTypeLoadsItsFieldsAndSavesBackIdentically) {
    std::vector<bool> covered(CommandTypeCount, false);
    for (const RecordCase& c : recordCases()) {
        SCOPED_TRACE("type " + std::to_string(c.code) + " version " + std::to_string(c.version));
        covered[c.code] = true;
        TPage page;
        setTestProperties(page);
        const std::vector<uint8_t> bytes = buildRecord(c, 2, 0, 1, 42);

        TKsMemoryStream in(bytes);
        std::unique_ptr<TCommand> cmd = createCommand(ReadByte(in), &page);
        cmd->LoadFromStream(in, c.version);
        EXPECT_EQ(in.Remaining(), 0) << "record not read to its end";
        EXPECT_EQ(cmd->TypeCode(), c.code);
        EXPECT_EQ(cmd->FIndent, 2);
        EXPECT_EQ(cmd->FContinue, 1);
        EXPECT_EQ(cmd->FLine, 42);

        FieldCollector seen(c.version);
        cmd->WalkFields(seen);
        EXPECT_EQ(seen.seen, expectedSeen(c.fields));

        TKsMemoryStream out;
        cmd->SaveToStream(out, c.version);
        EXPECT_EQ(out.Data(), bytes);
    }
    for (int code = 0; code < CommandTypeCount; ++code)
        EXPECT_TRUE(covered[static_cast<size_t>(code)]) << "no case for type " << code;
}

TEST(CommandRecord, NamedFieldsHoldTheStoredValues) {
    TPage page;
    setTestProperties(page);
    auto load = [&](const RecordCase& c) {
        std::vector<uint8_t> bytes = buildRecord(c, 0, 0, 0, 1);
        TKsMemoryStream in(bytes);
        std::unique_ptr<TCommand> cmd = createCommand(ReadByte(in), &page);
        cmd->LoadFromStream(in, c.version);
        return cmd;
    };
    auto call = load({ctCall, 113, {T("sub.zsb"), I(9), T("res"), E("TRUE"), L({"1", "2"})}});
    auto* pc = dynamic_cast<TComCall*>(call.get());
    ASSERT_NE(pc, nullptr);
    EXPECT_EQ(pc->FPageFile, "sub.zsb");
    EXPECT_EQ(pc->FTargetIndex, 9);
    EXPECT_EQ(pc->FResultVar, "res");
    EXPECT_EQ(pc->FArguments.size(), 2u);

    auto save = load({ctGameSave, 104, {E("1"), T("r.zsb"), E("\"c\"")}});
    EXPECT_EQ(dynamic_cast<TComGameSave&>(*save).FResumeIndex, 0);

    auto box = load({ctBoxNew, 113, propertyBlock()});
    auto& comp = dynamic_cast<TComComponent&>(*box);
    EXPECT_NE(comp.Property(PR_NAME), nullptr);
    EXPECT_NE(comp.Property(PR_REPEATPOS), nullptr);
    EXPECT_EQ(comp.Property(PR_TOP), nullptr);

    auto var = load({ctVarNew, 113, {T("v"), B(4), E("\"x\""), B(2)}});
    EXPECT_EQ(dynamic_cast<TComVarNew&>(*var).FValueType, 4);
    EXPECT_EQ(dynamic_cast<TComVarNew&>(*var).FScope, 2);
}

TEST(CommandRecord, FlagsOfTheTypesThatFixThem) {
    TPage page;
    struct Case { TCommandType code; uint8_t storedContinue; bool cont; bool disabled; bool waits; };
    const Case cases[] = {
        {ctElse, 0, true, false, false},            // Else always goes on
        {ctWhileInit, 0, true, false, false},
        {ctWhileLoop, 0, true, false, false},
        {ctComment, 1, false, true, false},         // Comment never runs and never stops the frame
        {ctDoEvent, 1, false, false, true},
        {ctGameSave, 1, false, false, false},
        {ctGameLoad, 1, false, false, false},
        {ctWait, 1, true, false, true},
        {ctIf, 1, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.code));
        std::unique_ptr<TCommand> cmd = createCommand(c.code, &page);
        cmd->FContinue = c.storedContinue;
        EXPECT_EQ(cmd->ContinueFlag(), c.cont);
        EXPECT_EQ(cmd->DisabledFlag(), c.disabled);
        EXPECT_EQ(cmd->Waits(), c.waits);
    }
    // A new label goes on unless its record says otherwise.
    EXPECT_TRUE(createCommand(ctLabel, &page)->ContinueFlag());
}

TEST(CommandRecord, FactoryMasksTheTopBitAndRejectsUnknownTypes) {
    TPage page;
    std::unique_ptr<TCommand> c = createCommand(ctBoxNew | 0x80, &page);
    EXPECT_NE(dynamic_cast<TComBoxNew*>(c.get()), nullptr);
    EXPECT_EQ(c->TypeCode(), ctBoxNew);
    EXPECT_EQ(commandTypeInfo(ctFormatHist).name, "FormatHist");
    EXPECT_NE(dynamic_cast<TComEntryHist*>(createCommand(ctFormatHist, &page).get()), nullptr);
    EXPECT_NE(dynamic_cast<TComCabinetLoad*>(createCommand(ctLoadCabinet | 0x80, &page).get()), nullptr);
    for (uint8_t bad : {CommandTypeCount, 100, 127, 0xFF}) {
        try {
            createCommand(bad, &page);
            ADD_FAILURE() << "type " << int(bad) << " accepted";
        } catch (const EZunoError& e) {
            EXPECT_STREQ(e.what(), "不正なコマンド");
        }
    }
}

TEST(CommandRecord, ComponentWithoutPropertySetReadsOnlyItsHeader) {
    TPage page;                                    // no property sets
    RecordCase c{ctImgNew, 113, {}};
    std::vector<uint8_t> bytes = buildRecord(c, 1, 0, 1, 5);
    bytes.push_back(0xAB);                         // whatever follows belongs to the next record
    TKsMemoryStream in(bytes);
    std::unique_ptr<TCommand> cmd = createCommand(ReadByte(in), &page);
    cmd->LoadFromStream(in, 113);
    EXPECT_EQ(in.Remaining(), 1);
}

TEST(CommandRecord, TruncatedRecordsFailCleanly) {
    for (const RecordCase& c : recordCases()) {
        TPage page;
        setTestProperties(page);
        const std::vector<uint8_t> bytes = buildRecord(c, 0, 0, 0, 0);
        for (size_t cut = 1; cut < bytes.size(); ++cut) {
            TKsMemoryStream in(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
            std::unique_ptr<TCommand> cmd = createCommand(ReadByte(in), &page);
            EXPECT_THROW(cmd->LoadFromStream(in, c.version), EZunoError)
                << "type " << int(c.code) << " cut at " << cut;
        }
    }
}

TEST(CommandRecord, HugeExpressionListCountIsRejected) {
    TPage page;
    TKsMemoryStream s;
    WriteInt(s, 0); WriteByte(s, 0); WriteByte(s, 0); WriteInt(s, 0);
    WriteString(s, "p.zsb"); WriteInt(s, 0); WriteString(s, "r");
    writeExprSource(s, "TRUE");
    WriteInt(s, 0x7FFFFFFF);                       // arguments that cannot be there
    s.SetPosition(0);
    std::unique_ptr<TCommand> cmd = createCommand(ctCall, &page);
    EXPECT_THROW(cmd->LoadFromStream(s, 113), EZunoError);
}

} // namespace
} // namespace zuno
