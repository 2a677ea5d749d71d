// Fixtures of the archive tests: file helpers and a hand-written builder of
// archive directories of every version.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/TTempFolder.h"

namespace zuno::test {

using Bytes = std::vector<uint8_t>;

inline Bytes bytesOf(std::string_view s) { return Bytes(s.begin(), s.end()); }

inline void writeFile(const std::string& path, const Bytes& data) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

inline Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The archive keystream written out from its definition, State := State x 5 +
// 1482730591, independent of the player's generator.
class KeyStream {
public:
    int32_t next() {
        FState = FState * 5u + 1482730591u;
        return static_cast<int32_t>(FState);
    }

private:
    uint32_t FState = 0;
};

inline void put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}

inline void put64(Bytes& b, uint64_t v) {
    put32(b, uint32_t(v));
    put32(b, uint32_t(v >> 32));
}

// One entry of a hand-built archive: its name and its bytes as stored.
struct RawEntry {
    std::string name;
    Bytes stored;
    uint8_t storedFlag = 1;
    int32_t fileTime = 0;
    uint32_t crc = 0;
    uint8_t crcKind = 0;
};

// Builds the bytes of an archive directory of `version` (0: no magic)
// followed by the data, offsets relative to the directory start plus
// `offsetBias` (for an .ext index, the data's absolute position).
// With `withData` false only the directory is returned.
inline Bytes buildArchive(int version, const std::vector<RawEntry>& entries, int64_t offsetBias = 0,
                          bool withData = true) {
    Bytes out;
    if (version > 0) {
        out.push_back('v');
        out.push_back('f');
        put32(out, uint32_t(version));
    }
    put32(out, uint32_t(entries.size()));
    KeyStream names;
    for (const RawEntry& e : entries) {
        put32(out, uint32_t(e.name.size()));
        for (char c : e.name)
            out.push_back(version >= 100 ? uint8_t(uint8_t(c) ^ uint8_t(names.next())) : uint8_t(c));
    }
    const bool wide = version >= 101;
    size_t n = entries.size();
    size_t tables = (n + 1) * (wide ? 8 : 4) + (version >= 101 ? 9 * n : 0) + (version >= 102 ? n : 0);
    int64_t position = int64_t(out.size() + tables) + offsetBias;
    KeyStream offsets;
    for (size_t i = 0; i <= n; ++i) {
        int32_t k = version >= 100 ? offsets.next() : 0;
        if (wide)
            put64(out, uint64_t(position ^ int64_t(k)));
        else
            put32(out, uint32_t(int32_t(position) ^ k));
        if (i < n)
            position += int64_t(entries[i].stored.size());
    }
    if (version >= 101) {
        for (const RawEntry& e : entries)
            out.push_back(e.storedFlag);
        for (const RawEntry& e : entries)
            put32(out, uint32_t(e.fileTime));
        for (const RawEntry& e : entries)
            put32(out, e.crc);
    }
    if (version >= 102)
        for (const RawEntry& e : entries)
            out.push_back(e.crcKind);
    if (withData)
        for (const RawEntry& e : entries)
            out.insert(out.end(), e.stored.begin(), e.stored.end());
    return out;
}

} // namespace zuno::test
