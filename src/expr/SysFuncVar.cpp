#include "expr/SysFuncBuiltins.h"

namespace zuno {

void registerVarFuncs(TBuiltinTable&) {}

} // namespace zuno
