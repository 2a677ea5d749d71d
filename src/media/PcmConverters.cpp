// Decoder choice and the two converting wrappers: engine formats to 44100 Hz
// stereo by the engine's own rules, any other PCM through swresample.
extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

#include "media/PcmConvert.h"
#include "media/TPcmDecoder.h"

namespace zuno {

namespace {

// Engine formats to 44100 Hz 16-bit stereo, exactly as the wave-out engine.
class TEngineToMixDecoder : public TPcmDecoder {
public:
    explicit TEngineToMixDecoder(std::unique_ptr<TPcmDecoder> source) : FSource(std::move(source)) {
        FIn = FSource->format();
        FRepeat = kMixRate / FIn.SamplesPerSec;
    }
    TPcmFormat format() const override { return kMixFormat; }
    int64_t size() const override { return FSource->size() / FIn.blockAlign() * FRepeat * kMixBytesPerFrame; }
    int64_t position() const override { return FPosition; }
    void seek(int64_t bytePosition) override {
        const int64_t frame = std::clamp<int64_t>(bytePosition, 0, size()) / kMixBytesPerFrame;
        FSource->seek(frame / FRepeat * FIn.blockAlign());
        FPosition = frame / FRepeat * FRepeat * kMixBytesPerFrame;
    }
    int64_t read(void* buffer, int64_t count) override {
        const int64_t frames = count / kMixBytesPerFrame / FRepeat * FRepeat;
        FScratch.resize(size_t(engineSourceBytes(FIn, frames)));
        const int64_t got = FSource->read(FScratch.data(), int64_t(FScratch.size()));
        const int64_t out = convertEngineFormat(FIn, FScratch.data(), got, static_cast<int16_t*>(buffer));
        FPosition += out * kMixBytesPerFrame;
        return out * kMixBytesPerFrame;
    }

private:
    std::unique_ptr<TPcmDecoder> FSource;
    TPcmFormat          FIn;
    int                 FRepeat = 1;
    std::vector<uint8_t> FScratch;
    int64_t             FPosition = 0;
};

// Any 8- or 16-bit interleaved PCM to 44100 Hz 16-bit stereo through swresample.
class TResampleDecoder : public TPcmDecoder {
public:
    explicit TResampleDecoder(std::unique_ptr<TPcmDecoder> source) : FSource(std::move(source)) {
        FIn = FSource->format();
        if (!(FIn.BitsPerSample == 8 || FIn.BitsPerSample == 16) || !open())
            throw badSoundDataError();
    }
    ~TResampleDecoder() override { swr_free(&FSwr); }

    TPcmFormat format() const override { return kMixFormat; }
    int64_t size() const override {
        const int64_t inFrames = FSource->size() / FIn.blockAlign();
        return av_rescale(inFrames, kMixRate, FIn.SamplesPerSec) * kMixBytesPerFrame;
    }
    int64_t position() const override { return FPosition; }

    void seek(int64_t bytePosition) override {
        const int64_t frame = std::clamp<int64_t>(bytePosition, 0, size()) / kMixBytesPerFrame;
        FSource->seek(av_rescale(frame, FIn.SamplesPerSec, kMixRate) * FIn.blockAlign());
        swr_free(&FSwr);
        open();
        FPending.clear();
        FPendingPos = 0;
        FFlushed = false;
        FPosition = frame * kMixBytesPerFrame;
    }

    int64_t read(void* buffer, int64_t count) override {
        count = std::min(count - count % kMixBytesPerFrame, size() - FPosition);
        uint8_t* out = static_cast<uint8_t*>(buffer);
        int64_t done = 0;
        while (done < count) {
            if (FPendingPos >= FPending.size() && !refill())
                break;
            const int64_t n = std::min<int64_t>(count - done, int64_t(FPending.size() - FPendingPos));
            std::memcpy(out + done, FPending.data() + FPendingPos, size_t(n));
            FPendingPos += size_t(n);
            done += n;
        }
        FPosition += done;
        return done;
    }

private:
    bool open() {
        AVChannelLayout in{}, stereo = AV_CHANNEL_LAYOUT_STEREO;
        av_channel_layout_default(&in, FIn.Channels);
        const AVSampleFormat fmt = FIn.BitsPerSample == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16;
        bool ok = swr_alloc_set_opts2(&FSwr, &stereo, AV_SAMPLE_FMT_S16, kMixRate, &in, fmt, FIn.SamplesPerSec, 0,
                                      nullptr) >= 0;
        // A mono sound goes to both sides at its full level, as the engine does it.
        const double both[2] = {1.0, 1.0};
        if (ok && FIn.Channels == 1)
            ok = swr_set_matrix(FSwr, both, 1) >= 0;
        ok = ok && swr_init(FSwr) >= 0;
        av_channel_layout_uninit(&in);
        return ok;
    }

    bool refill() {
        FPendingPos = 0;
        FPending.clear();
        while (FPending.empty()) {
            if (FFlushed)
                return false;
            FIn16.resize(size_t(4096 * FIn.blockAlign()));
            const int64_t got = FSource->read(FIn16.data(), int64_t(FIn16.size()));
            const int inFrames = int(got / FIn.blockAlign());
            if (inFrames == 0)
                FFlushed = true;
            const int room = swr_get_out_samples(FSwr, inFrames);
            if (room <= 0)
                continue;
            FPending.resize(size_t(room) * kMixBytesPerFrame);
            uint8_t* o[1] = {FPending.data()};
            const uint8_t* i[1] = {FIn16.data()};
            const int n = swr_convert(FSwr, o, room, inFrames ? i : nullptr, inFrames);
            FPending.resize(size_t(std::max(0, n)) * kMixBytesPerFrame);
        }
        return true;
    }

    std::unique_ptr<TPcmDecoder> FSource;
    TPcmFormat          FIn;
    SwrContext*         FSwr = nullptr;
    std::vector<uint8_t> FIn16;
    std::vector<uint8_t> FPending;
    size_t              FPendingPos = 0;
    bool                FFlushed = false;
    int64_t             FPosition = 0;
};

} // namespace

std::unique_ptr<TPcmDecoder> toEngineFormat(std::unique_ptr<TPcmDecoder> decoder) {
    if (isEngineFormat(decoder->format()))
        return decoder;
    return std::make_unique<TResampleDecoder>(std::move(decoder));
}

std::unique_ptr<TPcmDecoder> toMixFormat(std::unique_ptr<TPcmDecoder> decoder) {
    if (decoder->format() == kMixFormat)
        return decoder;
    if (isEngineFormat(decoder->format()))
        return std::make_unique<TEngineToMixDecoder>(std::move(decoder));
    return std::make_unique<TResampleDecoder>(std::move(decoder));
}

std::unique_ptr<TPcmDecoder> openPcmDecoder(std::unique_ptr<TStream> stream, TSoundKind kind) {
    if (kind == TSoundKind::automatic) {
        uint8_t head[12] = {};
        stream->SetPosition(0);
        const int64_t n = stream->Read(head, sizeof head);
        stream->SetPosition(0);
        if (n >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0)
            kind = TSoundKind::wav;
        else if (n >= 4 && std::memcmp(head, "OggS", 4) == 0)
            kind = TSoundKind::ogg;
        else
            kind = TSoundKind::other;
    }
    switch (kind) {
    case TSoundKind::wav: return openWavDecoder(std::move(stream));
    case TSoundKind::ogg: return openVorbisDecoder(std::move(stream));
    default: return openFfmpegDecoder(std::move(stream));
    }
}

} // namespace zuno
