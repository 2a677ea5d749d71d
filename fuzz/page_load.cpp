// Compiled pages from untrusted bytes: loading must fail only with
// EZunoError; a page that loads must save, load again and save to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "authoring/RecordDump.h"
#include "core/EZunoError.h"
#include "core/TStream.h"
#include "script/TPage.h"

using namespace zuno;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        TKsMemoryStream in(std::vector<uint8_t>(data, data + size));
        TPage page;
        if (page.LoadFromStream(in, "fuzz.zsb") != TPageLoadResult::Loaded)
            return 0;
        (void)dumpPage(page);
        TKsMemoryStream first;
        page.SaveToStream(first);
        first.SetPosition(0);
        TPage again;
        if (again.LoadFromStream(first, "fuzz.zsb") != TPageLoadResult::Loaded)
            std::abort();
        TKsMemoryStream second;
        again.SaveToStream(second);
        if (second.Data() != first.Data())
            std::abort();
    } catch (const EZunoError&) {
    }
    return 0;
}
