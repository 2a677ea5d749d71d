#include "imaging/TWipeBlur.h"

#include <vector>

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

namespace {

// One pass over n pixels spaced `stride` apart: each becomes the mean of the
// 2r + 1 pixels around it, positions beyond the ends taking the end pixel.
void blurLine(uint32_t* p, int64_t stride, int32_t n, int32_t r, std::vector<uint32_t>& line) {
    line.resize(size_t(n));
    for (int32_t i = 0; i < n; ++i)
        line[size_t(i)] = p[i * stride];
    const uint32_t count = uint32_t(2 * r + 1);
    uint32_t sum[3] = {0, 0, 0};
    auto at = [&](int32_t i) { return line[size_t(std::clamp(i, 0, n - 1))]; };
    for (int32_t k = -r; k <= r; ++k)
        for (int c = 0; c < 3; ++c)
            sum[c] += (at(k) >> (8 * c)) & 255;
    for (int32_t i = 0; i < n; ++i) {
        p[i * stride] = ((sum[0] / count)) | ((sum[1] / count) << 8) | ((sum[2] / count) << 16);
        const uint32_t out = at(i - r), in = at(i + r + 1);
        for (int c = 0; c < 3; ++c)
            sum[c] += ((in >> (8 * c)) & 255) - ((out >> (8 * c)) & 255);
    }
}

} // namespace

void boxBlur32(TDIBX& picture, int32_t radius) {
    if (radius <= 0 || picture.GetBitCount() != 32 || picture.IsEmpty())
        return;
    const int32_t w = picture.GetWidth(), h = picture.GetHeight();
    const int64_t pitch = picture.GetPitch() / 4;
    uint32_t* base = reinterpret_cast<uint32_t*>(picture.ScanLine(0));
    std::vector<uint32_t> line;
    for (int32_t y = 0; y < h; ++y)
        blurLine(base + y * pitch, 1, w, radius, line);
    for (int32_t x = 0; x < w; ++x)
        blurLine(base + x, pitch, h, radius, line);
}

void TWipeBlurWhite::DrawFrame() {
    if (!FBlurFrom) {
        const int32_t radius = std::min(W(), H()) / 20;
        for (auto [copy, source] : {std::pair{&FBlurFrom, &From()}, std::pair{&FBlurTo, &To()}}) {
            *copy = std::make_unique<TDIBX>(W(), H(), 32);
            (*copy)->Assign(*source);
            boxBlur32(**copy, radius);
        }
    }
    const TRect all(0, 0, W(), H());
    const int64_t b = mulDiv(t(), 639, T());
    if (b < 256) {
        Target().Assign(From());
        Target().DrawAlpha(0, 0, int32_t(b), false, false, false, all, *FBlurFrom);
    } else if (b < 320) {
        Target().Assign(*FBlurFrom);
        shade(uint32_t((b - 256) * 4));
    } else if (b < 384) {
        Target().Assign(*FBlurTo);
        shade(uint32_t((383 - b) * 4));
    } else {
        Target().Assign(To());
        Target().DrawAlpha(0, 0, int32_t(639 - b), false, false, false, all, *FBlurTo);
    }
}

void TWipeBlurWhite::shade(uint32_t k) { Target().FillRectAdd(TRect(0, 0, W(), H()), greyPixel(k)); }

void TWipeBlurBlack::shade(uint32_t k) { Target().FillRectSub(TRect(0, 0, W(), H()), greyPixel(k)); }

} // namespace zuno
