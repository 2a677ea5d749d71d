#include "platform/TopStrip.h"

#include <algorithm>
#include <string_view>

namespace zuno {

namespace {

constexpr uint32_t kFace = 0xD4D0C8;        // the classic dialog face colour
constexpr uint32_t kLight = 0xFFFFFF;
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kDark = 0x404040;
constexpr uint32_t kText = 0x000000;
constexpr int32_t kButtonTop = 2;

// "終了" and "画面切替" at 12 pixels in the proportional gothic face, one
// string per row, '#' for an inked pixel.
constexpr std::string_view kQuitLabel[] = {
    "..#....#.................", "..#...####....########...", ".#.#..#..#..........#....",
    ".###.####..........#.....", "..###..##.........#......", "#####..###........#......",
    "..#..##...#.......#......", ".###...##.........#......", ".##.#.#...........#......",
    "#.#....##.........#......", "..#......#......###......",
};
constexpr std::string_view kSwitchLabel[] = {
    ".......................................#....#....", "###########.###########...#..######..##########..",
    ".....#...........#........#....#..#....#....#....", ".#.######.#..#########...#####.#..#..##########..",
    ".#.#.#..#.#..#..#..#.#....#....#..#....##..#.#...", ".#.######.#..#..####.#....#....#..#..##..###..#..",
    ".#.#.#..#.#..#..#..#.#....#..#.#..#...##.....#...", ".#.#.##.#.#..#..####.#....#####...#...########...",
    ".#........#..#..#..#.#........#...#...#......#...", ".##########..#########.......#.####...########...",
    ".#........#..#.......#................#......#...",
};

struct TCanvas {
    uint32_t*           pixels;
    int32_t             width;
    int32_t             pitch;

    void                put(int32_t x, int32_t y, uint32_t c) const {
        if (x >= 0 && x < width && y >= 0 && y < kStripHeight)
            pixels[y * pitch + x] = c;
    }
    void                hline(int32_t x0, int32_t x1, int32_t y, uint32_t c) const { for (int32_t x = x0; x <= x1; ++x) put(x, y, c); }
    void                vline(int32_t x, int32_t y0, int32_t y1, uint32_t c) const { for (int32_t y = y0; y <= y1; ++y) put(x, y, c); }
};

template <size_t N>
void drawLabel(const TCanvas& c, int32_t left, int32_t top, const std::string_view (&rows)[N]) {
    int32_t w = static_cast<int32_t>(rows[0].size());
    int32_t x0 = left + (kStripButtonWidth - w) / 2;
    int32_t y0 = top + (kStripButtonHeight - static_cast<int32_t>(N)) / 2;
    for (size_t y = 0; y < N; ++y)
        for (size_t x = 0; x < rows[y].size(); ++x)
            if (rows[y][x] == '#')
                c.put(x0 + static_cast<int32_t>(x), y0 + static_cast<int32_t>(y), kText);
}

void drawButton(const TCanvas& c, int32_t left, bool pressed) {
    int32_t right = left + kStripButtonWidth - 1;
    int32_t top = kButtonTop;
    int32_t bottom = top + kStripButtonHeight - 1;
    uint32_t lt = pressed ? kDark : kLight;
    uint32_t rb = pressed ? kLight : kDark;
    c.hline(left, right, top, lt);
    c.vline(left, top, bottom, lt);
    c.hline(left, right, bottom, rb);
    c.vline(right, top, bottom, rb);
    if (!pressed) {
        c.hline(left + 1, right - 1, bottom - 1, kShadow);
        c.vline(right - 1, top + 1, bottom - 1, kShadow);
    }
}

} // namespace

// ---------------------------------------------------------------- stripButtonAt

TStripButton stripButtonAt(int32_t x, int32_t y) {
    if (y < kButtonTop || y >= kButtonTop + kStripButtonHeight || x < 0)
        return TStripButton::none;
    if (x < kStripButtonWidth)
        return TStripButton::quit;
    if (x < 2 * kStripButtonWidth)
        return TStripButton::toggleFullScreen;
    return TStripButton::none;
}

// ---------------------------------------------------------------- drawStrip

void drawStrip(uint32_t* pixels, int32_t width, int32_t pitch, TStripButton pressed) {
    TCanvas c{pixels, width, pitch};
    for (int32_t y = 0; y < kStripHeight; ++y)
        c.hline(0, width - 1, y, kFace);
    c.hline(0, width - 1, kStripHeight - 1, kShadow);
    int32_t shift = pressed == TStripButton::quit ? 1 : 0;
    drawButton(c, 0, pressed == TStripButton::quit);
    drawLabel(c, shift, kButtonTop + shift, kQuitLabel);
    shift = pressed == TStripButton::toggleFullScreen ? 1 : 0;
    drawButton(c, kStripButtonWidth, pressed == TStripButton::toggleFullScreen);
    drawLabel(c, kStripButtonWidth + shift, kButtonTop + shift, kSwitchLabel);
}

} // namespace zuno
