#include "objects/TMapRegions.h"

#include <algorithm>
#include <climits>

#include "core/StreamFields.h"

namespace zuno {

namespace {

int32_t clampTo32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// A cursor over the file's bytes that answers false instead of reading past the end.
struct TReader {
    const uint8_t* Data;
    size_t Size;
    size_t Pos = 0;

    size_t left() const { return Size - Pos; }
    bool int32(int32_t& v) {
        if (left() < 4)
            return false;
        v = static_cast<int32_t>(getLE32(Data + Pos));
        Pos += 4;
        return true;
    }
    bool byte(uint8_t& v) {
        if (left() < 1)
            return false;
        v = Data[Pos++];
        return true;
    }
    bool text(std::string& s) {
        int32_t n = 0;
        if (!int32(n))
            return false;
        if (n <= 0) {
            s.clear();
            return true;
        }
        if (size_t(n) > left())
            return false;
        s.assign(reinterpret_cast<const char*>(Data + Pos), size_t(n));
        Pos += size_t(n);
        return true;
    }
};

} // namespace

std::vector<TMapRegion> readMapRegions(const uint8_t* data, size_t size) {
    std::vector<TMapRegion> regions;
    TReader r{data, size};
    int32_t count = 0;
    if (!data || !r.int32(count) || count <= 0)
        return regions;
    // The smallest record is 9 bytes (empty name, kind, no points).
    regions.reserve(std::min<size_t>(size_t(count), r.left() / 9));
    for (int32_t i = 0; i < count; ++i) {
        TMapRegion region;
        if (!r.text(region.Name) || !r.byte(region.Kind))
            break;
        if (region.Kind == TMapRegion::rkRect || region.Kind == TMapRegion::rkEllipse) {
            if (!r.int32(region.Left) || !r.int32(region.Top) || !r.int32(region.Right) || !r.int32(region.Bottom))
                break;
        } else {
            int32_t points = 0;
            if (!r.int32(points) || points < 0 || size_t(points) > r.left() / 8)
                break;
            region.Points.resize(size_t(points));
            for (TPoint& p : region.Points) {
                r.int32(p.X);
                r.int32(p.Y);
            }
        }
        regions.push_back(std::move(region));
    }
    return regions;
}

TRect TMapRegion::Bounds() const {
    if (Kind == rkRect || Kind == rkEllipse)
        return TRect(Left, Top, clampTo32(int64_t(Right) + 1), clampTo32(int64_t(Bottom) + 1));
    if (Points.empty())
        return TRect();
    int32_t l = INT32_MAX, t = INT32_MAX, rt = INT32_MIN, b = INT32_MIN;
    for (const TPoint& p : Points) {
        l = std::min(l, p.X);
        t = std::min(t, p.Y);
        rt = std::max(rt, p.X);
        b = std::max(b, p.Y);
    }
    return TRect(l, t, clampTo32(int64_t(rt) + 1), clampTo32(int64_t(b) + 1));
}

bool TMapRegion::Contains(int32_t x, int32_t y) const {
    if (Kind == rkRect)
        return x >= Left && x <= Right && y >= Top && y <= Bottom;
    if (Kind == rkEllipse) {
        if (x < Left || x > Right || y < Top || y > Bottom)
            return false;
        // The pixel's centre inside the ellipse inscribed in the box
        // (left .. right + 1, top .. bottom + 1), in doubled units.
        const double w = double(Right) + 1 - Left, h = double(Bottom) + 1 - Top;
        const double dx = (2.0 * x + 1 - (2.0 * Left + w)) / w, dy = (2.0 * y + 1 - (2.0 * Top + h)) / h;
        return dx * dx + dy * dy <= 1.0;
    }
    // Winding number of the polygon around the pixel's centre.
    const size_t n = Points.size();
    if (n < 3)
        return false;
    const double px = x + 0.5, py = y + 0.5;
    int winding = 0;
    for (size_t i = 0; i < n; ++i) {
        const TPoint& a = Points[i];
        const TPoint& b = Points[(i + 1) % n];
        const double cross = (double(b.X) - a.X) * (py - a.Y) - (px - a.X) * (double(b.Y) - a.Y);
        if (a.Y <= py) {
            if (b.Y > py && cross > 0)
                ++winding;
        } else if (b.Y <= py && cross < 0) {
            --winding;
        }
    }
    return winding != 0;
}

} // namespace zuno
