// The compressors and picture formats beneath the Drel frame list: zlib
// streams, JPEG (libjpeg), PNG (libpng) and Windows bitmaps. Every decoder
// checks what its data declares against what the data can hold and fails
// with EZunoError; none of them allocates more than decodeBudget() allows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/TDrelBitmap.h"

namespace zuno {

// Most bytes of decoded pictures that `dataSize` bytes of input may produce:
// a fixed allowance plus the largest expansion of a zlib stream (about
// 1032 : 1), so real pictures always fit and a few bytes can never claim
// gigabytes.
constexpr uint64_t decodeBudget(uint64_t dataSize) { return (uint64_t(32) << 20) + dataSize * 1100; }

// ---- JPEG ----
// Decodes a JPEG stream of exactly width x height pixels into RGB triples
// (red, green, blue), rows top-down without padding.
void                decodeJpeg(const uint8_t* data, size_t size, int32_t width, int32_t height,
                               std::vector<uint8_t>& rgb);
std::vector<uint8_t> encodeJpeg(const uint8_t* rgb, int32_t width, int32_t height, int quality);

// ---- decoded single pictures (PNG, BMP) ----
struct TDecodedImage {
    TDrelBitmap                  Bitmap;
    std::unique_ptr<TDrelBitmap> Mask;              // 8-bit opacity, 255 opaque
    int32_t                      TransparentValue = -1;  // pixel value (palette index for <= 8 bits)
};

bool                isPngData(const uint8_t* data, size_t size);
TDecodedImage       readPng(const uint8_t* data, size_t size);
// RGBA rows top-down without padding -> a PNG file.
std::vector<uint8_t> writePngRgba(const uint8_t* rgba, int32_t width, int32_t height);

bool                isBmpData(const uint8_t* data, size_t size);
// A bitmap file ("BM" header) or a bare DIB starting at its info header.
TDecodedImage       readBmp(const uint8_t* data, size_t size);

} // namespace zuno
