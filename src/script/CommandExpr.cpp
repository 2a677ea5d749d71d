#include "script/CommandExpr.h"

#include "core/Cp932.h"
#include "core/StreamFields.h"
#include "expr/ParamConvert.h"
#include "expr/TCustomParam.h"
#include "expr/TZunoParser.h"
#include "expr/ZunoCalc.h"
#include "expr/ZunoOpCode.h"

namespace zuno {

void TZunoParserDeleter::operator()(TZunoParser* p) const { delete p; }

TExprPtr readExpr(TStream& s) {
    TExprPtr e(new TZunoParser);
    e->LoadFromStream(s);
    return e;
}

void writeExpr(TStream& s, const TZunoParser* e) {
    if (e)
        e->SaveToStream(s);
    else
        WriteInt(s, 0);                     // no operations
}

TExprPtr compileExpr(const std::string& sjisText) { return TExprPtr(compileExpression(sjisText).release()); }

namespace {

std::string describeOperand(const TCustomParam& p) {
    switch (p.ParamType()) {
    case PT_INT: return std::to_string(p.AsInteger());
    case PT_FLOAT: return floatToStr(p.AsFloat());
    case PT_BOOL: return p.AsBoolean() ? "TRUE" : "FALSE";
    case PT_STR: return "\"" + escapeForPrint(p.AsString()) + "\"";
    default:
        if (auto* v = dynamic_cast<const TParamVar*>(&p))
            return escapeForPrint(v->VarName());
        return "?";
    }
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

} // namespace zuno
