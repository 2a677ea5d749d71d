// Little-endian field readers and writers on ordinary streams: the stored form
// of every player file. Counts and lengths read from a stream are checked
// against the bytes the stream still holds before anything is allocated.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/TExtended.h"
#include "core/TStream.h"

namespace zuno {

int32_t     ReadInt(TStream& s);
int64_t     ReadInt64(TStream& s);
uint32_t    ReadUInt32(TStream& s);
uint16_t    ReadWord(TStream& s);
uint8_t     ReadByte(TStream& s);
bool        ReadBool(TStream& s);                    // one byte, non-zero is true
double      ReadDouble(TStream& s);                  // 8-byte IEEE double
TExtended   ReadExtended(TStream& s);                // 10-byte extended real
std::string ReadString(TStream& s);                  // int32 count, bytes; count <= 0 is empty
std::vector<std::string> ReadStrings(TStream& s);    // int32 count, texts

void        WriteInt(TStream& s, int32_t v);
void        WriteInt64(TStream& s, int64_t v);
void        WriteUInt32(TStream& s, uint32_t v);
void        WriteWord(TStream& s, uint16_t v);
void        WriteByte(TStream& s, uint8_t v);
void        WriteBool(TStream& s, bool v);
void        WriteDouble(TStream& s, double v);
void        WriteExtended(TStream& s, const TExtended& v);
void        WriteString(TStream& s, const std::string& v);
void        WriteStrings(TStream& s, const std::vector<std::string>& v);

// Fails with a clear error when the stream cannot hold `count` items of
// `itemSize` bytes from its position; `what` names the field in the message.
void        checkCount(TStream& s, int64_t count, int64_t itemSize, const char* what);

// Raw little-endian access to memory, for decoders that work on buffers.
inline uint16_t getLE16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t getLE32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint64_t getLE64(const uint8_t* p) { return uint64_t(getLE32(p)) | (uint64_t(getLE32(p + 4)) << 32); }
inline void putLE16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
inline void putLE32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); p[2] = uint8_t(v >> 16); p[3] = uint8_t(v >> 24);
}
inline void putLE64(uint8_t* p, uint64_t v) { putLE32(p, uint32_t(v)); putLE32(p + 4, uint32_t(v >> 32)); }

} // namespace zuno
