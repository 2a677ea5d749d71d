#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/ZlibCodec.h"

namespace zuno {
namespace {

using Bytes = std::vector<uint8_t>;

// Text that compresses well, plus bytes that do not.
Bytes sample(size_t size) {
    Bytes b(size);
    uint32_t x = 12345;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        b[i] = i % 3 == 0 ? uint8_t(x >> 24) : uint8_t('a' + i % 7);
    }
    return b;
}

TEST(ZlibCodec, RoundTripsAtEveryLevelAndSize) {
    for (int level : {0, 1, 6, 9})
        for (size_t size : {size_t(0), size_t(1), size_t(1000), size_t(300000)}) {
            Bytes plain = sample(size);
            Bytes packed = deflateZlib(plain.data(), plain.size(), level);
            Bytes back;
            inflateZlib(packed.data(), packed.size(), back, "x");
            EXPECT_EQ(back, plain) << level << " " << size;
            Bytes fixed(size + 10, 0xEE);
            EXPECT_EQ(inflateZlibInto(packed.data(), packed.size(), fixed.data(), fixed.size()), size);
            EXPECT_TRUE(std::equal(plain.begin(), plain.end(), fixed.begin())) << level << " " << size;
        }
}

TEST(ZlibCodec, FixedBufferStopsWhenFullOrWhenTheInputEnds) {
    Bytes plain = sample(5000);
    Bytes packed = deflateZlib(plain.data(), plain.size(), 6);
    Bytes part(1234);
    EXPECT_EQ(inflateZlibInto(packed.data(), packed.size(), part.data(), part.size()), part.size());
    EXPECT_TRUE(std::equal(part.begin(), part.end(), plain.begin()));
    // A truncated stream gives what it holds; the caller judges the short result.
    Bytes all(plain.size());
    size_t got = inflateZlibInto(packed.data(), packed.size() / 2, all.data(), all.size());
    EXPECT_GT(got, 0u);
    EXPECT_LT(got, plain.size());
    EXPECT_TRUE(std::equal(all.begin(), all.begin() + long(got), plain.begin()));
    EXPECT_EQ(inflateZlibInto(packed.data(), packed.size(), all.data(), 0), 0u);
}

TEST(ZlibCodec, DamagedAndTruncatedStreamsFail) {
    Bytes plain = sample(5000);
    Bytes packed = deflateZlib(plain.data(), plain.size(), 6);
    Bytes damaged = packed;
    damaged[0] = 0x00;                       // not a zlib header
    Bytes out;
    struct Case {
        const char* name;
        Bytes data;
    };
    for (const Case& c : {Case{"damaged", damaged}, Case{"truncated", Bytes(packed.begin(), packed.begin() + 20)},
                          Case{"empty", Bytes()}}) {
        try {
            inflateZlib(c.data.data(), c.data.size(), out, sjis("名前.dat"));
            ADD_FAILURE() << c.name;
        } catch (const EZunoError& e) {
            EXPECT_EQ(e.message(), sjis("名前.dat:圧縮データが壊れています")) << c.name;
            EXPECT_TRUE(out.empty()) << c.name;
        }
    }
    Bytes buffer(100);
    EXPECT_THROW(inflateZlibInto(damaged.data(), damaged.size(), buffer.data(), buffer.size()), EZunoError);
}

// The check value at the end of the stream is verified over all the output,
// whatever its length (whole and partial sixteen-byte steps, runs beyond the
// 5552 bytes the sums may grow over) and its bytes (all 0xFF gives the
// largest sums): a changed check value fails, the right one passes.
TEST(ZlibCodec, CheckValueIsVerifiedForEveryLengthAndContent) {
    for (size_t size : {size_t(1), size_t(15), size_t(16), size_t(17), size_t(5552), size_t(5553), size_t(11111),
                        size_t(200000)})
        for (bool ones : {false, true}) {
            Bytes plain = ones ? Bytes(size, 0xFF) : sample(size);
            Bytes packed = deflateZlib(plain.data(), plain.size(), 6);
            Bytes out;
            Bytes fixed(size + 1);      // room beyond the output: the stream is read to its end
            EXPECT_NO_THROW(inflateZlib(packed.data(), packed.size(), out, "x")) << size << " " << ones;
            EXPECT_EQ(out, plain) << size << " " << ones;
            for (size_t k = 1; k <= 4; ++k) {
                Bytes bad = packed;
                bad[bad.size() - k] ^= 0x10;
                EXPECT_THROW(inflateZlib(bad.data(), bad.size(), out, "x"), EZunoError) << size << " " << k;
                EXPECT_THROW(inflateZlibInto(bad.data(), bad.size(), fixed.data(), fixed.size()), EZunoError)
                    << size << " " << k;
            }
        }
}

TEST(ZlibCodec, Crc32MatchesTheKnownValueInOneOrManyPieces) {
    const std::string text = "123456789";
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    EXPECT_EQ(crc32Of(p, text.size()), 0xCBF43926u);
    EXPECT_EQ(crc32Of(p + 4, 5, crc32Of(p, 4)), 0xCBF43926u);
    TKsMemoryStream s(Bytes(text.begin(), text.end()));
    EXPECT_EQ(crc32OfStream(s), 0xCBF43926u);
    EXPECT_EQ(s.GetPosition(), 9);
}

} // namespace
} // namespace zuno
