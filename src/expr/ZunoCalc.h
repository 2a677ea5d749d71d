// Compiling at run time: the compile-and-run routine behind the built-in Calc
// and behind assignments to receivers that are not plain variable names, and
// a helper that turns source text into a loaded TZunoParser.
#pragma once

#include <memory>
#include <string>

#include "expr/TZunoParser.h"

namespace zuno {

class TSysFuncMan;

// Source text -> compiled form -> loaded parser. EZunoError on a compile error
// (syntax, unknown function, argument count).
std::unique_ptr<TZunoParser> compileExpression(const std::string& text);

// Trims the text; empty text does nothing and fails. Otherwise compiles, loads
// and executes it against funcs' variable table. True unless compiling or
// loading failed (a failing evaluation still counts as run). Nested runs
// (Calc calling Calc) fail beyond kMaxCalcDepth levels.
bool compileAndRun(const std::string& text, TSysFuncMan& funcs);
constexpr int kMaxCalcDepth = 32;

// Plugs compileAndRun into funcs as the implementation of Calc.
void installCalc(TSysFuncMan& funcs);

} // namespace zuno
