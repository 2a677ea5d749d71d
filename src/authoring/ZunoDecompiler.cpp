#include "authoring/ZunoDecompiler.h"

#include <cstdio>
#include <map>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/TStream.h"
#include "expr/ParamConvert.h"
#include "expr/TCustomParam.h"
#include "expr/TZunoParser.h"
#include "expr/ZunoCalc.h"
#include "expr/ZunoOpCode.h"

namespace zuno {

namespace {

// A rendered sub-expression and how loosely it binds: 0 for an operand that
// needs no parentheses anywhere, else the precedence level of its operator
// (1 binds tightest, 8 loosest).
struct TNode {
    std::string text;
    int         level = 0;
    bool        unary = false;      // "-x"
};

int levelOf(uint8_t code) {
    switch (code) {
    case ocMul: case ocDiv: case ocMod: return 1;
    case ocPlus: case ocMinus: return 2;
    case ocShiftL: case ocShiftR: return 3;
    case ocEqual: case ocBig: case ocSmall: case ocEBig: case ocESmall: case ocNEqual: return 4;
    case ocComboStr: return 5;
    case ocAnd: return 6;
    case ocXor: return 7;
    case ocOr: return 8;
    default: return -1;
    }
}

const char* symbolOf(uint8_t code) {
    switch (code) {
    case ocPlus: return "+";
    case ocMinus: return "-";
    case ocMul: return "*";
    case ocDiv: return "/";
    case ocMod: return "%";
    case ocOr: return "|";
    case ocAnd: return "&";
    case ocXor: return "^";
    case ocEqual: return "==";
    case ocBig: return ">";
    case ocSmall: return "<";
    case ocEBig: return ">=";
    case ocESmall: return "<=";
    case ocShiftL: return "<<";
    case ocShiftR: return ">>";
    case ocComboStr: return "++";
    case ocNEqual: return "<>";
    default: return nullptr;
    }
}

// A text literal with the escapes the compiler undoes: \" and \\, CR LF as \n.
std::string quoteLiteral(const std::string& s) {
    std::string out = "\"";
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
            out += "\\n";
            ++i;
        } else {
            out += c;
            // Keep the trail byte of a double-byte character with its lead,
            // so a trail byte of 0x5C is not taken for a backslash.
            if (isLeadByte(static_cast<uint8_t>(c)) && i + 1 < s.size())
                out += s[++i];
        }
    }
    return out + "\"";
}

class TRenderer {
public:
    // Modes: 0 "-x" everywhere as an operand; 1 the same, parenthesised as a
    // left operand; 2 "0 - x".
    explicit TRenderer(int mode) : FMode(mode) {}

    std::optional<std::string> run(const TZunoParser& e) {
        std::optional<std::string> final;
        for (int i = 0; i < e.Count(); ++i) {
            if (final)
                return std::nullopt;                        // operations after the value
            const TOpeData& op = e.Items(i);
            const std::string& r = op.ResultName;
            switch (op.Code) {
            case ocTo: {
                if (op.Operands.size() != 1)
                    return std::nullopt;
                TNode v = operand(*op.Operands[0]);
                if (r == kArgName) {
                    final = v.text;
                } else if (isElementRefName(r) && FTemps.count(r)) {
                    final = FTemps[r].text + " = " + v.text;
                } else if (isTempName(r)) {
                    if (FTemps.count(r))
                        return std::nullopt;
                    FTemps[r] = v;
                } else {
                    final = r + " = " + v.text;
                }
                break;
            }
            case ocDimTo: {
                if (op.Operands.size() < 2 || !isTempName(r))
                    return std::nullopt;
                TNode name = operand(*op.Operands[0]);
                if (name.level != 0 || name.unary)
                    return std::nullopt;
                std::string t = name.text + "[";
                for (size_t k = 1; k < op.Operands.size(); ++k)
                    t += (k > 1 ? ", " : "") + operand(*op.Operands[k]).text;
                FTemps[r] = {t + "]", 0, false};
                break;
            }
            case ocFunc: {
                if (!isTempName(r) || op.FunctionNo >= kSysFuncCount)
                    return std::nullopt;
                std::string t = std::string(kSysFuncs[op.FunctionNo].Name) + "(";
                for (size_t k = 0; k < op.Operands.size(); ++k)
                    t += (k > 0 ? ", " : "") + operand(*op.Operands[k]).text;
                FTemps[r] = {t + ")", 0, false};
                break;
            }
            default: {
                const int level = levelOf(op.Code);
                if (level < 0 || op.Operands.size() != 2 || !isTempName(r) || isElementRefName(r))
                    return std::nullopt;
                TNode a = operand(*op.Operands[0]);
                TNode b = operand(*op.Operands[1]);
                if (FMode < 2 && op.Code == ocMinus && a.text == "0" && isIntLiteral(*op.Operands[0])) {
                    FTemps[r] = {"-" + wrap(b, 0), 0, true};
                    break;
                }
                const std::string left = a.unary && FMode == 1 ? "(" + a.text + ")" : wrap(a, level);
                const std::string right = b.level >= level ? "(" + b.text + ")" : b.text;
                FTemps[r] = {left + " " + symbolOf(op.Code) + " " + right, level, false};
                break;
            }
            }
        }
        return final;
    }

private:
    static bool isIntLiteral(const TCustomParam& p) {
        return !dynamic_cast<const TParamVar*>(&p) && p.ParamType() == PT_INT;
    }

    // Parenthesised when it binds more loosely than the given level.
    static std::string wrap(const TNode& n, int level) { return n.level > level ? "(" + n.text + ")" : n.text; }

    TNode operand(const TCustomParam& p) {
        if (auto* v = dynamic_cast<const TParamVar*>(&p)) {
            auto it = FTemps.find(v->VarName());
            if (it != FTemps.end())
                return it->second;
            return {v->VarName(), 0, false};
        }
        switch (p.ParamType()) {
        case PT_INT: return {std::to_string(p.AsInteger()), 0, false};
        case PT_FLOAT: {
            std::string t = floatToStr(p.AsFloat());
            auto back = tryStrToFloat(t);
            if (!back || *back != p.AsFloat()) {
                char buf[64];
                std::snprintf(buf, sizeof buf, "%.21Lg", static_cast<long double>(p.AsFloat()));
                t = buf;
            }
            return {t, 0, false};
        }
        case PT_BOOL: return {p.AsBoolean() ? "TRUE" : "FALSE", 0, false};
        case PT_STR: return {quoteLiteral(p.AsString()), 0, false};
        default: return {"?", 0, false};
        }
    }

    int FMode;
    std::map<std::string, TNode> FTemps;
};

} // namespace

std::string compiledExpressionBytes(const TZunoParser& e) {
    TKsMemoryStream s;
    e.SaveToStream(s);
    return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.GetSize()));
}

std::optional<std::string> decompileExpression(const TZunoParser& e) {
    if (e.Empty())
        return std::nullopt;
    const std::string want = compiledExpressionBytes(e);
    for (int mode : {0, 1, 2}) {
        std::optional<std::string> text;
        try {
            text = TRenderer(mode).run(e);
        } catch (const EZunoError&) {
            continue;
        }
        if (!text || text->find_first_not_of(" \t") == std::string::npos)
            continue;
        try {
            std::unique_ptr<TZunoParser> back = compileExpression(*text);
            if (compiledExpressionBytes(*back) == want)
                return text;
        } catch (const EZunoError&) {
        }
    }
    return std::nullopt;
}

} // namespace zuno
