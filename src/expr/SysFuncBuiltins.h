// Internal: the built-in implementations, registered by group into the
// dispatcher's table (TSysFuncMan.cpp). Entries left empty raise the
// "not available" error until a part of the player supplies them.
#pragma once

#include <array>

#include "expr/TSysFuncMan.h"

namespace zuno {

using TBuiltinFn = void (*)(TSysFuncMan& man, TCustomParam& R, const TParamArgs& args);
using TBuiltinTable = std::array<TBuiltinFn, kSysFuncCount>;

void registerTextFuncs(TBuiltinTable& t);
void registerArrayFuncs(TBuiltinTable& t);
void registerMathFuncs(TBuiltinTable& t);
void registerDateFuncs(TBuiltinTable& t);
void registerVarFuncs(TBuiltinTable& t);
void registerTableFuncs(TBuiltinTable& t);

} // namespace zuno
