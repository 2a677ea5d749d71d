// Decoding: WAV through our reader in every stored sample type, Ogg Vorbis,
// FFmpeg, the conversion to the mix format, and bad input of every kind.
#include <gtest/gtest.h>

#include <fstream>

#include "MediaTestKit.h"
#include "media/TPcmDecoder.h"

namespace zuno {
namespace {

using namespace zuno::test;

Bytes readAll(TPcmDecoder& d) {
    Bytes out;
    uint8_t buf[4096];
    while (int64_t n = d.read(buf, sizeof buf))
        out.insert(out.end(), buf, buf + n);
    return out;
}

// One stored sample type: the bytes of two frames and the 16-bit samples they decode to.
struct StoredCase {
    const char* name;
    uint16_t tag;
    int bits;
    Bytes data;                     // two stereo frames
    std::vector<int16_t> expected;  // four samples
};

Bytes wavWithTag(uint16_t tag, int bits, const Bytes& data) {
    Bytes w = makeWavFile({2, 22050, bits}, data.data(), int64_t(data.size()));
    putLE16(w.data() + 20, tag);
    return w;
}

TEST(WavDecoder, EverySampleTypeDecodesToItsValues) {
    auto f32 = [](float v) { uint32_t u; std::memcpy(&u, &v, 4); return Bytes{uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)}; };
    Bytes floats;
    for (float v : {0.5f, -1.0f, 0.0f, 0.25f}) {
        Bytes b = f32(v);
        floats.insert(floats.end(), b.begin(), b.end());
    }
    const StoredCase cases[] = {
        {"pcm16", 1, 16, pcm16({1, -2, 32767, -32768}), {1, -2, 32767, -32768}},
        {"pcm8 stays 8-bit", 1, 8, {0, 128, 255, 1}, {}},
        {"pcm24 keeps the top 16 bits", 1, 24, {0x11, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0, 0, 0x80, 0, 0, 0x7F},
         {0x1234, -1, -32768, 0x7F00}},
        {"float32", 3, 32, floats, {16384, -32768, 0, 8192}},
    };
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto d = openPcmDecoder(memoryStream(wavWithTag(c.tag, c.bits, c.data)));
        if (c.bits == 8) {
            EXPECT_EQ(d->format(), (TPcmFormat{2, 22050, 8}));
            EXPECT_EQ(readAll(*d), c.data);
            continue;
        }
        EXPECT_EQ(d->format(), (TPcmFormat{2, 22050, 16}));
        EXPECT_EQ(d->size(), 8);
        EXPECT_EQ(samplesOf(readAll(*d)), c.expected);
    }
}

TEST(WavDecoder, ChunksBeforeTheDataAndOddSizesAreWalked) {
    // A LIST chunk of odd size (with its pad byte) before "fmt " and "data".
    const Bytes plain = constantWav(3, 77);
    Bytes w(plain.begin(), plain.begin() + 12);
    w.insert(w.end(), {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0});
    w.insert(w.end(), plain.begin() + 12, plain.end());
    putLE32(w.data() + 4, uint32_t(w.size() - 8));
    auto d = openPcmDecoder(memoryStream(w));
    EXPECT_EQ(samplesOf(readAll(*d)), std::vector<int16_t>(6, 77));
}

TEST(WavDecoder, SeekLandsOnWholeFrames) {
    auto d = openPcmDecoder(memoryStream(wavFile({2, 44100, 16}, pcm16(ramp(100, 2)))));
    d->seek(4 * 10 + 3);                            // inside frame 10
    EXPECT_EQ(d->position(), 40);
    int16_t s[2];
    ASSERT_EQ(d->read(s, 4), 4);
    EXPECT_EQ(s[0], ramp(100, 2)[20]);
    d->seek(1 << 30);
    EXPECT_EQ(d->position(), d->size());
    EXPECT_EQ(d->read(s, 4), 0);
}

TEST(WavDecoder, BadFilesFailWithTheSoundDataError) {
    const Bytes good = constantWav(10, 5);
    Bytes noData(good.begin(), good.begin() + 36);
    putLE32(noData.data() + 4, 28);
    Bytes badFormat = good;
    putLE16(badFormat.data() + 20, 2);              // ADPCM is not ours to decode
    Bytes zeroChannels = good;
    putLE16(zeroChannels.data() + 22, 0);
    Bytes shortFmt = good;
    putLE32(shortFmt.data() + 16, 8);
    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}},
        {"not RIFF", Bytes(64, 'x')},
        {"no data chunk", noData},
        {"compressed", badFormat},
        {"no channels", zeroChannels},
        {"format chunk too short", shortFmt},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        try {
            openPcmDecoder(memoryStream(bytes), TSoundKind::wav);
            ADD_FAILURE() << "opened";
        } catch (const EZunoError& e) {
            EXPECT_STREQ(e.what(), "サウンドデータが不正です");
        }
    }
}

TEST(WavDecoder, HugeOrTruncatedChunkSizesStayWithinTheFile) {
    Bytes huge = constantWav(10, 9);
    putLE32(huge.data() + 4, 0xFFFFFFF0u);          // RIFF size
    putLE32(huge.data() + 40, 0xFFFFFFF0u);         // data size
    auto d = openPcmDecoder(memoryStream(huge));
    EXPECT_EQ(d->size(), 40);
    EXPECT_EQ(samplesOf(readAll(*d)), std::vector<int16_t>(20, 9));

    Bytes cut = constantWav(10, 9);
    cut.resize(cut.size() - 7);                     // ends inside a frame
    d = openPcmDecoder(memoryStream(cut));
    EXPECT_EQ(d->size(), 32);
    EXPECT_EQ(readAll(*d).size(), 32u);
}

TEST(OggDecoder, DecodesLengthAndSignal) {
    const Bytes ogg = oggSine(0.5);
    if (ogg.empty())
        GTEST_SKIP() << "no Vorbis encoder";
    auto d = openPcmDecoder(memoryStream(ogg));
    EXPECT_EQ(d->format(), (TPcmFormat{2, 44100, 16}));
    EXPECT_EQ(d->size(), 22050 * 4);
    const std::vector<int16_t> s = samplesOf(readAll(*d));
    ASSERT_EQ(s.size(), 22050u * 2);
    // The peak of the sine comes back near 16000, and the two channels agree.
    int peak = 0;
    for (size_t i = 2000; i < 20000; i += 2) {
        peak = std::max(peak, std::abs(int(s[i])));
        ASSERT_NEAR(s[i], s[i + 1], 300);
    }
    EXPECT_NEAR(peak, 16000, 800);
    // A seek decodes the same samples as reading through.
    d->seek(4 * 10000);
    int16_t at[2];
    d->read(at, 4);
    EXPECT_NEAR(at[0], s[20000], 2);
}

TEST(OggDecoder, TruncatedAndCorruptStreamsDoNotHangOrCrash) {
    const Bytes ogg = oggSine(0.3);
    if (ogg.empty())
        GTEST_SKIP() << "no Vorbis encoder";
    Bytes cut(ogg.begin(), ogg.begin() + ogg.size() / 2);
    Bytes scrambled = ogg;
    for (size_t i = scrambled.size() / 3; i < scrambled.size(); i += 97)
        scrambled[i] ^= 0x5A;
    for (const Bytes* b : {&cut, &scrambled}) {
        try {
            auto d = openPcmDecoder(memoryStream(*b));
            readAll(*d);                            // whatever it gives, it ends
        } catch (const EZunoError&) {
        }
    }
    EXPECT_THROW(openPcmDecoder(memoryStream(Bytes{'O', 'g', 'g', 'S', 0, 0})), EZunoError);
}

TEST(FfmpegDecoder, DecodesWhatOurReaderDecodes) {
    const std::vector<int16_t> s = ramp(3000, 2);
    auto d = openFfmpegDecoder(memoryStream(wavFile({2, 44100, 16}, pcm16(s))));
    EXPECT_EQ(d->format(), kMixFormat);
    EXPECT_EQ(d->size(), 3000 * 4);
    EXPECT_EQ(samplesOf(readAll(*d)), s);
    d->seek(4 * 1234);
    int16_t at[2];
    ASSERT_EQ(d->read(at, 4), 4);
    EXPECT_EQ(at[0], s[2468]);
    EXPECT_THROW(openFfmpegDecoder(memoryStream(Bytes(1000, 0x33))), EZunoError);
}

TEST(MixFormat, EngineFormatsConvertByTheEngineRules) {
    // 22050 Hz 8-bit mono: every sample to both channels of two frames, (s - 128) * 256.
    auto d = toMixFormat(openPcmDecoder(memoryStream(wavFile({1, 22050, 8}, {0, 128, 255}))));
    EXPECT_EQ(d->format(), kMixFormat);
    EXPECT_EQ(d->size(), 6 * 4);
    EXPECT_EQ(samplesOf(readAll(*d)),
              (std::vector<int16_t>{-32768, -32768, -32768, -32768, 0, 0, 0, 0, 32512, 32512, 32512, 32512}));
}

TEST(MixFormat, OtherRatesAreResampled) {
    // 48000 Hz mono: not an engine format; comes out at 44100 Hz stereo with the level kept.
    auto wav = constantWav(4800, 8000, 1, 48000);
    auto engine = toEngineFormat(openPcmDecoder(memoryStream(wav)));
    EXPECT_EQ(engine->format(), kMixFormat);
    EXPECT_EQ(engine->size(), 4410 * 4);
    const std::vector<int16_t> s = samplesOf(readAll(*engine));
    EXPECT_GE(s.size(), 4400u * 2);
    EXPECT_NEAR(s[4000], 8000, 40);
    EXPECT_NEAR(s[4001], 8000, 40);
    // Engine formats pass untouched.
    auto same = toEngineFormat(openPcmDecoder(memoryStream(constantWav(10, 1, 1, 22050))));
    EXPECT_EQ(same->format(), (TPcmFormat{1, 22050, 16}));
}

} // namespace
} // namespace zuno

namespace zuno {
namespace {

// An MP3 stream whose frames change channel layout and rate on the way (found
// by fuzzing): the resampler follows instead of reading past a frame.
TEST(FfmpegDecoder, AStreamThatChangesLayoutOnTheWay) {
    std::ifstream in(std::string(ZUNO_SOURCE_DIR) + "/fuzz/corpus/media_probe/layout_change.mp3", std::ios::binary);
    const test::Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    try {
        auto d = openPcmDecoder(test::memoryStream(bytes));
        uint8_t buf[4096];
        int64_t total = 0;
        while (int64_t n = d->read(buf, sizeof buf))
            total += n;
        EXPECT_LE(total, d->size());
    } catch (const EZunoError&) {
    }
}

} // namespace
} // namespace zuno
