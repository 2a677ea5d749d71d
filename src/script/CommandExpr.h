// The compiled expressions that command records embed. Every read and write
// of an expression inside a command record goes through these functions, so
// the records never depend on the expression format itself.
#pragma once

#include <memory>
#include <string>

#include "core/TStream.h"

namespace zuno {

class TZunoParser;

struct TZunoParserDeleter {
    void operator()(TZunoParser* p) const;
};
using TExprPtr = std::unique_ptr<TZunoParser, TZunoParserDeleter>;

TExprPtr    readExpr(TStream& s);                           // one compiled-expression record
void        writeExpr(TStream& s, const TZunoParser* e);    // none writes an empty expression
TExprPtr    compileExpr(const std::string& sjisText);       // compile source text (page building, tests)

} // namespace zuno
