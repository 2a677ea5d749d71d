#include "expr/SysFuncBuiltins.h"

namespace zuno {

void registerTextFuncs(TBuiltinTable&) {}

} // namespace zuno
