// zlib streams (RFC 1950) of archive entries and CRC-32 as zlib computes it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/TStream.h"

namespace zuno {

// Deflate ratio that no valid stream exceeds; inflate output is capped by it.
constexpr int64_t kMaxInflateRatio = 1032;

// One complete zlib stream at compression level 1.
std::vector<uint8_t> deflateLevel1(const uint8_t* data, size_t size);

// Inflates one complete zlib stream into `out` (replacing its contents). The
// output grows as needed up to what deflate can produce from `size` bytes; a
// damaged or truncated stream fails with EZunoError naming `what` (Shift-JIS).
void inflateZlib(const uint8_t* data, size_t size, std::vector<uint8_t>& out, std::string_view what);

// CRC-32 of a buffer, continuing from `crc` (0 to start).
uint32_t crc32Of(const uint8_t* data, size_t size, uint32_t crc = 0);

// CRC-32 of the whole stream from position 0, read in 1 MiB chunks; the
// stream's position is at its end afterwards.
uint32_t crc32OfStream(TStream& stream);

} // namespace zuno
