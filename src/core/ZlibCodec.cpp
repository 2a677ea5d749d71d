#include "core/ZlibCodec.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <string>

#include "core/Cp932.h"
#include "core/EZunoError.h"

namespace zuno {

namespace {

constexpr size_t kCrcChunk = 1024 * 1024;

EZunoError damaged(std::string_view what) {
    if (what.empty())
        return EZunoError::fromUtf8("圧縮データが壊れています");
    return EZunoError(std::string(what) + sjis(":圧縮データが壊れています"));
}

// zlib counts in 32-bit units; buffers are handed over in pieces of at most this.
uInt pieceOf(size_t n) { return static_cast<uInt>(std::min<size_t>(n, UINT_MAX)); }

// One inflate stream over a whole input buffer, filling output buffers the
// caller hands in one after the other.
class TInflater {
public:
    enum TState { isStreamEnd, isOutputFull, isInputEnded, isDamaged };

    TInflater(const uint8_t* data, size_t size) : FNext(data), FLeft(size) {
        if (inflateInit(&FZ) != Z_OK)
            throw EZunoError::fromUtf8("zlib を初期化できません");
    }
    ~TInflater() { inflateEnd(&FZ); }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;

    // Inflates into out[0, size) until one of the states is reached; `produced`
    // receives the bytes written there.
    TState fill(uint8_t* out, size_t size, size_t& produced) {
        produced = 0;
        while (produced < size) {
            uInt in = pieceOf(FLeft);
            uInt room = pieceOf(size - produced);
            FZ.next_in = const_cast<Bytef*>(FNext);
            FZ.avail_in = in;
            FZ.next_out = out + produced;
            FZ.avail_out = room;
            int r = inflate(&FZ, Z_NO_FLUSH);
            size_t got = room - FZ.avail_out;
            FNext += in - FZ.avail_in;
            FLeft -= in - FZ.avail_in;
            produced += got;
            if (r == Z_STREAM_END)
                return isStreamEnd;
            if (r == Z_BUF_ERROR && got == 0 && FZ.avail_out != 0)
                return isInputEnded;      // no progress: the input ended before the stream did
            if (r != Z_OK && r != Z_BUF_ERROR)
                return isDamaged;
        }
        return isOutputFull;
    }

private:
    z_stream FZ{};
    const uint8_t* FNext;
    size_t FLeft;
};

} // namespace

std::vector<uint8_t> deflateZlib(const uint8_t* data, size_t size, int level) {
    z_stream z{};
    if (deflateInit(&z, level) != Z_OK)
        throw EZunoError::fromUtf8("データを圧縮できません");
    std::vector<uint8_t> out(deflateBound(&z, static_cast<uLong>(std::min<size_t>(size, UINT_MAX))) + 64);
    z.next_in = const_cast<Bytef*>(data);
    size_t inLeft = size;
    size_t produced = 0;
    int r = Z_OK;
    while (r != Z_STREAM_END) {
        uInt chunk = pieceOf(inLeft);
        z.avail_in = chunk;
        if (out.size() - produced < 65536)
            out.resize(out.size() * 2 + 65536);
        z.next_out = out.data() + produced;
        z.avail_out = pieceOf(out.size() - produced);
        uInt outBefore = z.avail_out;
        r = deflate(&z, inLeft == chunk ? Z_FINISH : Z_NO_FLUSH);
        produced += outBefore - z.avail_out;
        inLeft -= chunk - z.avail_in;
        if (r == Z_STREAM_ERROR) {
            deflateEnd(&z);
            throw EZunoError::fromUtf8("データを圧縮できません");
        }
    }
    deflateEnd(&z);
    out.resize(produced);
    return out;
}

void inflateZlib(const uint8_t* data, size_t size, std::vector<uint8_t>& out, std::string_view what) {
    out.clear();
    TInflater inflater(data, size);
    const uint64_t limit = static_cast<uint64_t>(size) * kMaxInflateRatio + 1024;
    out.resize(static_cast<size_t>(std::min<uint64_t>(limit, std::max<uint64_t>(uint64_t(size) * 4, 65536))));
    size_t produced = 0;
    for (;;) {
        size_t got = 0;
        TInflater::TState state = inflater.fill(out.data() + produced, out.size() - produced, got);
        produced += got;
        if (state == TInflater::isStreamEnd)
            break;
        if (state != TInflater::isOutputFull || out.size() >= limit) {
            out.clear();
            throw damaged(what);
        }
        out.resize(static_cast<size_t>(std::min<uint64_t>(limit, uint64_t(out.size()) * 2)));
    }
    out.resize(produced);
}

size_t inflateZlibInto(const uint8_t* data, size_t size, uint8_t* out, size_t outSize) {
    if (outSize == 0)
        return 0;
    TInflater inflater(data, size);
    size_t produced = 0;
    if (inflater.fill(out, outSize, produced) == TInflater::isDamaged)
        throw damaged({});
    return produced;
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
