// Fuzz target: the display-object records of a game save (the registry with
// its screens, controls, other objects, event queue and focus). The first
// byte picks the save version; what loads is then saved, loaded again and run
// for a frame without drawing. Sizes are cut by the registry, counts checked
// against the data, and nesting bounded.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/EZunoError.h"
#include "core/TStream.h"
#include "objects/TZunoBaseList.h"

using namespace zuno;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    // Versions 100 .. 138 cover every optional field.
    const int32_t version = 100 + data[0] % 39;
    TKsMemoryStream in(std::vector<uint8_t>(data + 1, data + size));
    TZunoBaseList reg;
    try {
        reg.LoadFromStream(in, version);
    } catch (const EZunoError&) {
        return 0;
    }
    TKsMemoryStream out;
    reg.SaveToStream(out);
    out.SetPosition(0);
    TZunoBaseList again;
    try {
        again.LoadFromStream(out, 138);
    } catch (const EZunoError&) {
        __builtin_trap();                 // what was written must read back
    }
    again.MouseMove(1, 1);
    again.MouseDown(true, false);
    again.InputStep(16);
    again.Update(16);
    return 0;
}
