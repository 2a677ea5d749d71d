#include "archive/ZlibCodec.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <string>

#include "core/Cp932.h"
#include "core/EZunoError.h"

namespace zuno {

namespace {

constexpr size_t kCrcChunk = 1024 * 1024;

EZunoError damaged(std::string_view what) { return EZunoError(std::string(what) + sjis(":圧縮データが壊れています")); }

} // namespace

std::vector<uint8_t> deflateLevel1(const uint8_t* data, size_t size) {
    z_stream z{};
    if (deflateInit(&z, 1) != Z_OK)
        throw EZunoError::fromUtf8("圧縮できません");
    std::vector<uint8_t> out(deflateBound(&z, static_cast<uLong>(std::min<size_t>(size, UINT_MAX))) + 64);
    z.next_in = const_cast<Bytef*>(data);
    size_t inLeft = size;
    size_t produced = 0;
    int r = Z_OK;
    while (r != Z_STREAM_END) {
        uInt chunk = static_cast<uInt>(std::min<size_t>(inLeft, UINT_MAX));
        z.avail_in = chunk;
        if (out.size() - produced < 65536)
            out.resize(out.size() * 2 + 65536);
        z.next_out = out.data() + produced;
        z.avail_out = static_cast<uInt>(std::min<size_t>(out.size() - produced, UINT_MAX));
        uInt outBefore = z.avail_out;
        r = deflate(&z, inLeft == chunk ? Z_FINISH : Z_NO_FLUSH);
        produced += outBefore - z.avail_out;
        inLeft -= chunk - z.avail_in;
        if (r == Z_STREAM_ERROR) {
            deflateEnd(&z);
            throw EZunoError::fromUtf8("圧縮できません");
        }
    }
    deflateEnd(&z);
    out.resize(produced);
    return out;
}

void inflateZlib(const uint8_t* data, size_t size, std::vector<uint8_t>& out, std::string_view what) {
    out.clear();
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        throw damaged(what);
    const uint64_t limit = static_cast<uint64_t>(size) * kMaxInflateRatio + 1024;
    size_t capacity = static_cast<size_t>(std::min<uint64_t>(limit, std::max<uint64_t>(uint64_t(size) * 4, 65536)));
    out.resize(capacity);
    z.next_in = const_cast<Bytef*>(data);
    size_t inLeft = size;
    size_t produced = 0;
    for (;;) {
        if (produced == out.size()) {
            if (out.size() >= limit) {
                inflateEnd(&z);
                out.clear();
                throw damaged(what);
            }
            out.resize(static_cast<size_t>(std::min<uint64_t>(limit, uint64_t(out.size()) * 2)));
        }
        uInt inChunk = static_cast<uInt>(std::min<size_t>(inLeft, UINT_MAX));
        z.avail_in = inChunk;
        z.next_out = out.data() + produced;
        z.avail_out = static_cast<uInt>(std::min<size_t>(out.size() - produced, UINT_MAX));
        uInt outBefore = z.avail_out;
        int r = inflate(&z, Z_NO_FLUSH);
        produced += outBefore - z.avail_out;
        inLeft -= inChunk - z.avail_in;
        if (r == Z_STREAM_END)
            break;
        // No progress possible: damaged data, or the input ended before the stream did.
        if (r != Z_OK && !(r == Z_BUF_ERROR && z.avail_out == 0)) {
            inflateEnd(&z);
            out.clear();
            throw damaged(what);
        }
    }
    inflateEnd(&z);
    out.resize(produced);
}

uint32_t crc32Of(const uint8_t* data, size_t size, uint32_t crc) {
    uLong c = crc;
    while (size > 0) {
        uInt n = static_cast<uInt>(std::min<size_t>(size, kCrcChunk));
        c = crc32(c, data, n);
        data += n;
        size -= n;
    }
    return static_cast<uint32_t>(c);
}

uint32_t crc32OfStream(TStream& stream) {
    stream.SetPosition(0);
    if (auto* memory = dynamic_cast<TKsMemoryStream*>(&stream)) {
        uint32_t crc = crc32Of(memory->Memory(), static_cast<size_t>(memory->GetSize()));
        memory->SetPosition(memory->GetSize());
        return crc;
    }
    std::vector<uint8_t> buffer(kCrcChunk);
    uint32_t crc = 0;
    for (;;) {
        int64_t n = stream.Read(buffer.data(), static_cast<int64_t>(buffer.size()));
        if (n <= 0)
            break;
        crc = crc32Of(buffer.data(), static_cast<size_t>(n), crc);
    }
    return crc;
}

} // namespace zuno
