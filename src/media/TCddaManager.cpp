#include "media/TCddaManager.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "archive/TRangeStream.h"
#include "media/MediaFiles.h"
#include "media/TAudioMixer.h"
#include "media/TStreamVoice.h"

namespace zuno {

namespace {

class TCddaItem : public TDMediaItem {
public:
    TCddaItem(TCddaManager& owner, int track) : FOwner(owner), FTrack(track) {}
    ~TCddaItem() override { stopVoice(); }

    bool GetAutoRepeat() override { return FRepeat; }
    void SetAutoRepeat(bool on) override {
        FRepeat = on;
        if (FVoice)
            FVoice->setRepeat(on);
    }
    int32_t GetVolume() override { return FVolume; }
    void SetVolume(int32_t v) override {
        FVolume = v;
        if (FVoice)
            FVoice->setVolume(v);
    }
    int32_t GetPosition() override {
        if (current() && FVoice)
            return FVoice->positionMs() / 1000 * 1000;
        return FStart / 1000 * 1000;
    }
    void SetPosition(int32_t ms) override {
        FStart = std::max(0, ms);
        if (current() && FVoice)
            FVoice->setPositionMs(FStart);
    }
    int32_t GetLength() override {
        if (!open())
            return 0;
        return FVoice->lengthMs() / 1000 * 1000;
    }
    bool IsEnd() override {
        if (!current() || !FVoice || FEndReported || !FVoice->reachedEnd())
            return false;
        FEndReported = true;
        return true;
    }
    bool IsPlaying() override { return current() && FVoice && FVoice->isPlaying(); }
    bool IsPaused() override { return FPaused; }
    void Play() override {
        if (!FOwner.SoundOn() || !open())
            return;                         // no file for the track: not current, silent
        if (!current()) {
            if (FOwner.Current)
                FOwner.Current->Pause();
            FOwner.Current = this;
        }
        if (!FPaused || FVoice->reachedEnd())
            FVoice->setPositionMs(FStart);
        FPaused = false;
        FEndReported = false;
        FVoice->setRepeat(FRepeat);
        FVoice->play();
    }
    void Pause() override {
        if (current() && FVoice && FVoice->isPlaying()) {
            FStart = FVoice->positionMs();
            FVoice->pause();
            FPaused = true;
        }
    }
    void stopVoice() {
        if (FVoice)
            FOwner.Mixer().removeVoice(FVoice.get());
        FVoice.reset();
    }

private:
    bool current() const { return FOwner.Current == this; }
    bool open() {
        if (FVoice)
            return true;
        const std::string file = FOwner.TrackFile(FTrack);
        if (file.empty())
            return false;
        try {
            auto stream = std::make_unique<TFileRangeStream>(file, 0, 0, false, true);
            FVoice = std::make_unique<TStreamVoice>(openPcmDecoder(std::move(stream)), TVolumeLaw::linearLine);
        } catch (const std::exception&) {
            return false;
        }
        FVoice->setVolume(FVolume);
        FOwner.Mixer().addVoice(FVoice.get());
        return true;
    }

    TCddaManager&       FOwner;
    int                 FTrack;
    std::unique_ptr<TStreamVoice> FVoice;
    bool                FRepeat = false;
    bool                FPaused = false;
    bool                FEndReported = false;
    int32_t             FVolume = 0;
    int32_t             FStart = 0;
};

} // namespace

TCddaManager::TCddaManager(std::vector<std::string> folders, TAudioMixer& mixer)
    : FFolders(std::move(folders)), FMixer(mixer) {
}

TCddaManager::~TCddaManager() {
    FItems.clear();
}

TDMediaItem* TCddaManager::Add(const std::string& name) {
    const int track = cdTrackOf(name);
    if (track < 0)
        return nullptr;
    return append(std::make_unique<TCddaItem>(*this, track));
}

void TCddaManager::beforeDelete(TDMediaItem* item) {
    if (Current == item)
        Current = nullptr;
}

std::string TCddaManager::TrackFile(int track) const {
    char stem[32];
    std::snprintf(stem, sizeof stem, "track%02d", track);
    std::error_code ec;
    for (const std::string& base : FFolders) {
        for (const std::string& folder : {base, base + "CD/", base + "cd/"}) {
            if (!std::filesystem::is_directory(folder, ec))
                continue;
            for (const char* ext : {".ogg", ".flac", ".wav", ".mp3"}) {
                // Names are matched without regard to case.
                for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
                    std::string n = entry.path().filename().string();
                    for (char& c : n)
                        if (c >= 'A' && c <= 'Z')
                            c = char(c - 'A' + 'a');
                    if (n == std::string(stem) + ext && entry.is_regular_file(ec))
                        return entry.path().string();
                }
            }
        }
    }
    return {};
}

} // namespace zuno
