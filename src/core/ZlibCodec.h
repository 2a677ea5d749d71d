// zlib streams (RFC 1950) and CRC-32 as zlib computes it: the one wrapper of
// zlib that archives and pictures share.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/TStream.h"

namespace zuno {

// Deflate ratio that no valid stream exceeds; inflate output is capped by it.
constexpr int64_t kMaxInflateRatio = 1032;

// One complete zlib stream at compression `level` (0-9).
std::vector<uint8_t>    deflateZlib(const uint8_t* data, size_t size, int level);
inline std::vector<uint8_t> deflateLevel1(const uint8_t* data, size_t size) { return deflateZlib(data, size, 1); }

// Inflates one complete zlib stream into `out` (replacing its contents). The
// output grows as needed up to what deflate can produce from `size` bytes; a
// damaged or truncated stream fails with EZunoError naming `what` (Shift-JIS).
void                    inflateZlib(const uint8_t* data, size_t size, std::vector<uint8_t>& out, std::string_view what);

// Inflates into a buffer of fixed size; stops when it is full, the stream
// ends or the input runs out, and returns the bytes produced (the caller
// judges a short result). A damaged stream is an error.
size_t                  inflateZlibInto(const uint8_t* data, size_t size, uint8_t* out, size_t outSize);

// CRC-32 of a buffer, continuing from `crc` (0 to start).
uint32_t                crc32Of(const uint8_t* data, size_t size, uint32_t crc = 0);

// CRC-32 of the whole stream from position 0, read in 1 MiB chunks; the
// stream's position is at its end afterwards.
uint32_t                crc32OfStream(TStream& stream);

} // namespace zuno
