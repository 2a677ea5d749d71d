#include "expr/SysFuncBuiltins.h"

namespace zuno {

void registerDateFuncs(TBuiltinTable&) {}

} // namespace zuno
