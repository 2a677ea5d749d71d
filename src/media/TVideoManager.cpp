#include "media/TVideoManager.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <algorithm>

#include "imaging/TDIBX.h"
#include "media/FfmpegInput.h"
#include "media/MediaFiles.h"
#include "media/TAudioMixer.h"
#include "media/TStreamVoice.h"

namespace zuno {

namespace {

constexpr int32_t kMaxSide = 8192;          // larger pictures are not decoded

class TFfVideoItem : public TVideoItem {
public:
    TFfVideoItem(TAudioMixer& mixer, TMediaClock clock, std::unique_ptr<TStream> picture, std::unique_ptr<TStream> sound)
        : FMixer(mixer), FClock(std::move(clock)), FInput(std::move(picture)) {
        if (FInput.ok()) {
            openPicture();
            const int64_t d = FInput.context()->duration;
            if (d != AV_NOPTS_VALUE && d > 0)
                FLength = int32_t(std::min<int64_t>(d / 1000, INT32_MAX));
        }
        if (sound) {
            try {
                FVoice = std::make_unique<TStreamVoice>(openFfmpegDecoder(std::move(sound)));
                FMixer.addVoice(FVoice.get());
                FLength = std::max(FLength, FVoice->lengthMs());
            } catch (const std::exception&) {
                FVoice.reset();                         // a movie without sound
            }
        }
    }
    ~TFfVideoItem() override {
        if (FVoice)
            FMixer.removeVoice(FVoice.get());
        sws_freeContext(FSws);
        av_frame_free(&FFrame);
        av_packet_free(&FPacket);
        avcodec_free_context(&FCodec);
    }

    bool hasContent() const { return FCodec || FVoice; }

    bool GetAutoRepeat() override { return FRepeat; }
    void SetAutoRepeat(bool on) override {
        FRepeat = on;
        if (FVoice)
            FVoice->setRepeat(on);
    }
    int32_t GetPan() override { return FVoice ? FVoice->pan() : 0; }
    int32_t GetVolume() override { return FVoice ? FVoice->volume() : FVolume; }
    void SetPan(int32_t p) override { if (FVoice) FVoice->setPan(p); }
    void SetVolume(int32_t v) override {
        FVolume = v;
        if (FVoice)
            FVoice->setVolume(v);
    }
    int32_t GetPosition() override { return position(); }
    void SetPosition(int32_t ms) override {
        FBase = std::clamp(ms, 0, std::max(0, FLength));
        FStartTick = FClock();
        FEndReported = false;
        if (FVoice) {
            FVoice->setPositionMs(FBase);
            // A running movie goes on from there, its sound with its picture,
            // also when the sound had already come to its end.
            if (FPlaying && !FPaused)
                FVoice->play();
        }
    }
    int32_t GetLength() override { return FLength; }
    bool IsEnd() override {
        if (FEndReported || FRepeat || !FStarted || position() < FLength)
            return false;
        FEndReported = true;
        return true;
    }
    bool IsPlaying() override { return FPlaying && !FPaused && (FRepeat || position() < FLength); }
    bool IsPaused() override { return FPaused; }
    void Play() override {
        if (FPlaying && !FPaused)
            return;
        if (position() >= FLength && !FRepeat)
            FBase = 0;
        FStartTick = FClock();
        FPlaying = FStarted = true;
        FPaused = false;
        if (FVoice) {
            FVoice->setPositionMs(FBase);
            FVoice->play();
        }
    }
    void Pause() override {
        if (!FPlaying || FPaused)
            return;
        FBase = position();
        FPaused = true;
        if (FVoice)
            FVoice->pause();
    }

    int32_t GetSourceHeight() override { return FCodec ? FCodec->height : 0; }
    int32_t GetSourceWidth() override { return FCodec ? FCodec->width : 0; }
    bool GetVisible() override { return FVisible; }
    void SetVisible(bool on) override { FVisible = on; }
    bool NeedPaint() override {
        decodeUpTo(position());
        return FNeedPaint;
    }
    void FramePainted() override { FNeedPaint = false; }
    TDIBX* GetFrame() override {
        if (!FCodec)
            return nullptr;
        decodeUpTo(position());
        return FHavePicture ? &FPicture : nullptr;
    }

private:
    int32_t position() {
        int64_t p = FBase;
        if (FPlaying && !FPaused)
            p += uint32_t(FClock() - FStartTick);
        if (FLength <= 0)
            return 0;
        if (FRepeat)
            return int32_t(p % FLength);
        return int32_t(std::min<int64_t>(p, FLength));
    }

    void openPicture() {
        FIndex = FInput.bestStream(AVMEDIA_TYPE_VIDEO);
        if (FIndex < 0)
            return;                                     // no picture
        AVStream* st = FInput.context()->streams[FIndex];
        const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
        if (!codec || st->codecpar->width <= 0 || st->codecpar->height <= 0 || st->codecpar->width > kMaxSide ||
            st->codecpar->height > kMaxSide)
            return;
        FCodec = avcodec_alloc_context3(codec);
        if (!FCodec || avcodec_parameters_to_context(FCodec, st->codecpar) < 0 || avcodec_open2(FCodec, codec, nullptr) < 0) {
            avcodec_free_context(&FCodec);
            return;
        }
        FPacket = av_packet_alloc();
        FFrame = av_frame_alloc();
        FStartPts = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
        FPicture.SetSize(FCodec->width, FCodec->height, 32);
    }

    int64_t frameMs(const AVFrame* f) const {
        const int64_t pts = f->best_effort_timestamp;
        if (pts == AV_NOPTS_VALUE)
            return FShownMs + 1;
        return av_rescale_q(pts - FStartPts, FInput.context()->streams[FIndex]->time_base, AVRational{1, 1000});
    }

    // Shows the last frame whose time is at or before `ms`.
    void decodeUpTo(int32_t ms) {
        if (!FCodec)
            return;
        if (FHavePicture && ms < FShownMs) {
            // Backwards: seek to the key frame before and decode forward again.
            AVStream* st = FInput.context()->streams[FIndex];
            av_seek_frame(FInput.context(), FIndex, FStartPts + av_rescale_q(ms, AVRational{1, 1000}, st->time_base),
                          AVSEEK_FLAG_BACKWARD);
            avcodec_flush_buffers(FCodec);
            if (FPendingFrame)
                av_frame_unref(FFrame);
            FPendingFrame = false;
            FEof = false;
            FShownMs = -1;
            FHavePicture = false;               // the next frame shown is the one for `ms`
        }
        for (int guard = 0; guard < 10000 && !FEof; ++guard) {
            if (FPendingFrame) {
                if (frameMs(FFrame) > ms && FHavePicture)
                    return;                             // not due yet
                show(FFrame);
                FPendingFrame = false;
                av_frame_unref(FFrame);
                continue;
            }
            int r = avcodec_receive_frame(FCodec, FFrame);
            if (r == 0) {
                FPendingFrame = true;
                continue;
            }
            if (r == AVERROR_EOF) {
                FEof = true;
                return;
            }
            r = av_read_frame(FInput.context(), FPacket);
            if (r < 0) {
                avcodec_send_packet(FCodec, nullptr);
                continue;
            }
            if (FPacket->stream_index == FIndex)
                avcodec_send_packet(FCodec, FPacket);
            av_packet_unref(FPacket);
        }
    }

    void show(AVFrame* f) {
        FSws = sws_getCachedContext(FSws, f->width, f->height, AVPixelFormat(f->format), FCodec->width, FCodec->height,
                                    AV_PIX_FMT_BGR0, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!FSws)
            return;
        uint8_t* dst[4] = {FPicture.ScanLine(0), nullptr, nullptr, nullptr};
        int pitch[4] = {FPicture.GetPitch(), 0, 0, 0};
        sws_scale(FSws, f->data, f->linesize, 0, f->height, dst, pitch);
        // The unused fourth byte of every pixel stays 0.
        for (int y = 0; y < FCodec->height; ++y) {
            uint8_t* row = FPicture.ScanLine(y);
            for (int x = 0; x < FCodec->width; ++x)
                row[x * 4 + 3] = 0;
        }
        FShownMs = frameMs(f);
        FHavePicture = true;
        FNeedPaint = true;
    }

    TAudioMixer&        FMixer;
    TMediaClock         FClock;
    TAvInput            FInput;
    std::unique_ptr<TStreamVoice> FVoice;
    int                 FIndex = -1;
    AVCodecContext*     FCodec = nullptr;
    AVPacket*           FPacket = nullptr;
    AVFrame*            FFrame = nullptr;
    SwsContext*         FSws = nullptr;
    TDIBX               FPicture;
    int64_t             FStartPts = 0;
    int64_t             FShownMs = -1;
    bool                FPendingFrame = false;
    bool                FEof = false;
    bool                FHavePicture = false;
    bool                FNeedPaint = false;
    bool                FVisible = true;
    bool                FRepeat = false;
    bool                FPlaying = false;
    bool                FStarted = false;
    bool                FPaused = false;
    bool                FEndReported = false;
    int32_t             FVolume = 0;
    int32_t             FLength = 0;
    int32_t             FBase = 0;
    uint32_t            FStartTick = 0;
};

} // namespace

TVideoManager::TVideoManager(TVrFileManager& files, TAudioMixer& mixer, TMediaClock clock)
    : TDMediaManager(false), FFiles(files), FMixer(mixer), FClock(std::move(clock)) {
}

TVideoManager::~TVideoManager() {
    FItems.clear();
}

TVideoItem* TVideoManager::Add(const std::string& name, bool) {
    std::unique_ptr<TStream> picture = openMediaStream(FFiles, name);
    if (!picture)
        return nullptr;
    auto item = std::make_unique<TFfVideoItem>(FMixer, FClock, std::move(picture), openMediaStream(FFiles, name));
    if (!item->hasContent())
        return nullptr;
    return static_cast<TVideoItem*>(append(std::move(item)));
}

} // namespace zuno
