// Small surface fixtures for the surface tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "imaging/TDIBX.h"

namespace zuno::test {

// A w x h surface whose pixels are given row by row.
inline std::unique_ptr<TDIBX> surfaceOf(int32_t w, int32_t h, int32_t bits, std::initializer_list<uint32_t> px) {
    auto s = std::make_unique<TDIBX>(w, h, bits);
    int32_t i = 0;
    for (uint32_t v : px) {
        s->SetPixel(i % w, i / w, v);
        ++i;
    }
    return s;
}

inline std::unique_ptr<TDIBX> filled(int32_t w, int32_t h, int32_t bits, uint32_t v) {
    auto s = std::make_unique<TDIBX>(w, h, bits);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) s->SetPixel(x, y, v);
    return s;
}

inline std::vector<uint32_t> pixelsOf(TCustomDIBX& s) {
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < s.GetHeight(); ++y)
        for (int32_t x = 0; x < s.GetWidth(); ++x) out.push_back(s.GetPixel(x, y));
    return out;
}

} // namespace zuno::test
