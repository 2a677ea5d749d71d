// Fuzz target: a PNG picture read from arbitrary bytes through libpng.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/EZunoError.h"
#include "core/TStream.h"
#include "imaging/TDrelFrameList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zuno;
    try {
        TKsMemoryStream in(std::vector<uint8_t>(data, data + size));
        TDrelFrameList list;
        list.LoadPngFromStream(in);
        if (list.Count() == 1 && list.Frames(0)->HasMask())
            list.Frames(0)->Crop();
    } catch (const EZunoError&) {
    }
    return 0;
}
