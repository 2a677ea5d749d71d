#include "expr/SysFuncBuiltins.h"

namespace zuno {

void registerArrayFuncs(TBuiltinTable&) {}

} // namespace zuno
