// Fuzz target: the expression compiler on arbitrary text, then the stored
// form it writes back through the loader, which must accept it unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/EZunoError.h"
#include "core/TStream.h"
#include "expr/TBuildZunoParser.h"
#include "expr/TZunoParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zuno;
    std::string text(reinterpret_cast<const char*>(data), size);
    TKsMemoryStream compiled;
    try {
        TBuildZunoParser builder;
        builder.Parse(text);
        builder.SaveToStream(compiled);
    } catch (const EZunoError&) {
        return 0;
    }
    // What the compiler writes, the loader reads, and writes back identically.
    compiled.SetPosition(0);
    TZunoParser parser;
    parser.LoadFromStream(compiled);
    TKsMemoryStream again;
    parser.SaveToStream(again);
    if (again.Data() != compiled.Data())
        std::abort();
    return 0;
}
