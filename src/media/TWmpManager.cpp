#include "media/TWmpManager.h"

#include <algorithm>

#include "media/MediaFiles.h"
#include "media/TAudioMixer.h"
#include "media/TStreamVoice.h"

namespace zuno {

namespace {

class TWmpItem : public TDMediaItem {
public:
    TWmpItem(TWmpManager& owner, TAudioMixer& mixer, std::unique_ptr<TPcmDecoder> decoder)
        : FOwner(owner), FMixer(mixer), FVoice(std::move(decoder)) {
        FMixer.addVoice(&FVoice);
    }
    ~TWmpItem() override { FMixer.removeVoice(&FVoice); }

    bool GetAutoRepeat() override { return FVoice.repeat(); }
    void SetAutoRepeat(bool on) override { FVoice.setRepeat(on); }
    int32_t GetPan() override { return FVoice.pan(); }
    int32_t GetVolume() override { return FVoice.volume(); }
    void SetPan(int32_t p) override { FVoice.setPan(p); }
    void SetVolume(int32_t v) override { FVoice.setVolume(v); }
    int32_t GetPosition() override { return FVoice.positionMs(); }
    void SetPosition(int32_t ms) override {
        FVoice.setPositionMs(std::max(0, ms));
        FEndReported = false;
    }
    int32_t GetLength() override { return FVoice.lengthMs(); }
    bool IsEnd() override {
        if (FEndReported || !FVoice.reachedEnd())
            return false;
        FEndReported = true;
        return true;
    }
    bool IsPlaying() override { return FVoice.isPlaying(); }
    bool IsPaused() override { return FVoice.isPaused(); }
    void Play() override {
        if (FOwner.SoundOn())
            FVoice.play();
    }
    void Pause() override { FVoice.pause(); }

private:
    TWmpManager&        FOwner;
    TAudioMixer&        FMixer;
    TStreamVoice        FVoice;
    bool                FEndReported = false;
};

} // namespace

TDMediaItem* TWmpManager::Add(const std::string& name) {
    std::unique_ptr<TStream> stream = openMediaStream(FFiles, name);
    if (!stream)
        return nullptr;
    // The whole file in memory, as the original library received it.
    auto memory = std::make_unique<TKsMemoryStream>();
    const int64_t size = stream->GetSize();
    memory->SetSize(size);
    stream->SetPosition(0);
    if (size > 0)
        memory->SetSize(stream->Read(memory->Memory(), size));
    return append(std::make_unique<TWmpItem>(*this, FMixer, openFfmpegDecoder(std::move(memory))));
}

} // namespace zuno
