// Row kernels of the wipes whose per-pixel rule runs over the whole screen
// (not a public interface). Each is a plain loop over one row, written so the
// compiler can turn it into vector code; WipeKernels.cpp is built for that
// (and, on x86-64 with GCC, also for AVX2, picked at run time).
#pragma once

#include <cstdint>

namespace zuno::wipe {

// Through white or black, pixel by pixel: v = clamp(base + rule[x], 0, 511);
// v <= 255 shows the old pixel plus (minus when dark) grey v, above it the new
// pixel plus (minus) grey 511 - v. The fourth byte of the result is 0.
void greyStepRule(uint32_t* o, const uint32_t* f, const uint32_t* s, const uint8_t* rule, int32_t n, int32_t base,
                  bool dark);
// The same, lightening, with v = clamp(base - distance[x], 0, 511).
void greyStepDistance(uint32_t* o, const uint32_t* f, const uint32_t* s, const uint16_t* distance, int32_t n,
                      int32_t base);

// A soft mask from a rule row: m[x] = clamp(base + rule[x], 0, 255).
void ruleMaskRow(uint8_t* m, const uint8_t* rule, int32_t n, int32_t base);

// A sector mask from a direction row (1/65536 turn): m[x] = 255 when
// (direction[x] - first[i]) mod 65536 < width[i] for one of the `count`
// sectors (count 0..2, widths 0..65536), else 0.
void sectorMaskRow(uint8_t* m, const uint16_t* direction, int32_t n, const int64_t* first, const int64_t* width,
                   int32_t count);

} // namespace zuno::wipe

namespace zuno::wipe {

// A column squeezed to Length rows starting at row Top (black elsewhere):
// row Top + i shows row i * rows / Length of its source column.
struct TSqueezedColumn {
    const uint8_t*      Source;                 // the source column's pixel in row 0
    int64_t             Pitch;                  // of the source picture, in bytes
    int32_t             Top, Length;
};

// Draws up to 16 neighbouring squeezed columns, `rows` high, into the
// columns starting at `out` (a pixel in row 0; rows `outPitch` bytes apart).
void squeezedColumns(uint8_t* out, int64_t outPitch, int32_t rows, const TSqueezedColumn* columns, int32_t n);

} // namespace zuno::wipe
