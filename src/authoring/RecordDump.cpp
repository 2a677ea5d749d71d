#include "authoring/RecordDump.h"

#include <cstdarg>
#include <cstdio>

#include "core/Cp932.h"
#include "expr/ParamConvert.h"
#include "expr/TCustomParam.h"
#include "expr/TZunoParser.h"
#include "expr/ZunoCalc.h"
#include "expr/ZunoOpCode.h"

namespace zuno {

namespace {

std::string quoted(const std::string& sjis) { return "\"" + escapeForPrint(sjis) + "\""; }

std::string describeOperand(const TCustomParam& p) {
    switch (p.ParamType()) {
    case PT_INT: return std::to_string(p.AsInteger());
    case PT_FLOAT: return floatToStr(p.AsFloat());
    case PT_BOOL: return p.AsBoolean() ? "TRUE" : "FALSE";
    case PT_STR: return quoted(p.AsString());
    default:
        if (auto* v = dynamic_cast<const TParamVar*>(&p))
            return escapeForPrint(v->VarName());
        return "?";
    }
}

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...) {
    char b[256];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(b, sizeof b, fmt, args);
    va_end(args);
    return b;
}

// Prints each field as "    name: value".
class TFieldPrinter : public TRecordFields {
public:
    TFieldPrinter(std::string& out, int32_t version) : TRecordFields(version), FOut(out) {}

    void Int(const char* name, int32_t& v) override { line(name, std::to_string(v)); }
    void Byte(const char* name, uint8_t& v) override { line(name, std::to_string(v)); }
    void Text(const char* name, std::string& v) override { line(name, quoted(v)); }
    void Data(const char* name, std::string& v) override {
        line(name, format("(%zu bytes) ", v.size()) + quoted(v));
    }
    void Expr(const char* name, TExprPtr& e) override { line(name, describeExpr(e.get())); }
    void ExprList(const char* name, std::vector<TExprPtr>& list) override {
        line(name, format("%zu", list.size()));
        for (size_t i = 0; i < list.size(); ++i)
            line((std::string(name) + "[" + std::to_string(i) + "]").c_str(), describeExpr(list[i].get()));
    }

private:
    void line(const char* name, const std::string& value) { FOut += std::string("    ") + name + ": " + value + "\n"; }

    std::string& FOut;
};

std::string propertyList(const TPropertySet& set) {
    std::string out;
    for (int id = 0; id < PropertyCount; ++id)
        if ((set[static_cast<size_t>(id / 8)] >> (id % 8)) & 1)
            out += (out.empty() ? "" : " ") + std::string(propertyName(id));
    return out;
}

// The header line and one line per field.
std::string dumpCommand(const TCommand& c, int index, int32_t version) {
    std::string out = format("%4d  line %d  indent %d  %s", index, c.FLine, c.FIndent,
                             std::string(commandTypeInfo(c.TypeCode()).name).c_str());
    if (c.FStoredType >= 0 && c.FStoredType != c.TypeCode())
        out += format("  (type byte 0x%02x)", c.FStoredType);
    if (c.FDisabled)
        out += "  disabled";
    if (c.FContinue)
        out += "  continue";
    out += "\n";
    TFieldPrinter printer(out, version);
    c.WalkFields(printer);
    return out;
}

} // namespace

std::string describeExpr(const TZunoParser* e) {
    if (!e)
        return "(none)";
    if (e->Empty())
        return "(empty)";
    std::string out;
    for (int i = 0; i < e->Count(); ++i) {
        const TOpeData& op = e->Items(i);
        if (i > 0)
            out += "; ";
        out += opCodeName(op.Code) + " " + escapeForPrint(op.ResultName) + " = ";
        if (op.Code == ocFunc) {
            out += op.FunctionNo < kSysFuncCount ? kSysFuncs[op.FunctionNo].Name
                                                 : "func" + std::to_string(op.FunctionNo);
            out += "(";
        }
        for (size_t k = 0; k < op.Operands.size(); ++k) {
            if (k > 0)
                out += ", ";
            out += op.Operands[k] ? describeOperand(*op.Operands[k]) : "?";
        }
        if (op.Code == ocFunc)
            out += ")";
    }
    return out;
}

std::string dumpPage(const TPage& page) {
    std::string out;
    out += "page " + escapeForPrint(page.Name(), true) + "\n";
    out += format("version %d\n", page.Version());
    out += format("result type %d\n", page.ResultType());
    out += "property sets:\n";
    for (int type = 0; type < CommandTypeCount; ++type) {
        std::string list = propertyList(page.PropertySet(type));
        if (!list.empty())
            out += "    " + std::string(commandTypeInfo(type).name) + ": " + list + "\n";
    }
    out += format("commands %d\n", page.CommandCount());
    for (int i = 0; i < page.CommandCount(); ++i)
        out += dumpCommand(*page.Command(i), i, page.Version());
    return out;
}

std::string dumpProject(const TProjectSetting& p) {
    std::string out;
    out += format("version %d\n", p.FVersion);
    out += "title: " + quoted(p.FTitle) + "\n";
    out += format("screen: %d x %d\n", p.FScreenWidth, p.FScreenHeight);
    out += format("full screen: %d x %d\n", p.FFullScreenWidth, p.FFullScreenHeight);
    out += "start page: " + quoted(p.FStartPage) + "\n";
    out += "exit page: " + quoted(p.FExitPage) + "\n";
    out += "registry key: " + quoted(p.FRegistryKey) + "\n";
    out += format("identification code: %d\n", p.FIdentCode);
    out += format("keep status: %d\n", p.FKeepStatus);
    out += format("idle yield: %d\n", p.FIdleYield);
    out += "undiscovered media types: " + quoted(p.FUndiscoveredTypes) + "\n";
    out += format("pause when inactive: %d\n", p.FPauseWhenInactive);
    out += "disc prompt: " + quoted(p.FDiskPrompt) + "\n";
    out += "quit confirmation: " + quoted(p.FQuitConfirm) + "\n";
    out += format("initial variables %zu\n", p.FVariables.size());
    for (const TInitVariable& v : p.FVariables) {
        out += "    " + quoted(v.Name) + format(" type %d", v.Type);
        switch (v.Type) {
        case 1: out += format(" = %d", v.IntValue); break;
        case 2: out += format(" = %.15g", v.FloatValue.toDouble()); break;
        case 3: out += v.BoolValue ? " = TRUE" : " = FALSE"; break;
        case 4: out += " = " + quoted(v.StrValue); break;
        default: break;
        }
        out += "\n";
    }
    out += format("file-to-disc table %zu\n", p.FFolderDisks.size());
    for (const TFolderDisk& d : p.FFolderDisks)
        out += "    " + quoted(d.Folder) + format(" disc %d", d.Disk) + "\n";
    return out;
}

} // namespace zuno
