#include "media/WavReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/StreamFields.h"
#include "media/TPcmDecoder.h"

namespace zuno {

EZunoError badSoundDataError() {
    return EZunoError::fromUtf8("サウンドデータが不正です");
}

//==============================================================================
// The chunk walk
//==============================================================================

namespace {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagFloat = 3;
constexpr uint16_t kTagExtensible = 0xFFFE;

bool readExactly(TStream& s, void* buffer, int64_t count) {
    return s.Read(buffer, count) == count;
}

} // namespace

TWavInfo readWavInfo(TStream& s) {
    const int64_t streamSize = s.GetSize();
    s.SetPosition(0);
    uint8_t head[12];
    if (!readExactly(s, head, 12) || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0)
        throw badSoundDataError();
    // The RIFF size may lie either way: the walk stops at whichever ends first.
    const int64_t end = std::min<int64_t>(streamSize, 8 + int64_t(getLE32(head + 4)));

    TWavInfo info;
    bool haveFormat = false;
    bool haveData = false;
    int64_t pos = 12;
    while (pos + 8 <= end && !(haveFormat && haveData)) {
        uint8_t chunk[8];
        s.SetPosition(pos);
        if (!readExactly(s, chunk, 8))
            break;
        const int64_t size = getLE32(chunk + 4);
        const int64_t body = pos + 8;
        const int64_t available = std::max<int64_t>(0, std::min(size, streamSize - body));
        if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFormat) {
            uint8_t f[40] = {};
            const int64_t n = std::min<int64_t>(available, sizeof f);
            if (n < 16 || !readExactly(s, f, n))
                throw badSoundDataError();
            uint16_t tag = getLE16(f);
            if (tag == kTagExtensible && n >= 26)
                tag = getLE16(f + 24);      // the sub-format GUID starts with the tag
            info.Format.Channels = getLE16(f + 2);
            info.Format.SamplesPerSec = int32_t(getLE32(f + 4));
            info.Format.BitsPerSample = getLE16(f + 14);
            if (tag == kTagPcm)
                info.SampleType = wstInteger;
            else if (tag == kTagFloat)
                info.SampleType = wstFloat;
            else
                throw badSoundDataError();
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && !haveData) {
            info.DataOffset = body;
            info.DataSize = available;
            haveData = true;
        }
        pos = body + size + (size & 1);
    }
    const TPcmFormat& f = info.Format;
    const int bits = f.BitsPerSample;
    const bool bitsOk = info.SampleType == wstInteger ? (bits == 8 || bits == 16 || bits == 24 || bits == 32)
                                                      : (bits == 32 || bits == 64);
    if (!haveFormat || !haveData || f.Channels < 1 || f.Channels > 8 || f.SamplesPerSec < 1000 ||
        f.SamplesPerSec > 384000 || !bitsOk)
        throw badSoundDataError();
    info.DataSize -= info.DataSize % f.blockAlign();
    return info;
}

std::vector<uint8_t> makeWavFile(const TPcmFormat& format, const void* data, int64_t bytes) {
    std::vector<uint8_t> out(44 + size_t(bytes));
    uint8_t* p = out.data();
    std::memcpy(p, "RIFF", 4);
    putLE32(p + 4, uint32_t(36 + bytes));
    std::memcpy(p + 8, "WAVEfmt ", 8);
    putLE32(p + 16, 16);
    putLE16(p + 20, kTagPcm);
    putLE16(p + 22, uint16_t(format.Channels));
    putLE32(p + 24, uint32_t(format.SamplesPerSec));
    putLE32(p + 28, uint32_t(format.bytesPerSecond()));
    putLE16(p + 32, uint16_t(format.blockAlign()));
    putLE16(p + 34, uint16_t(format.BitsPerSample));
    std::memcpy(p + 36, "data", 4);
    putLE32(p + 40, uint32_t(bytes));
    if (bytes > 0)
        std::memcpy(p + 44, data, size_t(bytes));
    return out;
}

//==============================================================================
// TWavDecoder: 8- and 16-bit PCM as stored; 24-bit, 32-bit and float samples
// become 16-bit.
//==============================================================================

namespace {

class TWavDecoder : public TPcmDecoder {
public:
    explicit TWavDecoder(std::unique_ptr<TStream> stream) : FStream(std::move(stream)) {
        FInfo = readWavInfo(*FStream);
        FInBytes = FInfo.Format.BitsPerSample / 8;
        FFormat = FInfo.Format;
        if (FInfo.SampleType == wstFloat || FInBytes > 2)
            FFormat.BitsPerSample = 16;
        FInAlign = FInfo.Format.blockAlign();
        FOutAlign = FFormat.blockAlign();
        FStream->SetPosition(FInfo.DataOffset);
    }

    TPcmFormat format() const override { return FFormat; }
    int64_t size() const override { return FInfo.DataSize / FInAlign * FOutAlign; }
    int64_t position() const override { return FFrame * FOutAlign; }

    void seek(int64_t bytePosition) override {
        FFrame = std::clamp<int64_t>(bytePosition, 0, size()) / FOutAlign;
        FStream->SetPosition(FInfo.DataOffset + FFrame * FInAlign);
    }

    int64_t read(void* buffer, int64_t count) override {
        const int64_t frames = std::min(count / FOutAlign, FInfo.DataSize / FInAlign - FFrame);
        if (frames <= 0)
            return 0;
        if (FInAlign == FOutAlign && FInfo.SampleType == wstInteger) {
            const int64_t got = FStream->Read(buffer, frames * FInAlign) / FInAlign;
            FFrame += got;
            return got * FOutAlign;
        }
        int16_t* out = static_cast<int16_t*>(buffer);
        std::vector<uint8_t> in(size_t(std::min<int64_t>(frames, 4096) * FInAlign));
        int64_t done = 0;
        while (done < frames) {
            const int64_t want = std::min<int64_t>(frames - done, int64_t(in.size()) / FInAlign);
            const int64_t got = FStream->Read(in.data(), want * FInAlign) / FInAlign;
            if (got <= 0)
                break;
            const int64_t samples = got * FFormat.Channels;
            for (int64_t i = 0; i < samples; ++i)
                *out++ = sample(in.data() + i * FInBytes);
            done += got;
        }
        FFrame += done;
        return done * FOutAlign;
    }

private:
    int16_t sample(const uint8_t* p) const {
        if (FInfo.SampleType == wstFloat) {
            double v;
            if (FInBytes == 4) {
                float f;
                uint32_t u = getLE32(p);
                std::memcpy(&f, &u, 4);
                v = f;
            } else {
                uint64_t u = getLE64(p);
                std::memcpy(&v, &u, 8);
            }
            if (!(v == v))
                return 0;
            return int16_t(std::clamp(std::lround(v * 32768.0), -32768L, 32767L));
        }
        // Integer samples wider than 16 bits keep their top 16 bits.
        return int16_t(getLE16(p + FInBytes - 2));
    }

    std::unique_ptr<TStream> FStream;
    TWavInfo            FInfo;
    TPcmFormat          FFormat;
    int                 FInBytes = 2;
    int32_t             FInAlign = 1;
    int32_t             FOutAlign = 1;
    int64_t             FFrame = 0;
};

} // namespace

std::unique_ptr<TPcmDecoder> openWavDecoder(std::unique_ptr<TStream> stream) {
    return std::make_unique<TWavDecoder>(std::move(stream));
}

} // namespace zuno
