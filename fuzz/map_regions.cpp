// Fuzz target: a map image's map file read from arbitrary bytes. Every
// region read must lie within the bytes (names and points), and hit tests
// and bounds of every region must work for points around it.
#include <cstddef>
#include <cstdint>

#include "objects/TMapRegions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zuno;
    const std::vector<TMapRegion> regions = readMapRegions(data, size);
    size_t bytes = 4;
    for (const TMapRegion& r : regions) {
        bytes += 5 + r.Name.size() + 8 * r.Points.size();
        const TRect box = r.Bounds();
        for (int32_t y : {box.Top, box.Bottom - 1, 0})
            for (int32_t x : {box.Left, box.Right - 1, 0})
                (void)r.Contains(x, y);
    }
    if (bytes > size + 4)
        __builtin_trap();                   // more was made than the bytes hold
    return 0;
}
