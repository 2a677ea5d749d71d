// Fuzz target: a Drel file read from arbitrary bytes (with identification
// code 0 and with a fixed code), written again and read back, which must give
// the same pictures; the first frame is copied into a surface.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/EZunoError.h"
#include "core/TStream.h"
#include "imaging/TDIBX.h"
#include "imaging/TDrelFrameCopy.h"
#include "imaging/TDrelFrameList.h"

namespace {

bool samePicture(const zuno::TDrelBitmap& a, const zuno::TDrelBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitCount() != b.BitCount())
        return false;
    for (int32_t y = 0; y < a.Height(); ++y)
        for (int32_t x = 0; x < a.Width(); ++x)
            if (a.GetPixel(x, y) != b.GetPixel(x, y))
                return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zuno;
    for (int32_t id : {0, 0x1234567}) {
        try {
            TKsMemoryStream in(std::vector<uint8_t>(data, data + size));
            TDrelFrameList list(id);
            list.LoadFromStream(in);
            if (list.Count() == 0)
                continue;

            // Converting and round-tripping a huge picture (a few bytes can
            // declare one) costs seconds under the sanitizers and finds nothing
            // a small one would not: both are checked up to a million pixels.
            int64_t pixels = 0;
            for (int i = 0; i < list.Count(); ++i)
                pixels += int64_t(list.Frames(i)->Bitmap.Width()) * list.Frames(i)->Bitmap.Height();
            if (pixels > (int64_t(1) << 20))
                continue;
            TDIBX surface(1, 1, 32);
            copyFrameToSurface(*list.Frames(0), surface);
            TKsMemoryStream out;
            list.SaveToStream(out, 1);
            out.SetPosition(0);
            TDrelFrameList again(id);
            again.LoadFromStream(out);
            if (again.Count() != list.Count())
                __builtin_trap();
            for (int i = 0; i < list.Count(); ++i) {
                const TDrelFrame* a = list.Frames(i);
                const TDrelFrame* b = again.Frames(i);
                if (!samePicture(a->Bitmap, b->Bitmap) || a->HasMask() != b->HasMask() ||
                    (a->Mask && !samePicture(*a->Mask, *b->Mask)))
                    __builtin_trap();   // the writer and the reader disagree
            }
        } catch (const EZunoError&) {
        }
    }
    return 0;
}
