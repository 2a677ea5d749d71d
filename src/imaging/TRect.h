// Integer rectangles and points in pixel coordinates. Rectangles are
// half-open: Right and Bottom are exclusive.
#pragma once

#include <algorithm>
#include <cstdint>

namespace zuno {

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    constexpr TRect() = default;
    constexpr TRect(int32_t l, int32_t t, int32_t r, int32_t b) : Left(l), Top(t), Right(r), Bottom(b) {}

    static constexpr TRect bounds(int32_t x, int32_t y, int32_t w, int32_t h) { return {x, y, x + w, y + h}; }

    constexpr int32_t width() const { return Right - Left; }
    constexpr int32_t height() const { return Bottom - Top; }
    constexpr bool    isEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool    contains(int32_t x, int32_t y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    constexpr TRect   offset(int32_t dx, int32_t dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
    constexpr bool    operator==(const TRect&) const = default;
};

// The common part of two rectangles (may be empty, with Right < Left).
constexpr TRect intersectRect(const TRect& a, const TRect& b) {
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
}

// The smallest rectangle holding both; an empty rectangle adds nothing.
constexpr TRect unionRect(const TRect& a, const TRect& b) {
    if (a.isEmpty()) return b;
    if (b.isEmpty()) return a;
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

} // namespace zuno
