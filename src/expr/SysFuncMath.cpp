#include "expr/SysFuncBuiltins.h"

namespace zuno {

void registerMathFuncs(TBuiltinTable&) {}

} // namespace zuno
