// The page source reader from arbitrary text: building must fail only with
// EZunoError; a page that builds must decompile to a text that builds the
// same bytes again. Inputs starting with a 0 byte are compiled pages instead,
// which must decompile and build back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "authoring/PageSource.h"
#include "core/EZunoError.h"
#include "core/TStream.h"
#include "script/TPage.h"

using namespace zuno;

namespace {

std::string bytesOf(const TPage& page) {
    TKsMemoryStream s;
    page.SaveToStream(s);
    return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.GetSize()));
}

void checkRoundTrip(const TPage& page) {
    std::unique_ptr<TPage> back;
    try {
        back = buildPageSource(decompilePage(page), "fuzz.zs", page.Name());
    } catch (const EZunoError&) {
        std::abort();                                   // decompiled text must build
    }
    if (bytesOf(*back) != bytesOf(page))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0 && data[0] == 0) {
        try {
            TKsMemoryStream in(std::vector<uint8_t>(data + 1, data + size));
            TPage page;
            if (page.LoadFromStream(in, "fuzz.zsb") != TPageLoadResult::Loaded)
                return 0;
            checkRoundTrip(page);                       // whatever shape its set table has
        } catch (const EZunoError&) {
        }
        return 0;
    }
    std::unique_ptr<TPage> page;
    try {
        page = buildPageSource(std::string(reinterpret_cast<const char*>(data), size), "fuzz.zs", "fuzz.zsb",
                               [](const std::string&, const std::string&) { return 3; });
    } catch (const EZunoError&) {
        return 0;
    }
    checkRoundTrip(*page);
    return 0;
}
