// Turns a compiled expression back into source text. The text is accepted
// only when compiling it gives the very same compiled record, so a page
// written back from decompiled text is byte for byte the page it came from.
#pragma once

#include <optional>
#include <string>

namespace zuno {

class TZunoParser;

// The Shift-JIS source text of an expression whose compiled form the
// compiler produces from it exactly; nothing when no such text is found
// (operations no source text compiles to, temporaries in an unusual order).
std::optional<std::string> decompileExpression(const TZunoParser& e);

// The compiled-expression record of an expression, as command records embed it.
std::string compiledExpressionBytes(const TZunoParser& e);

} // namespace zuno
