// The variable dump of the command-line tools (zunotool calc, zunoplay
// --dump-vars): one line per variable that is not a system variable, sorted
// by the bytes of the name, fields separated by a tab:
//     NAME  TYPE  VALUE                     a scalar
//     NAME  TYPE  [D1,D2,...]  V0  V1 ...   a variable with dimensions
// TYPE is the record type code (0 for a reference). Values are the value's own
// text conversion; names and values are printed as UTF-8 with escapeForPrint.
#pragma once

#include <string>

namespace zuno {

class TCustomParam;
class TParamCollection;

// The value part: "VALUE" for a scalar, "[D1,D2]\tV0\tV1..." for an array.
std::string formatValueForDump(const TCustomParam& value);

// The whole dump, every line ending in "\n".
std::string dumpVariables(const TParamCollection& params);

} // namespace zuno
