// Fuzz target: a Windows bitmap (file or bare DIB) read from arbitrary bytes,
// its first frame cropped and turned into a mask.
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
        list.LoadBmpFromStream(in);
        if (list.Count() == 1) {
            TDrelFrame* f = list.Frames(0);
            f->SetTransparentValue(int32_t(f->Bitmap.IsEmpty() ? 0 : f->Bitmap.GetPixel(0, 0)));
            f->Crop();
            f->MakeMaskFromTransparent();
        }
    } catch (const EZunoError&) {
    }
    return 0;
}
