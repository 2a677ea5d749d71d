#include "media/TMidiManager.h"

#include <algorithm>
#include <optional>

#include "media/MediaFiles.h"
#include "media/TAudioMixer.h"
#include "media/TFluidSynthPort.h"
#include "media/TMidiPlayV.h"

namespace zuno {

constexpr int kControllerVolume = 7;

namespace {

class TMidiItem : public TDMediaItem {
public:
    TMidiItem(TMidiManager& owner, std::string name) : FOwner(owner), FName(std::move(name)) {}

    bool GetAutoRepeat() override { return FRepeat; }
    void SetAutoRepeat(bool on) override {
        FRepeat = on;
        if (current())
            seq().SetAutoRepeat(on);
    }
    int32_t GetVolume() override { return FVolume; }
    void SetVolume(int32_t v) override {
        FVolume = v;
        if (current())
            seq().SetControllerScaleAll(kControllerVolume, v / 100 + 100);
    }
    int32_t GetPosition() override { return current() ? seq().Position() : FStart; }
    void SetPosition(int32_t ms) override {
        FStart = std::max(0, ms);
        if (current() && seq().Playing())
            seq().PlayFrom(FStart);
    }
    int32_t GetLength() override {
        // Parsed once by a sequencer of its own.
        if (!FLength) {
            TMidiV parser;
            if (auto s = openMediaStream(FOwner.Files(), FName))
                parser.Parse(*s);
            FLength = parser.TotalLength();
        }
        return *FLength;
    }
    bool IsEnd() override { return current() && seq().Playing() && seq().AtEnd(); }
    bool IsPlaying() override { return current() && seq().Playing(); }
    bool IsPaused() override { return FPaused; }
    void Play() override {
        if (!FOwner.SoundOn())
            return;
        if (!current()) {
            auto s = openMediaStream(FOwner.Files(), FName);
            if (!s)
                return;
            if (FOwner.Current)
                seq().StopPlayback();
            seq().LoadSong(*s);
            FOwner.Current = this;
        }
        if (!seq().PortOpen())
            seq().OpenPort();
        seq().SendMasterVolume();
        seq().SetAutoRepeat(FRepeat);
        seq().PlayFrom(FStart);
        FPaused = false;
        seq().SetControllerScaleAll(kControllerVolume, FVolume / 100 + 100);
    }
    void Pause() override {
        if (current()) {
            FStart = seq().Position();
            seq().StopPlayback();
        }
        FPaused = true;
    }

private:
    bool current() const { return FOwner.Current == this; }
    TMidiPlayV& seq() { return FOwner.Sequencer(); }

    TMidiManager&       FOwner;
    std::string         FName;
    bool                FRepeat = false;
    bool                FPaused = false;
    int32_t             FVolume = 0;
    int32_t             FStart = 0;
    std::optional<int32_t> FLength;
};

} // namespace

TMidiManager::TMidiManager(TVrFileManager& files, TAudioMixer& mixer, const std::string& soundFont)
    : FFiles(files), FMixer(mixer), FSynth(std::make_unique<TFluidSynthPort>(chooseSoundFont(soundFont))) {
    TFluidSynthPort* synth = FSynth.get();
    FSequencer = std::make_unique<TMidiPlayV>(*synth, [synth] { return synth->clockMs(); });
    TMidiPlayV* seq = FSequencer.get();
    synth->OnTick = [seq] { seq->Tick(); };
    FMixer.addVoice(synth);
    FPortNames = {"MIDI\x83\x7d\x83\x62\x83\x70\x81\x5b", synth->name()};   // "MIDIマッパー"
}

TMidiManager::~TMidiManager() {
    FMixer.removeVoice(FSynth.get());
    FItems.clear();
}

TDMediaItem* TMidiManager::Add(const std::string& name) {
    if (!openMediaStream(FFiles, name))
        return nullptr;
    return append(std::make_unique<TMidiItem>(*this, name));
}

void TMidiManager::beforeDelete(TDMediaItem* item) {
    if (Current != item)
        return;
    FSequencer->StopPlayback();
    FSequencer->ClosePort();
    Current = nullptr;
}

std::string TMidiManager::PortName(int i) const {
    return i >= 0 && i < PortCount() ? FPortNames[size_t(i)] : std::string();
}

void TMidiManager::SelectPort(int index) {
    const int port = std::clamp(index, 0, PortCount() - 1);
    if (port == FPort)
        return;
    FPort = port;
    // A piece that plays goes on from where it is on the new port.
    if (Current && FSequencer->Playing()) {
        const int32_t at = FSequencer->Position();
        FSequencer->ClosePort();
        FSequencer->OpenPort();
        FSequencer->SendMasterVolume();
        FSequencer->PlayFrom(at);
    }
}

void TMidiManager::SelectPort(const std::string& name) {
    auto it = std::find(FPortNames.begin(), FPortNames.end(), name);
    SelectPort(it == FPortNames.end() ? 0 : int(it - FPortNames.begin()));
}

} // namespace zuno
