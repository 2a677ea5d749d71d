#include "script/CommandExpr.h"

#include "core/StreamFields.h"
#include "expr/TZunoParser.h"
#include "expr/ZunoCalc.h"

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

} // namespace zuno
