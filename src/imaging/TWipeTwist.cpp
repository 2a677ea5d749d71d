#include "imaging/TWipeTwist.h"

#include <numbers>

#include "imaging/WipeKernels.h"
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
    if (v)
        prepareColumns(from, to);
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
        drawColumnsRow(o, row32(from, y), row32(to, y));
    }
    if (v)
        drawSqueezedColumns(target);
}

void TWipeTwistH::prepareColumns(TLockedSurface& from, TLockedSurface& to) {
    // Runs of neighbouring columns in the same state, and for each squeezed
    // column the rows it covers and its picture.
    FRuns.clear();
    FColumns.resize(FSlats.size());
    for (int32_t x = 0; x < W(); ++x) {
        const TSlat& s = FSlats[size_t(x)];
        if (FRuns.empty() || FRuns.back().Kind != s.Kind)
            FRuns.push_back({s.Kind, x, x + 1});
        else
            FRuns.back().End = x + 1;
        if (s.Kind != 1)
            continue;
        TColumn& c = FColumns[size_t(x)];
        c.Top = (H() - s.Length) / 2;
        c.Bottom = c.Top + s.Length;
        TLockedSurface& source = s.ShowsNew ? to : from;
        c.Source = source.row(0);
        c.Pitch = source.pitch();
    }
}

void TWipeTwistH::drawColumnsRow(uint32_t* o, const uint32_t* f, const uint32_t* nw) {
    // The columns in their old or new state, row by row.
    for (const TRun& run : FRuns) {
        const size_t bytes = size_t(run.End - run.Begin) * 4;
        if (run.Kind == 0) {
            std::memcpy(o + run.Begin, f + run.Begin, bytes);
            continue;
        }
        if (run.Kind == 2) {
            std::memcpy(o + run.Begin, nw + run.Begin, bytes);
            continue;
        }
        // Squeezed columns are drawn by drawSqueezedColumns.
    }
}

void TWipeTwistH::drawSqueezedColumns(TLockedSurface& target) {
    // A squeezed column reads its own source rows. The columns go in strips
    // a cache line wide, each row by row, so that the lines one row of the
    // strip reads serve its neighbouring columns too.
    constexpr int32_t kStrip = 16;
    TSqueezedColumn strip[kStrip];
    for (const TRun& run : FRuns) {
        if (run.Kind != 1)
            continue;
        for (int32_t x0 = run.Begin; x0 < run.End; x0 += kStrip) {
            const int32_t n = std::min(kStrip, run.End - x0);
            for (int32_t i = 0; i < n; ++i) {
                const TColumn& c = FColumns[size_t(x0 + i)];
                strip[i] = {c.Source + int64_t(x0 + i) * 4, c.Pitch, c.Top, c.Bottom - c.Top};
            }
            squeezedColumns(target.row(0) + int64_t(x0) * 4, target.pitch(), H(), strip, n);
        }
    }
}

} // namespace zuno
