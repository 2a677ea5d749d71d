#include "core/ZlibCodec.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Adler-32 (RFC 1950) continued over more bytes: the same value as zlib's
// adler32, sixteen bytes a step with SSE2. Per step of bytes c0..c15 with
// sums a, b at its start: a += sum c, b += 16 a + sum (16 - i) ci.
uint32_t adler32Of(uint32_t adler, const uint8_t* p, size_t n) {
    constexpr uint32_t kBase = 65521;
    constexpr size_t kMaxRun = 5552;     // bytes before the 32-bit sums could overflow (a multiple of 16)
    uint32_t a = adler & 0xFFFF, b = adler >> 16;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i weightsLo = _mm_set_epi16(9, 10, 11, 12, 13, 14, 15, 16);
    const __m128i weightsHi = _mm_set_epi16(1, 2, 3, 4, 5, 6, 7, 8);
    while (n >= 16) {
        const size_t steps = std::min(n, kMaxRun) / 16;
        __m128i sumA = zero, sumPrefix = zero, sumWeighted = zero;
        for (size_t k = 0; k < steps; ++k, p += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            sumPrefix = _mm_add_epi32(sumPrefix, sumA);      // the bytes of earlier steps, once per step
            sumA = _mm_add_epi32(sumA, _mm_sad_epu8(v, zero));
            sumWeighted = _mm_add_epi32(sumWeighted, _mm_madd_epi16(_mm_unpacklo_epi8(v, zero), weightsLo));
            sumWeighted = _mm_add_epi32(sumWeighted, _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), weightsHi));
        }
        auto total = [](__m128i x) {
            x = _mm_add_epi32(x, _mm_shuffle_epi32(x, _MM_SHUFFLE(1, 0, 3, 2)));
            x = _mm_add_epi32(x, _mm_shuffle_epi32(x, _MM_SHUFFLE(2, 3, 0, 1)));
            return uint64_t(uint32_t(_mm_cvtsi128_si32(x)));
        };
        const uint64_t bytes = total(sumA);
        b = uint32_t((b + 16 * (uint64_t(a) * steps + total(sumPrefix)) + total(sumWeighted)) % kBase);
        a = uint32_t((a + bytes) % kBase);
        n -= steps * 16;
    }
#endif
    while (n > 0) {
        const size_t run = std::min(n, kMaxRun);
        for (size_t k = 0; k < run; ++k) {
            a += p[k];
            b += a;
        }
        a %= kBase;
        b %= kBase;
        p += run;
        n -= run;
    }
    return (b << 16) | a;
}

// One inflate stream over a whole input buffer, filling output buffers the
// caller hands in one after the other.
class TInflater {
public:
    enum TState { isStreamEnd, isOutputFull, isInputEnded, isDamaged };

    TInflater(const uint8_t* data, size_t size) : FNext(data), FLeft(size) {
        if (inflateInit(&FZ) != Z_OK)
            throw EZunoError::fromUtf8("zlib を初期化できません");
        // The stream's check value is computed here, faster than zlib does;
        // a stream whose value does not match is damaged, as before.
        FOwnCheck = inflateValidate(&FZ, 0) == Z_OK;
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
            if (FOwnCheck)
                FAdler = adler32Of(FAdler, out + produced, got);
            produced += got;
            if (r == Z_STREAM_END)
                return FOwnCheck && !checkMatches() ? isDamaged : isStreamEnd;
            if (r == Z_BUF_ERROR && got == 0 && FZ.avail_out != 0)
                return isInputEnded;      // no progress: the input ended before the stream did
            if (r != Z_OK && r != Z_BUF_ERROR)
                return isDamaged;
        }
        return isOutputFull;
    }

private:
    // The stream ended: its last four bytes are the check value (big-endian).
    bool checkMatches() const {
        const uint8_t* t = FNext - 4;
        return (uint32_t(t[0]) << 24 | uint32_t(t[1]) << 16 | uint32_t(t[2]) << 8 | t[3]) == FAdler;
    }

    z_stream FZ{};
    const uint8_t* FNext;
    size_t FLeft;
    bool FOwnCheck = false;
    uint32_t FAdler = 1;
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
