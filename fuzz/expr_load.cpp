// Fuzz target: TZunoParser::LoadFromStream on arbitrary bytes; what loads is
// executed against a fresh variable table (with Calc plugged in, so compiled
// text can run nested evaluations).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/EZunoError.h"
#include "core/TStream.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "expr/TZunoParser.h"
#include "expr/ZunoCalc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zuno;
    TKsMemoryStream in(std::vector<uint8_t>(data, data + size));
    TZunoParser parser;
    try {
        parser.LoadFromStream(in);
    } catch (const EZunoError&) {
        return 0;
    }
    TParamCollection params;
    TSysFuncMan funcs(params);
    funcs.SetRandomSeed(1);
    installCalc(funcs);
    parser.Execute(funcs);      // failures are silent by design
    parser.Execute(funcs);      // and a parser runs again
    return 0;
}
