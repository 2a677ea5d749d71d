// Reading the page source form into a page: lines, header attributes, fields
// through the command's own record walk, then the index fields.
#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "authoring/PageSource.h"
#include "authoring/PageSourceRules.h"
#include "authoring/PageSourceText.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/TStream.h"
#include "expr/ParamConvert.h"
#include "expr/TZunoParser.h"
#include "script/ComObject.h"

namespace zuno {

namespace {

struct TSourceError {
    int         line;
    std::string message;
};

[[noreturn]] void fail(int line, const std::string& message) { throw TSourceError{line, message}; }

// One command as written, before its index fields are resolved.
struct TPendingCommand {
    int                         line = 0;
    TCommandType                type = ctIf;
    TCommand*                   command = nullptr;
    std::map<std::string, std::string> indexValues;      // Int fields given: field name -> value text
};

std::optional<int> commandCodeByName(const std::string& name) {
    for (int code = 0; code < CommandTypeCount; ++code)
        if (sameTextSjis(commandTypeInfo(code).name, name))
            return code;
    if (auto n = tryStrToInt(name); n && *n >= 0 && *n < CommandTypeCount)
        return *n;
    return std::nullopt;
}

constexpr int64_t MaxSetTableBytes = 64 << 20;

// Why a loop command's index cannot be left out.
std::string unpairedLoopMessage(TCommandType type) {
    switch (type) {
    case ctBreak: return "Break inside a While without a matching WhileLoop";
    case ctContinue: return "Continue inside a While without a matching WhileLoop";
    case ctWhile: return "While without a matching WhileLoop";
    default: return "WhileLoop without a While before it";
    }
}

int parseNumber(int line, const std::string& text, const std::string& what) {
    auto n = tryStrToInt(text);
    if (!n)
        fail(line, what + ": not a number: " + text);
    return *n;
}

TExprPtr parseExpr(int line, const std::string& value, const std::string& field) {
    if (value.empty())
        return nullptr;
    if (value.compare(0, 5, "@ops:") == 0) {
        std::optional<std::string> bytes = decodeHex(value.substr(5));
        if (!bytes)
            fail(line, field + ": bad @ops: hex digits");
        TKsMemoryStream s(std::vector<uint8_t>(bytes->begin(), bytes->end()));
        TExprPtr e;
        try {
            e = readExpr(s);
        } catch (const EZunoError& err) {
            fail(line, field + ": bad @ops: record: " + cp932ToUtf8(err.message()));
        }
        if (s.GetPosition() != s.GetSize())
            fail(line, field + ": bad @ops: record: bytes after its end");
        return e;
    }
    try {
        return compileExpr(utf8ToCp932(value));
    } catch (const EZunoError& err) {
        fail(line, field + ": " + cp932ToUtf8(err.message()) + " in: " + value);
    }
}

// Fills a command's fields from the values written for them; every value
// must be used by the walk.
class TFieldSetter : public TRecordFields {
public:
    TFieldSetter(int32_t version, int line, std::map<std::string, std::string>& values, TPendingCommand& pending)
        : TRecordFields(version), FLine(line), FValues(values), FPending(pending) {}

    void Int(const char* name, int32_t& v) override {
        auto s = take(name);
        if (!s)
            return;
        if (isIndexField(name))
            FPending.indexValues[name] = *s;                // resolved once every command is known
        else
            v = parseNumber(FLine, *s, name);
    }
    void Byte(const char* name, uint8_t& v) override {
        auto s = take(name);
        if (!s)
            return;
        const std::optional<uint8_t> symbol = byteFieldValue(name, *s);
        const int n = symbol ? *symbol : parseNumber(FLine, *s, name);
        if (n < 0 || n > 255)
            fail(FLine, std::string(name) + ": byte out of range: " + *s);
        v = static_cast<uint8_t>(n);
    }
    void Text(const char* name, std::string& v) override {
        if (auto s = take(name))
            v = text(name, *s);
    }
    void Data(const char* name, std::string& v) override {
        if (auto s = take(name))
            v = text(name, *s);
    }
    void Expr(const char* name, TExprPtr& e) override {
        if (propertyIdByName(name))
            return;                                         // property blocks are set before the walk
        if (auto s = take(name))
            e = parseExpr(FLine, *s, name);
        else if (std::string(name) == "condition" && conditionDefaultsTrue(FPending.type))
            e = compileExpr("TRUE");                        // an absent condition would never hold
    }
    void ExprList(const char* name, std::vector<TExprPtr>& list) override {
        auto s = take(name);
        if (!s)
            return;
        list.clear();
        for (const std::string& item : splitTopLevel(*s, ','))
            list.push_back(parseExpr(FLine, trim(item), name));
    }

private:
    std::optional<std::string> take(const char* name) {
        auto it = FValues.find(name);
        if (it == FValues.end())
            return std::nullopt;
        std::string v = it->second;
        FValues.erase(it);
        return v;
    }
    std::string text(const char* name, const std::string& s) {
        std::string error;
        std::optional<std::string> t = decodeTextValue(s, error);
        if (!t)
            fail(FLine, std::string(name) + ": " + error);
        return *t;
    }

    int                 FLine;
    std::map<std::string, std::string>& FValues;
    TPendingCommand&    FPending;
};

void applyAttributes(int line, const std::string& attrs, TCommand& c, bool& lineGiven, bool& indentGiven) {
    std::string list = attrs;
    std::replace(list.begin(), list.end(), ',', ' ');
    size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && list[i] == ' ')
            ++i;
        size_t j = list.find(' ', i);
        if (j == std::string::npos)
            j = list.size();
        const std::string a = list.substr(i, j - i);
        i = j;
        if (a.empty())
            continue;
        const size_t eq = a.find('=');
        const std::string key = a.substr(0, eq);
        const std::string val = eq == std::string::npos ? std::string() : a.substr(eq + 1);
        auto number = [&](int lo, int hi) {
            int n = parseNumber(line, val, key);
            if (n < lo || n > hi)
                fail(line, key + " out of range: " + val);
            return n;
        };
        if (key == "disabled")
            c.FDisabled = static_cast<uint8_t>(val.empty() ? 1 : number(0, 255));
        else if (key == "nocontinue" && val.empty())
            c.FContinue = 0;
        else if (key == "continue")
            c.FContinue = static_cast<uint8_t>(val.empty() ? 1 : number(0, 255));
        else if (key == "line" && !val.empty())
            c.FLine = number(INT32_MIN, INT32_MAX), lineGiven = true;
        else if (key == "indent" && !val.empty())
            c.FIndent = number(INT32_MIN, INT32_MAX), indentGiven = true;
        else if (key == "type" && !val.empty()) {
            const int t = number(0, 255);
            if ((t & 0x7F) != c.TypeCode())
                fail(line, "type byte " + val + " does not select this command");
            c.FStoredType = static_cast<int16_t>(t);
        } else
            fail(line, "unknown attribute: " + a);
    }
}

class TPageBuilder {
public:
    TPageBuilder(const std::string& pageName, const TExternalLabelLookup& lookup)
        : FPageName(pageName), FLookup(lookup) {}

    std::unique_ptr<TPage> build(const std::string& text) {
        FPage = std::make_unique<TPage>();
        FPage->SetVersion(PageVersionMax);
        FPage->SetName(FPageName);
        int lineNo = 0;
        size_t pos = 0;
        while (pos <= text.size()) {
            size_t end = text.find('\n', pos);
            if (end == std::string::npos)
                end = text.size();
            std::string line = text.substr(pos, end - pos);
            pos = end + 1;
            ++lineNo;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            readLine(lineNo, line);
            if (end == text.size())
                break;
        }
        for (auto& [type, ids] : FDeclaredSets)
            for (int id : ids)
                FPage->SetProperty(type, id, true);
        // Stored entries given in full replace what the sets put there.
        for (auto& [index, bytes] : FStoredSets)
            FPage->SetStoredPropertySet(index, bytes);
        resolveIndices();
        return std::move(FPage);
    }

private:
    void readLine(int lineNo, const std::string& line) {
        size_t i = 0;
        int columns = 0;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            columns += line[i++] == '\t' ? 2 : 1;
        if (i == line.size() || line[i] == '#')
            return;
        if (line[i] == '.') {
            directive(lineNo, trim(line.substr(i + 1)));
            return;
        }
        if (columns % 2 != 0)
            fail(lineNo, "indentation must be a multiple of two spaces");
        size_t n = i;
        while (n < line.size() && (std::isalnum(static_cast<unsigned char>(line[n])) || line[n] == '_'))
            ++n;
        const std::string name = line.substr(i, n - i);
        std::optional<int> code = commandCodeByName(name);
        if (name.empty() || !code)
            fail(lineNo, "unknown command: " + (name.empty() ? line.substr(i, 20) : name));
        std::unique_ptr<TCommand> c = createCommand(static_cast<uint8_t>(*code), FPage.get());
        c->FStoredType = -1;
        c->FContinue = 1;
        c->FLine = lineNo;
        c->FIndent = columns / 2;
        bool lineGiven = false, indentGiven = false;
        if (n < line.size() && line[n] == '[') {
            size_t close = line.find(']', n);
            if (close == std::string::npos)
                fail(lineNo, "attribute list without ]");
            applyAttributes(lineNo, line.substr(n + 1, close - n - 1), *c, lineGiven, indentGiven);
            n = close + 1;
        }
        if (n < line.size() && line[n] != ' ' && line[n] != '\t')
            fail(lineNo, "expected a blank after the command name");
        std::map<std::string, std::string> values;
        bool first = true;
        std::string unclosed;
        for (std::string seg : splitSegments(line.substr(n), &unclosed)) {
            seg = trim(seg);
            const bool wasFirst = first;
            first = false;
            if (seg.empty())
                continue;
            std::string key, value;
            if (!splitKey(seg, key, value)) {
                if (!wasFirst)
                    fail(lineNo, "expected NAME: VALUE, not: " + seg);
                key = positionalField(*c, FPage->Version());
                if (key.empty())
                    fail(lineNo, std::string(commandTypeInfo(*code).name) + " takes no value without a field name");
                value = seg;
            }
            if (values.count(key))
                fail(lineNo, "field given twice: " + key);
            values[key] = trim(value);
        }
        if (!unclosed.empty())
            fail(lineNo, "unterminated text literal");
        // Property blocks of component commands, by PR_ names.
        if (auto* comp = dynamic_cast<TComComponent*>(c.get())) {
            for (auto it = values.begin(); it != values.end();) {
                if (auto id = propertyIdByName(it->first)) {
                    TExprPtr e = parseExpr(lineNo, it->second, it->first);
                    if (!e)
                        e = TExprPtr(new TZunoParser);
                    comp->SetProperty(*id, std::move(e));
                    it = values.erase(it);
                } else {
                    ++it;
                }
            }
        }
        TPendingCommand pending;
        pending.line = lineNo;
        pending.type = static_cast<TCommandType>(*code);
        TFieldSetter setter(FPage->Version(), lineNo, values, pending);
        c->Fields(setter);
        if (!values.empty())
            fail(lineNo, "unknown field for " + std::string(commandTypeInfo(*code).name) + ": " + values.begin()->first);
        pending.command = &FPage->Add(std::move(c));
        FPending.push_back(std::move(pending));
    }

    void directive(int lineNo, const std::string& text) {
        std::vector<std::string> words = splitWords(text);
        if (words.empty())
            fail(lineNo, "empty directive");
        if (!FPending.empty())
            fail(lineNo, "directives come before the first command");
        if (words[0] == "page") {
            for (size_t k = 1; k < words.size(); ++k) {
                const size_t eq = words[k].find('=');
                const std::string key = words[k].substr(0, eq);
                const std::string val = eq == std::string::npos ? std::string() : words[k].substr(eq + 1);
                if (key == "version") {
                    const int v = parseNumber(lineNo, val, key);
                    if (v < PageVersionMin || v > PageVersionMax)
                        fail(lineNo, "page version must be 103 to 113: " + val);
                    FPage->SetVersion(v);
                } else if (key == "result") {
                    const int r = parseNumber(lineNo, val, key);
                    if (r < 0 || r > 255)
                        fail(lineNo, "result type out of range: " + val);
                    FPage->SetResultType(static_cast<uint8_t>(r));
                } else {
                    fail(lineNo, "unknown page attribute: " + words[k]);
                }
            }
        } else if (words[0] == "props") {
            if (words.size() < 2)
                fail(lineNo, "props needs a command name");
            std::optional<int> code = commandCodeByName(words[1]);
            if (!code)
                fail(lineNo, "unknown command: " + words[1]);
            for (size_t k = 2; k < words.size(); ++k) {
                std::optional<int> id = propertyIdByName(words[k]);
                if (!id) {
                    auto n = tryStrToInt(words[k]);
                    if (!n || *n < 0 || *n >= PropertyCount)
                        fail(lineNo, "unknown property: " + words[k]);
                    id = *n;
                }
                FDeclaredSets[*code].insert(*id);
            }
        } else if (words[0] == "sets") {
            setTableShape(lineNo, words);
        } else if (words[0] == "set") {
            if (!FSetsGiven)
                fail(lineNo, ".set needs a .sets line before it");
            if (words.size() != 3)
                fail(lineNo, "expected: .set INDEX HEX");
            const int index = parseNumber(lineNo, words[1], "set index");
            if (index < 0 || index >= FPage->PropertySetCount())
                fail(lineNo, "set index out of range: " + words[1]);
            std::optional<std::string> bytes = decodeHex(words[2]);
            if (!bytes)
                fail(lineNo, "set bytes: not hexadecimal: " + words[2]);
            if (bytes->size() != static_cast<size_t>(FPage->PropertySetSize()))
                fail(lineNo, "set " + words[1] + " needs " + std::to_string(FPage->PropertySetSize()) + " bytes, has " +
                                 std::to_string(bytes->size()));
            if (!FStoredSets.emplace(index, std::move(*bytes)).second)
                fail(lineNo, "set " + words[1] + " given twice");
        } else {
            fail(lineNo, "unknown directive: ." + words[0]);
        }
    }

    // .sets count=N size=S: the entry count and size of the stored set table.
    void setTableShape(int lineNo, const std::vector<std::string>& words) {
        if (FSetsGiven)
            fail(lineNo, ".sets given twice");
        std::optional<int> count, size;
        for (size_t k = 1; k < words.size(); ++k) {
            const size_t eq = words[k].find('=');
            const std::string key = words[k].substr(0, eq);
            const std::string val = eq == std::string::npos ? std::string() : words[k].substr(eq + 1);
            if (key == "count" && !count)
                count = parseNumber(lineNo, val, key);
            else if (key == "size" && !size)
                size = parseNumber(lineNo, val, key);
            else
                fail(lineNo, "unexpected sets attribute: " + words[k]);
        }
        if (!count || !size)
            fail(lineNo, "expected: .sets count=N size=S");
        if (*count < 0 || *size < 0)
            fail(lineNo, "set count and size must not be negative");
        // The table is written out in full: keep it to what a page file holds.
        if (static_cast<int64_t>(*count) * *size > MaxSetTableBytes)
            fail(lineNo, "set table larger than " + std::to_string(MaxSetTableBytes) + " bytes");
        FPage->SetPropertySetShape(*count, *size);
        FSetsGiven = true;
    }

    int labelIndex(int line, const std::string& pageFile, const std::string& label) {
        if (pageFile.empty() || sameTextSjis(pageFile, FPageName)) {
            const int k = FPage->LabelIndex(label);
            if (k < 0)
                fail(line, "no label " + cp932ToUtf8(label) + " in this page");
            return k;
        }
        const int k = FLookup ? FLookup(pageFile, label) : -1;
        if (k < 0)
            fail(line, "no label " + cp932ToUtf8(label) + " known in page " + cp932ToUtf8(pageFile));
        return k;
    }

    // Index fields not given take the value the writer leaves out.
    void resolveIndices() {
        const TLoopPairing loops(*FPage);
        for (int k = 0; k < FPage->CommandCount(); ++k) {
            TPendingCommand& p = FPending[static_cast<size_t>(k)];
            std::optional<TIndexField> field = indexFieldOf(*p.command);
            if (!field)
                continue;
            auto given = p.indexValues.find(field->name);
            if (given != p.indexValues.end())
                field->value = indexValue(p.line, field->name, given->second, field->pageFile);
            else if (std::optional<int32_t> automatic = loops.AutomaticIndex(k))
                field->value = *automatic;
            else
                fail(p.line, unpairedLoopMessage(p.type));
        }
    }

    // A number, or "@label" in the page the index points into.
    int indexValue(int line, const std::string& field, const std::string& s, const std::string& pageFile) {
        if (!s.empty() && s[0] == '@') {
            std::string error;
            std::optional<std::string> label = decodeTextValue(s.substr(1), error);
            if (!label)
                fail(line, field + ": " + error);
            return labelIndex(line, pageFile, *label);
        }
        return parseNumber(line, s, field);
    }

    std::string         FPageName;
    const TExternalLabelLookup& FLookup;
    std::unique_ptr<TPage> FPage;
    std::vector<TPendingCommand> FPending;
    std::map<int, std::set<int>> FDeclaredSets;
    bool                FSetsGiven = false;
    std::map<int, std::string> FStoredSets;
};

} // namespace

std::unique_ptr<TPage> buildPageSource(const std::string& utf8Text, const std::string& fileName,
                                       const std::string& pageName, const TExternalLabelLookup& lookup) {
    try {
        return TPageBuilder(pageName, lookup).build(utf8Text);
    } catch (const TSourceError& e) {
        throw EZunoError::fromUtf8(fileName + ":" + std::to_string(e.line) + ": " + e.message);
    }
}

} // namespace zuno
