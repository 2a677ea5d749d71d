#include "imaging/TWipeTwist.h"

#include <numbers>

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

TWipeTwistH::TSlat TWipeTwistH::slat(int32_t i, int32_t n, int32_t length) const {
    const double pi = std::numbers::pi;
    const double phi = double(t()) * 3 * pi / 2 / double(T());
    const int32_t k = FReverse ? n - 1 - i : i;
    const double theta = phi - double(k) / double(n) * pi / 2;
    TSlat s;
    if (theta < 0)
        return s;
    if (theta >= pi) {
        s.Kind = 2;
        return s;
    }
    s.Kind = 1;
    const double c = std::cos(theta);
    s.Length = int32_t(std::min<int64_t>(nint(double(length) * std::fabs(c)), length));
    s.ShowsNew = c < 0;
    return s;
}

void TWipeTwistH::DrawFrame() {
    const bool v = vertical();
    const int32_t n = v ? W() : H(), length = v ? H() : W();
    FSlats.resize(size_t(n));
    for (int32_t i = 0; i < n; ++i)
        FSlats[size_t(i)] = slat(i, n, length);

    TLockedSurface target(Target()), from(From()), to(To());
    if (!target.ok() || !from.ok() || !to.ok())
        return;
    for (int32_t y = 0; y < H(); ++y) {
        uint32_t* o = row32(target, y);
        if (!v) {
            const TSlat& s = FSlats[size_t(y)];
            if (s.Kind != 1) {
                std::memcpy(o, row32(s.Kind == 0 ? from : to, y), size_t(W()) * 4);
                continue;
            }
            // The row squeezed to Length columns, centred on black.
            const uint32_t* src = row32(s.ShowsNew ? to : from, y);
            const int32_t x0 = (W() - s.Length) / 2;
            std::fill(o, o + W(), 0u);
            if (s.Length <= 0)
                continue;
            // Column x shows source column x * W / Length, stepped without division.
            const int32_t whole = W() / s.Length, part = W() % s.Length;
            int32_t column = 0, rest = 0;
            for (int32_t x = 0; x < s.Length; ++x) {
                o[x0 + x] = src[column];
                column += whole;
                rest += part;
                if (rest >= s.Length) {
                    rest -= s.Length;
                    ++column;
                }
            }
            continue;
        }
        const uint32_t* f = row32(from, y);
        const uint32_t* nw = row32(to, y);
        for (int32_t x = 0; x < W(); ++x) {
            const TSlat& s = FSlats[size_t(x)];
            if (s.Kind == 0) {
                o[x] = f[x];
            } else if (s.Kind == 2) {
                o[x] = nw[x];
            } else {
                // The column squeezed to Length rows, centred on black.
                const int32_t y0 = (H() - s.Length) / 2;
                if (y < y0 || y >= y0 + s.Length)
                    o[x] = 0;
                else
                    o[x] = row32(s.ShowsNew ? to : from, int32_t(int64_t(y - y0) * H() / s.Length))[x];
            }
        }
    }
}

} // namespace zuno
