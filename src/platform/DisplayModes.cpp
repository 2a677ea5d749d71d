#include "platform/DisplayModes.h"

namespace zuno {

// ---------------------------------------------------------------- chooseDisplayModes

TModeChoice chooseDisplayModes(const std::vector<TDisplayMode>& offered, int32_t minWidth, int32_t minHeight,
                               int32_t preferredWidth, int32_t preferredHeight, int32_t desktopDepth) {
    TModeChoice result;
    auto preferred = [&](const TDisplayMode& m) { return m.width == preferredWidth && m.height == preferredHeight; };
    for (const TDisplayMode& m : offered) {
        if (m.width < minWidth || m.height < minHeight || m.bitsPerPixel <= 15)
            continue;
        result.modes.push_back(m);
        int32_t index = static_cast<int32_t>(result.modes.size()) - 1;
        if (result.chosen < 0) {
            result.chosen = index;
            continue;
        }
        const TDisplayMode& c = result.modes[result.chosen];
        if (!preferred(m))
            continue;
        bool better = !preferred(c)
                      || (m.bitsPerPixel == desktopDepth && c.bitsPerPixel != desktopDepth)
                      || (m.bitsPerPixel == desktopDepth && c.bitsPerPixel == desktopDepth && m.refreshRate < c.refreshRate);
        if (better)
            result.chosen = index;
    }
    return result;
}

} // namespace zuno
