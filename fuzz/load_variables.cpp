// LoadVariables and LoadStatus on arbitrary bytes. The first byte picks the
// save-data version (100 + byte), the rest is the block. A successful load is
// read through, saved and loaded again.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/EZunoError.h"
#include "core/TStream.h"
#include "expr/TParamCollection.h"

using namespace zuno;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    int32_t version = 100 + data[0];
    std::vector<uint8_t> bytes(data + 1, data + size);
    try {
        TParamCollection t;
        TKsMemoryStream s(bytes);
        t.LoadStatus(s);
        TKsMemoryStream s2(bytes);
        t.LoadVariables(s2, version);
        // Read everything once, as a variable dump would.
        for (int i = kSystemVarCount; i < t.Count(); ++i) {
            TCustomParam* v = t.Items(i)->Value();
            for (int k = 0; k < v->Count() && k < 64; ++k)
                (void)v->GetStringAt(k);
        }
        TKsMemoryStream out;
        t.SaveVariables(out);
        TParamCollection u;
        out.SetPosition(0);
        u.LoadVariables(out, 140);
    } catch (const EZunoError&) {
    }
    return 0;
}
