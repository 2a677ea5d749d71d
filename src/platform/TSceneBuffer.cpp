#include "platform/TSceneBuffer.h"

#include <algorithm>

namespace zuno {

// ---------------------------------------------------------------- TSceneBuffer

TSceneBuffer::TSceneBuffer(int width, int height) {
    resize(width, height);
}

void TSceneBuffer::resize(int width, int height) {
    FWidth = std::max(width, 0);
    FHeight = std::max(height, 0);
    FPixels.assign(static_cast<size_t>(FWidth) * FHeight, 0);
}

void TSceneBuffer::fill(uint32_t rgb) {
    std::fill(FPixels.begin(), FPixels.end(), rgb);
}

TPresentRect TSceneBuffer::clip(const TPresentRect& r) const {
    TPresentRect c{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, FWidth), std::min(r.bottom, FHeight)};
    if (c.empty())
        return {};
    return c;
}

} // namespace zuno
