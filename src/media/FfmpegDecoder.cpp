// Audio of any container FFmpeg reads (Windows Media, MP3, FLAC, the sound
// of movies ...), decoded and converted by swresample to 44100 Hz 16-bit
// stereo.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

#include "media/FfmpegInput.h"
#include "media/TPcmDecoder.h"

namespace zuno {

namespace {

class TFfmpegDecoder : public TPcmDecoder {
public:
    explicit TFfmpegDecoder(std::unique_ptr<TStream> stream) : FInput(std::move(stream)) {
        FIndex = FInput.bestStream(AVMEDIA_TYPE_AUDIO);
        if (FIndex < 0)
            throw badSoundDataError();
        AVStream* st = FInput.context()->streams[FIndex];
        const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
        FCodec = codec ? avcodec_alloc_context3(codec) : nullptr;
        if (!FCodec || avcodec_parameters_to_context(FCodec, st->codecpar) < 0 ||
            avcodec_open2(FCodec, codec, nullptr) < 0 || FCodec->sample_rate <= 0 || FCodec->ch_layout.nb_channels <= 0) {
            release();
            throw badSoundDataError();
        }
        FPacket = av_packet_alloc();
        FFrame = av_frame_alloc();
        if (!FPacket || !FFrame || !openResampler()) {
            release();
            throw badSoundDataError();
        }
        // The length: the stream's duration, else the container's.
        double seconds = 0;
        if (st->duration != AV_NOPTS_VALUE && st->duration > 0)
            seconds = double(st->duration) * av_q2d(st->time_base);
        else if (FInput.context()->duration != AV_NOPTS_VALUE && FInput.context()->duration > 0)
            seconds = double(FInput.context()->duration) / AV_TIME_BASE;
        FStartTime = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
        FSize = int64_t(seconds * kMixRate) * kMixBytesPerFrame;
    }

    ~TFfmpegDecoder() override { release(); }

    TPcmFormat format() const override { return kMixFormat; }
    int64_t size() const override { return FSize; }
    int64_t position() const override { return FPosition; }

    int64_t read(void* buffer, int64_t count) override {
        count = std::min(count - count % kMixBytesPerFrame, FSize - FPosition);
        uint8_t* out = static_cast<uint8_t*>(buffer);
        int64_t done = 0;
        while (done < count) {
            if (FPendingPos >= FPending.size()) {
                if (!decodeMore())
                    break;
                continue;
            }
            const int64_t n = std::min<int64_t>(count - done, int64_t(FPending.size() - FPendingPos));
            std::memcpy(out + done, FPending.data() + FPendingPos, size_t(n));
            FPendingPos += size_t(n);
            done += n;
        }
        FPosition += done;
        return done;
    }

    void seek(int64_t bytePosition) override {
        const int64_t target = std::clamp<int64_t>(bytePosition, 0, FSize) / kMixBytesPerFrame;
        AVStream* st = FInput.context()->streams[FIndex];
        const int64_t ts = FStartTime + av_rescale_q(target, AVRational{1, kMixRate}, st->time_base);
        if (av_seek_frame(FInput.context(), FIndex, ts, AVSEEK_FLAG_BACKWARD) < 0)
            av_seek_frame(FInput.context(), FIndex, FStartTime, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
        avcodec_flush_buffers(FCodec);
        swr_free(&FSwr);
        openResampler();
        FPending.clear();
        FPendingPos = 0;
        FEnded = false;
        FNextSample = -1;
        // Decode up to the target and drop what lies before it.
        while (true) {
            if (!decodeMore())
                break;
            const int64_t have = int64_t(FPending.size()) / kMixBytesPerFrame;
            if (FPendingStart + have > target) {
                FPendingPos = size_t(std::max<int64_t>(0, target - FPendingStart)) * kMixBytesPerFrame;
                break;
            }
            FPending.clear();
        }
        FPosition = target * kMixBytesPerFrame;
    }

private:
    bool openResampler() { return openResampler(FCodec->ch_layout, FCodec->sample_fmt, FCodec->sample_rate); }

    // The resampler for input of this layout, sample format and rate.
    bool openResampler(const AVChannelLayout& layout, int format, int rate) {
        swr_free(&FSwr);
        FInChannels = layout.nb_channels;
        FInFormat = format;
        FInRate = rate;
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        if (FInChannels <= 0 || rate <= 0 ||
            swr_alloc_set_opts2(&FSwr, &stereo, AV_SAMPLE_FMT_S16, kMixRate, const_cast<AVChannelLayout*>(&layout),
                                AVSampleFormat(format), rate, 0,
                                nullptr) < 0)
            return false;
        // A mono sound goes to both sides at its full level.
        const double both[2] = {1.0, 1.0};
        if (FInChannels == 1 && swr_set_matrix(FSwr, both, 1) < 0)
            return false;
        return swr_init(FSwr) >= 0;
    }

    // Converts the next decoded frame (or the resampler's tail at the end)
    // into FPending; false when nothing more comes.
    bool decodeMore() {
        FPending.clear();
        FPendingPos = 0;
        while (!FEnded) {
            int r = avcodec_receive_frame(FCodec, FFrame);
            if (r == 0) {
                convert(FFrame);
                av_frame_unref(FFrame);
                if (!FPending.empty())
                    return true;
                continue;
            }
            if (r == AVERROR_EOF) {
                FEnded = true;
                break;
            }
            // The decoder wants input.
            r = av_read_frame(FInput.context(), FPacket);
            if (r < 0) {
                avcodec_send_packet(FCodec, nullptr);
                continue;
            }
            if (FPacket->stream_index == FIndex)
                avcodec_send_packet(FCodec, FPacket);
            av_packet_unref(FPacket);
        }
        convert(nullptr);               // the resampler's remaining samples
        return !FPending.empty();
    }

    void convert(AVFrame* frame) {
        if (frame && FNextSample < 0) {
            // The first frame after an open or a seek fixes where we are.
            const int64_t pts = frame->best_effort_timestamp;
            AVStream* st = FInput.context()->streams[FIndex];
            FNextSample = pts == AV_NOPTS_VALUE ? 0
                        : av_rescale_q(pts - FStartTime, st->time_base, AVRational{1, kMixRate});
        }
        // A stream may change its layout or rate on the way: the resampler follows.
        if (frame && (frame->ch_layout.nb_channels != FInChannels || frame->format != FInFormat ||
                      frame->sample_rate != FInRate)) {
            if (!openResampler(frame->ch_layout, frame->format, frame->sample_rate)) {
                swr_free(&FSwr);
                FEnded = true;
                return;
            }
        }
        if (!FSwr)
            return;
        const int in = frame ? frame->nb_samples : 0;
        const int room = swr_get_out_samples(FSwr, in);
        if (room <= 0)
            return;
        FPending.resize(size_t(room) * kMixBytesPerFrame);
        uint8_t* outPlanes[1] = {FPending.data()};
        const int got = swr_convert(FSwr, outPlanes, room, frame ? (const uint8_t**)frame->extended_data : nullptr, in);
        FPending.resize(size_t(std::max(0, got)) * kMixBytesPerFrame);
        FPendingStart = std::max<int64_t>(0, FNextSample);
        FNextSample = FPendingStart + std::max(0, got);
    }

    void release() {
        swr_free(&FSwr);
        av_frame_free(&FFrame);
        av_packet_free(&FPacket);
        avcodec_free_context(&FCodec);
    }

    TAvInput            FInput;
    int                 FIndex = -1;
    AVCodecContext*     FCodec = nullptr;
    AVPacket*           FPacket = nullptr;
    AVFrame*            FFrame = nullptr;
    SwrContext*         FSwr = nullptr;
    int                 FInChannels = 0;    // what the resampler takes
    int                 FInFormat = -1;
    int                 FInRate = 0;
    std::vector<uint8_t> FPending;          // converted samples not yet read
    size_t              FPendingPos = 0;
    int64_t             FPendingStart = 0;  // sample frame of FPending's first frame
    int64_t             FNextSample = -1;   // -1: not known until the next frame
    int64_t             FStartTime = 0;
    int64_t             FSize = 0;
    int64_t             FPosition = 0;
    bool                FEnded = false;
};

} // namespace

std::unique_ptr<TPcmDecoder> openFfmpegDecoder(std::unique_ptr<TStream> stream) {
    return std::make_unique<TFfmpegDecoder>(std::move(stream));
}

} // namespace zuno
