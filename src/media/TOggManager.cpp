#include "media/TOggManager.h"

#include <algorithm>
#include <cmath>

#include "media/MediaFiles.h"
#include "media/TAudioMixer.h"
#include "media/TOggStream.h"
#include "media/TVoiceItem.h"
#include "media/TWavOut.h"

namespace zuno {

namespace {

// The end is reported once, the first time the player reaches it, and never
// again for the same item.
class TEndLatch {
public:
    bool                report(bool atEnd) {
        if (FReported || !atEnd)
            return false;
        FReported = true;
        return true;
    }
private:
    bool                FReported = false;
};

//------------------------------------------------------------------------------
// TOggWaveItem: decoded by us, played by the wave-out engine.
//------------------------------------------------------------------------------

class TOggWaveItem : public TDMediaItem {
public:
    TOggWaveItem(TOggManager& owner, std::unique_ptr<TPcmDecoder> decoder)
        : FOwner(owner), FStream(toEngineFormat(std::move(decoder))) {
        FFormat = FStream.Format();
        if (!FFormat.valid())
            throw badSoundDataError();
        FBuffer = owner.Engine().AddSource(FFormat, FStream);
    }
    ~TOggWaveItem() override { FOwner.Engine().RemoveSource(FBuffer); }

    bool GetAutoRepeat() override { return FBuffer->RepeatOn(); }
    void SetAutoRepeat(bool on) override { FBuffer->SetRepeat(on, FLoopStart); }
    int32_t GetRepeatPos() override { return toMs(FLoopStart); }
    void SetRepeatPos(int32_t ms) override {
        FLoopStart = toBytes(ms);
        FBuffer->SetRepeat(FBuffer->RepeatOn(), FLoopStart);
    }
    int32_t GetPan() override { return FPan; }
    int32_t GetVolume() override { return FVolume; }
    void SetPan(int32_t p) override { FPan = std::clamp(p, -10000, 10000); }     // the wave-out path has no pan
    void SetVolume(int32_t v) override {
        FVolume = v;
        FBuffer->SetGain((std::max(v, -5000) + 5000) * 256 / 5000);
    }
    int32_t GetPosition() override { return toMs(FBuffer->PlayingPosition()); }
    void SetPosition(int32_t ms) override { FBuffer->SetReadPosition(toBytes(std::max(0, ms))); }
    int32_t GetLength() override { return toMs(FStream.GetSize()); }
    bool IsEnd() override {
        if (!FBuffer->SourceFinished())
            return false;
        if (FBuffer->RepeatOn()) {
            // A repeating source that finished starts again from its loop start.
            FBuffer->SetReadPosition(FLoopStart);
            FBuffer->StartSource();
            return false;
        }
        return FEnd.report(true);
    }
    bool IsPlaying() override { return FBuffer->Playing() && !FBuffer->PauseOn() && !FBuffer->SourceFinished(); }
    bool IsPaused() override { return FBuffer->PauseOn(); }
    void Play() override {
        if (!FOwner.SoundOn())
            return;
        if (FBuffer->ReadPosition() >= FStream.GetSize())
            FBuffer->SetReadPosition(0);
        FBuffer->StartSource();
    }
    void Pause() override { FBuffer->PauseSource(); }

private:
    // Bytes and milliseconds of the decoded format, to the nearest integer
    // (byte positions also to a whole sample frame).
    int32_t toBytes(int64_t ms) const {
        const int64_t b = std::llround(double(ms) * FFormat.bytesPerSecond() / 1000.0);
        return int32_t(std::min<int64_t>(b - b % FFormat.blockAlign(), INT32_MAX));
    }
    int32_t toMs(int64_t bytes) const { return int32_t(std::llround(double(bytes) * 1000.0 / FFormat.bytesPerSecond())); }

    TOggManager&        FOwner;
    TOggStream          FStream;
    TPcmFormat          FFormat;
    TWavBuffer*         FBuffer = nullptr;
    int32_t             FLoopStart = 0;
    int32_t             FVolume = 0;
    int32_t             FPan = 0;
    TEndLatch           FEnd;
};

} // namespace

TOggManager::TOggManager(TVrFileManager& files, TAudioMixer& mixer, bool useDirectSound, int32_t soundDelay,
                         TMediaClock clock)
    : FFiles(files), FMixer(mixer), FUseDirectSound(useDirectSound),
      FEngine(std::make_unique<TWavOut>(soundDelay, std::move(clock))) {
    FMixer.addVoice(FEngine.get());
}

TOggManager::~TOggManager() {
    FItems.clear();
    FMixer.removeVoice(FEngine.get());
}

TDMediaItem* TOggManager::Add(const std::string& name) {
    std::unique_ptr<TStream> stream = openMediaStream(FFiles, name);
    if (!stream)
        return nullptr;
    // The bytes decide between Ogg and WAV, whatever the extension says.
    std::unique_ptr<TPcmDecoder> decoder = openPcmDecoder(std::move(stream));
    if (FUseDirectSound)
        return append(std::make_unique<TVoiceItem>(*this, FMixer, std::move(decoder), TVoiceItem::TRules{true, false}));
    FEngine->OpenDevice(true);
    return append(std::make_unique<TOggWaveItem>(*this, std::move(decoder)));
}

} // namespace zuno
