// Ogg Vorbis through libvorbisfile, reading the owned stream through callbacks.
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>

#include "media/TPcmDecoder.h"

namespace zuno {

namespace {

size_t vorbisRead(void* ptr, size_t size, size_t nmemb, void* source) {
    if (size == 0)
        return 0;
    int64_t got = static_cast<TStream*>(source)->Read(ptr, int64_t(size * nmemb));
    return got > 0 ? size_t(got) / size : 0;
}

int vorbisSeek(void* source, ogg_int64_t offset, int whence) {
    TStream* s = static_cast<TStream*>(source);
    TSeekOrigin origin = whence == SEEK_CUR ? soCurrent : (whence == SEEK_END ? soEnd : soBeginning);
    s->Seek(offset, origin);
    return 0;
}

long vorbisTell(void* source) {
    return long(static_cast<TStream*>(source)->GetPosition());
}

class TVorbisDecoder : public TPcmDecoder {
public:
    explicit TVorbisDecoder(std::unique_ptr<TStream> stream) : FStream(std::move(stream)) {
        ov_callbacks cb{vorbisRead, vorbisSeek, nullptr, vorbisTell};
        FStream->SetPosition(0);
        if (ov_open_callbacks(FStream.get(), &FFile, nullptr, 0, cb) != 0)
            throw badSoundDataError();
        FOpen = true;
        vorbis_info* vi = ov_info(&FFile, -1);
        const ogg_int64_t total = ov_pcm_total(&FFile, -1);
        if (!vi || vi->channels < 1 || vi->channels > 8 || vi->rate < 1000 || vi->rate > 384000 || total < 0) {
            ov_clear(&FFile);
            throw badSoundDataError();
        }
        FFormat = {vi->channels, int32_t(vi->rate), 16};
        FSize = int64_t(total) * FFormat.blockAlign();
    }

    ~TVorbisDecoder() override {
        if (FOpen)
            ov_clear(&FFile);
    }

    TPcmFormat format() const override { return FFormat; }
    int64_t size() const override { return FSize; }
    int64_t position() const override { return FPosition; }

    void seek(int64_t bytePosition) override {
        const int64_t frame = std::clamp<int64_t>(bytePosition, 0, FSize) / FFormat.blockAlign();
        if (ov_pcm_seek(&FFile, frame) == 0)
            FPosition = frame * FFormat.blockAlign();
    }

    int64_t read(void* buffer, int64_t count) override {
        count -= count % FFormat.blockAlign();
        count = std::min(count, FSize - FPosition);
        char* out = static_cast<char*>(buffer);
        int64_t done = 0;
        while (done < count) {
            int section = 0;
            const int want = int(std::min<int64_t>(count - done, 1 << 16));
            long got = ov_read(&FFile, out + done, want, 0, 2, 1, &section);
            if (got == OV_HOLE)
                continue;
            if (got <= 0)
                break;
            // A stream whose channel count changes between sections is cut there.
            vorbis_info* vi = ov_info(&FFile, section);
            if (!vi || vi->channels != FFormat.Channels)
                break;
            done += got;
        }
        FPosition += done;
        return done;
    }

private:
    std::unique_ptr<TStream> FStream;
    OggVorbis_File      FFile{};
    bool                FOpen = false;
    TPcmFormat          FFormat;
    int64_t             FSize = 0;
    int64_t             FPosition = 0;
};

} // namespace

std::unique_ptr<TPcmDecoder> openVorbisDecoder(std::unique_ptr<TStream> stream) {
    return std::make_unique<TVorbisDecoder>(std::move(stream));
}

} // namespace zuno
