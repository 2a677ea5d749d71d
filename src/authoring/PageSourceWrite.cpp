// Writing a page as source text. Only what differs from what the reader would
// assume is written: default fields are left out, index fields only when
// they are not the ones the reader computes, line numbers only when they are
// not the text's own. Expressions the compiler cannot give back exactly are
// kept as their compiled bytes.
#include <map>
#include <optional>
#include <set>

#include "authoring/PageSource.h"
#include "authoring/PageSourceRules.h"
#include "authoring/PageSourceText.h"
#include "authoring/RecordDump.h"
#include "authoring/ZunoDecompiler.h"
#include "core/Cp932.h"
#include "core/TStream.h"
#include "expr/TZunoParser.h"
#include "script/ComFlow.h"
#include "script/ComObject.h"

namespace zuno {

namespace {

// The written form of an expression, with a note when it had to stay bytes.
std::string exprValue(const TZunoParser* e, bool positional, std::vector<std::string>& notes,
                      const std::string& field) {
    if (!e || e->Empty())
        return {};
    if (std::optional<std::string> sjis = decompileExpression(*e)) {
        const std::string utf8 = cp932ToUtf8(*sjis);
        std::string key, value, unclosed;
        bool safe = utf8ToCp932(utf8) == *sjis && utf8.find_first_of("\r\n") == std::string::npos &&
                    utf8[0] != '@' && trim(utf8) == utf8 && splitSegments(utf8, &unclosed).size() == 1 &&
                    unclosed.empty() && splitTopLevel(utf8, ',').size() == 1;
        if (positional && splitKey(utf8, key, value))
            safe = false;
        if (safe)
            return utf8;
    }
    notes.push_back(field + ": no source text compiles to these operations: " + describeExpr(e));
    return "@ops:" + encodeHex(compiledExpressionBytes(*e));
}

struct TWrittenField {
    std::string name;
    std::string value;      // empty: left out
    bool        explicitEmpty = false;  // written as "name:" with no value
};

// Collects the fields of a command against a fresh command of its type.
class TFieldWriterText : public TRecordFields {
public:
    TFieldWriterText(int32_t version, std::map<std::string, std::string> intValues,
                     const std::string& positional, std::vector<std::string>& notes)
        : TRecordFields(version), FIntValues(std::move(intValues)), FPositional(positional), FNotes(notes) {}

    void Int(const char* name, int32_t& v) override {
        if (!isIndexField(name))
            return add(name, v == 0 ? std::string() : std::to_string(v));
        auto it = FIntValues.find(name);
        add(name, it == FIntValues.end() ? std::string() : it->second);
    }
    void Byte(const char* name, uint8_t& v) override { FBytes.push_back({name, v}); }
    void Text(const char* name, std::string& v) override { add(name, v.empty() ? "" : encodeTextValue(v, true)); }
    void Data(const char* name, std::string& v) override { add(name, v.empty() ? "" : encodeTextValue(v, false)); }
    void Expr(const char* name, TExprPtr& e) override {
        if (FConditionTrue && std::string(name) == "condition") {
            static const std::string trueBytes = compiledExpressionBytes(*compileExpr("TRUE"));
            if (e && !e->Empty() && compiledExpressionBytes(*e) == trueBytes)
                return add(name, "");
            if (!e || e->Empty())
                return add(name, "", true);
        }
        add(name, exprValue(e.get(), FPositional == name, FNotes, name));
    }
    bool FConditionTrue = false;
    void ExprList(const char* name, std::vector<TExprPtr>& list) override {
        std::string out;
        for (size_t k = 0; k < list.size(); ++k) {
            std::string item = exprValue(list[k].get(), false, FNotes, name);
            if (item.empty())
                item = "@ops:00000000";
            out += (k ? ", " : "") + item;
        }
        add(name, out);
    }

    std::vector<TWrittenField> fields;
    std::vector<std::pair<std::string, uint8_t>> FBytes;

    void add(const std::string& name, const std::string& value, bool explicitEmpty = false) {
        fields.push_back({name, value, explicitEmpty});
    }

private:
    std::map<std::string, std::string> FIntValues;
    std::string FPositional;
    std::vector<std::string>& FNotes;
};

class TByteDefaults : public TRecordFields {
public:
    using TRecordFields::TRecordFields;
    void Int(const char*, int32_t&) override {}
    void Byte(const char* name, uint8_t& v) override { values[name] = v; }
    void Text(const char*, std::string&) override {}
    void Data(const char*, std::string&) override {}
    void Expr(const char*, TExprPtr&) override {}
    void ExprList(const char*, std::vector<TExprPtr>&) override {}
    std::map<std::string, uint8_t> values;
};

// The label written for an index field: "@name" when the index is the first
// label of that name in the page, else the number.
std::string indexValue(const TPage& page, const std::string& pageFile, int32_t index) {
    if (pageFile.empty() || sameTextSjis(pageFile, page.Name())) {
        if (auto* label = dynamic_cast<const TComLabel*>(page.Command(index))) {
            if (label->TypeCode() == ctLabel && !label->FName.empty() && page.LabelIndex(label->FName) == index) {
                const std::string v = encodeTextValue(label->FName, true);
                if (v[0] != '"')
                    return "@" + v;
            }
        }
    }
    return std::to_string(index);
}

} // namespace

std::string decompilePage(const TPage& page) {
    std::string out;
    int line = 0;
    auto emit = [&](const std::string& text) {
        out += text + "\n";
        ++line;
    };
    emit(".page version=" + std::to_string(page.Version()) + " result=" + std::to_string(page.ResultType()));

    // Property sets the commands do not imply.
    for (int type = 0; type < CommandTypeCount; ++type) {
        std::set<int> implied;
        for (int k = 0; k < page.CommandCount(); ++k) {
            auto* comp = dynamic_cast<const TComComponent*>(page.Command(k));
            if (comp && comp->TypeCode() == type)
                for (const auto& [id, e] : comp->FProperties)
                    if (e && !e->Empty() && page.HasProperty(type, id))
                        implied.insert(id);
        }
        std::string ids;
        bool differs = false;
        for (int id = 0; id < PropertyCount; ++id) {
            if (page.HasProperty(type, id)) {
                ids += " " + std::string(PropertyInfos[id].name);
                differs = differs || !implied.count(id);
            }
        }
        if (differs)
            emit(".props " + std::string(commandTypeInfo(type).name) + ids);
    }

    // The stored set table, when it is not what the sets above give by
    // themselves: 61 entries of 21 bytes holding identifiers 0 .. 162 only.
    // Listed are the entries whose stored bytes differ from that.
    {
        const int32_t setCount = page.PropertySetCount();
        const int32_t setSize = page.PropertySetSize();
        std::vector<std::string> entries;
        for (int32_t i = 0; setSize > 0 && i < setCount; ++i) {
            const std::string stored = page.StoredPropertySet(i);
            std::string plain(stored.size(), '\0');
            if (i < CommandTypeCount)
                for (int id = 0; id < PropertyCount && id / 8 < static_cast<int>(plain.size()); ++id)
                    if (page.HasProperty(i, id))
                        plain[static_cast<size_t>(id / 8)] = static_cast<char>(plain[static_cast<size_t>(id / 8)] | (1 << (id % 8)));
            if (stored != plain)
                entries.push_back(".set " + std::to_string(i) + " " + encodeHex(stored));
        }
        if (setCount != CommandTypeCount || setSize != PropertySetBytes || !entries.empty()) {
            emit(".sets count=" + std::to_string(setCount) + " size=" + std::to_string(setSize));
            for (const std::string& e : entries)
                emit(e);
        }
    }

    // Index fields are written only where they differ from what the reader
    // would give them.
    const TLoopPairing loops(page);
    for (int k = 0; k < page.CommandCount(); ++k) {
        TCommand* c = page.Command(k);
        std::vector<std::string> notes;
        std::map<std::string, std::string> ints;
        if (std::optional<TIndexField> field = indexFieldOf(*c)) {
            const std::optional<int32_t> automatic = loops.AutomaticIndex(k);
            if (automatic != field->value)
                ints[field->name] = indexValue(page, field->pageFile, field->value);
        }

        const std::string positional = positionalField(*c, page.Version());
        TFieldWriterText walk(page.Version(), ints, positional, notes);
        walk.FConditionTrue = conditionDefaultsTrue(c->TypeCode());
        c->WalkFields(walk);
        // Byte fields against a fresh command's values.
        std::unique_ptr<TCommand> fresh = createCommand(c->TypeCode(), nullptr);
        TByteDefaults defaults(page.Version());
        fresh->Fields(defaults);
        for (const auto& [name, v] : walk.FBytes) {
            if (defaults.values[name] == v)
                continue;
            const char* symbol = byteFieldName(c->TypeCode(), name, v);
            walk.add(name, symbol ? symbol : std::to_string(v));
        }

        for (const std::string& n : notes)
            emit("# " + n);
        // Blank lines keep the commands on their own line numbers where the
        // gap is small, so a page built from source decompiles line for line.
        if (c->FLine > line + 1 && c->FLine - line <= 64)
            while (line + 1 < c->FLine)
                emit("");
        const int lineNo = line + 1;
        std::string attrs;
        auto attr = [&](const std::string& a) { attrs += (attrs.empty() ? "" : " ") + a; };
        const bool indentFits = c->FIndent >= 0 && c->FIndent <= 64;
        if (!indentFits)
            attr("indent=" + std::to_string(c->FIndent));
        if (c->FDisabled)
            attr(c->FDisabled == 1 ? "disabled" : "disabled=" + std::to_string(c->FDisabled));
        if (c->FContinue != 1)
            attr(c->FContinue == 0 ? "nocontinue" : "continue=" + std::to_string(c->FContinue));
        if (c->FLine != lineNo)
            attr("line=" + std::to_string(c->FLine));
        if (c->FStoredType >= 0 && c->FStoredType != c->TypeCode())
            attr("type=" + std::to_string(c->FStoredType));
        std::string text(indentFits ? static_cast<size_t>(c->FIndent) * 2 : 0, ' ');
        text += commandTypeInfo(c->TypeCode()).name;
        if (!attrs.empty())
            text += "[" + attrs + "]";
        std::string rest;
        for (const TWrittenField& f : walk.fields) {
            if (f.explicitEmpty) {
                rest += std::string(rest.empty() ? " " : "; ") + f.name + ":";
                continue;
            }
            if (f.value.empty())
                continue;
            if (f.name == positional && rest.empty())
                rest = " " + f.value;
            else
                rest += std::string(rest.empty() ? " " : "; ") + f.name + ": " + f.value;
        }
        text += rest;
        emit(text);
    }
    return out;
}

} // namespace zuno
