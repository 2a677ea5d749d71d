#include "core/StreamFields.h"

#include <cstring>

#include "core/EZunoError.h"

namespace zuno {

void checkCount(TStream& s, int64_t count, int64_t itemSize, const char* what) {
    if (count < 0 || (itemSize > 0 && count > s.Remaining() / itemSize))
        throw EZunoError::fromUtf8(std::string("データが壊れています (") + what + ")");
}

namespace {
template <size_t N>
void readBytes(TStream& s, uint8_t (&b)[N]) {
    s.ReadBuffer(b, N);
}
} // namespace

int32_t ReadInt(TStream& s) {
    uint8_t b[4];
    readBytes(s, b);
    return static_cast<int32_t>(getLE32(b));
}

int64_t ReadInt64(TStream& s) {
    uint8_t b[8];
    readBytes(s, b);
    return static_cast<int64_t>(getLE64(b));
}

uint32_t ReadUInt32(TStream& s) {
    uint8_t b[4];
    readBytes(s, b);
    return getLE32(b);
}

uint16_t ReadWord(TStream& s) {
    uint8_t b[2];
    readBytes(s, b);
    return getLE16(b);
}

uint8_t ReadByte(TStream& s) {
    uint8_t b[1];
    readBytes(s, b);
    return b[0];
}

bool ReadBool(TStream& s) { return ReadByte(s) != 0; }

double ReadDouble(TStream& s) {
    uint8_t b[8];
    readBytes(s, b);
    uint64_t bits = getLE64(b);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

TExtended ReadExtended(TStream& s) {
    uint8_t b[10];
    readBytes(s, b);
    return TExtended::fromBytes(b);
}

std::string ReadString(TStream& s) {
    int32_t n = ReadInt(s);
    if (n <= 0)
        return {};
    checkCount(s, n, 1, "text");
    std::string v(static_cast<size_t>(n), '\0');
    s.ReadBuffer(v.data(), n);
    return v;
}

std::vector<std::string> ReadStrings(TStream& s) {
    int32_t n = ReadInt(s);
    std::vector<std::string> v;
    if (n <= 0)
        return v;
    checkCount(s, n, 4, "text list");
    v.reserve(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i)
        v.push_back(ReadString(s));
    return v;
}

void WriteInt(TStream& s, int32_t v) {
    uint8_t b[4];
    putLE32(b, static_cast<uint32_t>(v));
    s.WriteBuffer(b, 4);
}

void WriteInt64(TStream& s, int64_t v) {
    uint8_t b[8];
    putLE64(b, static_cast<uint64_t>(v));
    s.WriteBuffer(b, 8);
}

void WriteUInt32(TStream& s, uint32_t v) {
    uint8_t b[4];
    putLE32(b, v);
    s.WriteBuffer(b, 4);
}

void WriteWord(TStream& s, uint16_t v) {
    uint8_t b[2];
    putLE16(b, v);
    s.WriteBuffer(b, 2);
}

void WriteByte(TStream& s, uint8_t v) { s.WriteBuffer(&v, 1); }

void WriteBool(TStream& s, bool v) { WriteByte(s, v ? 1 : 0); }

void WriteDouble(TStream& s, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    uint8_t b[8];
    putLE64(b, bits);
    s.WriteBuffer(b, 8);
}

void WriteExtended(TStream& s, const TExtended& v) {
    uint8_t b[10];
    v.toBytes(b);
    s.WriteBuffer(b, 10);
}

void WriteString(TStream& s, const std::string& v) {
    WriteInt(s, static_cast<int32_t>(v.size()));
    if (!v.empty())
        s.WriteBuffer(v.data(), static_cast<int64_t>(v.size()));
}

void WriteStrings(TStream& s, const std::vector<std::string>& v) {
    WriteInt(s, static_cast<int32_t>(v.size()));
    for (const std::string& t : v)
        WriteString(s, t);
}

} // namespace zuno
