#include "media/FfmpegInput.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
}

#include <mutex>

namespace zuno {

namespace {

constexpr int kIoBufferSize = 32 * 1024;

int ioRead(void* opaque, uint8_t* buffer, int size) {
    int64_t got = static_cast<TStream*>(opaque)->Read(buffer, size);
    return got > 0 ? int(got) : AVERROR_EOF;
}

int64_t ioSeek(void* opaque, int64_t offset, int whence) {
    TStream* s = static_cast<TStream*>(opaque);
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return s->GetSize();
    case SEEK_SET:    return s->Seek(offset, soBeginning);
    case SEEK_CUR:    return s->Seek(offset, soCurrent);
    case SEEK_END:    return s->Seek(offset, soEnd);
    default:          return -1;
    }
}

} // namespace

TAvInput::TAvInput(std::unique_ptr<TStream> stream) : FStream(std::move(stream)) {
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
    FStream->SetPosition(0);
    auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
    if (!buffer)
        return;
    FIo = avio_alloc_context(buffer, kIoBufferSize, 0, FStream.get(), ioRead, nullptr, ioSeek);
    if (!FIo) {
        av_free(buffer);
        return;
    }
    AVFormatContext* fmt = avformat_alloc_context();
    if (!fmt)
        return;
    fmt->pb = FIo;
    fmt->flags |= AVFMT_FLAG_CUSTOM_IO;
    fmt->probesize = 1 << 20;
    fmt->max_analyze_duration = 2 * AV_TIME_BASE;
    if (avformat_open_input(&fmt, nullptr, nullptr, nullptr) < 0)
        return;                                         // frees fmt
    if (avformat_find_stream_info(fmt, nullptr) < 0) {
        avformat_close_input(&fmt);
        return;
    }
    FFormat = fmt;
}

TAvInput::~TAvInput() {
    if (FFormat)
        avformat_close_input(&FFormat);
    if (FIo) {
        av_freep(&FIo->buffer);
        avio_context_free(&FIo);
    }
}

int TAvInput::bestStream(int mediaType) const {
    if (!FFormat)
        return -1;
    int i = av_find_best_stream(FFormat, AVMediaType(mediaType), -1, -1, nullptr, 0);
    return i >= 0 ? i : -1;
}

} // namespace zuno
