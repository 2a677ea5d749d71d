// The regions of a map image's map file.
//
// File (little-endian): int32 N; N records of: text name (int32 length +
// bytes), byte kind, then kind 0 a rectangle and kind 1 an ellipse inscribed
// in it, each as int32 left, top, right, bottom (inclusive), and any other
// kind a polygon: int32 P and P points of int32 x, y, filled by the winding
// rule. Coordinates are relative to the map image's drawn top-left.
//
// Reading never trusts the counts: a record is read only when its bytes are
// there, so what is allocated stays within the size of the file. A file that
// ends inside a record gives the regions before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/TRect.h"

namespace zuno {

struct TMapRegion {
    enum : uint8_t { rkRect = 0, rkEllipse = 1 };

    std::string         Name;
    uint8_t             Kind = rkRect;
    // Rectangle and ellipse: the inclusive corners; polygon: its points.
    int32_t             Left = 0, Top = 0, Right = 0, Bottom = 0;
    std::vector<TPoint> Points;

    bool                Contains(int32_t x, int32_t y) const;
    TRect               Bounds() const;                               // half-open box around the region
};

std::vector<TMapRegion> readMapRegions(const uint8_t* data, size_t size);

} // namespace zuno
