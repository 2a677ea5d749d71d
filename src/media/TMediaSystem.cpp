#include "media/TMediaSystem.h"

#include "archive/TVrFileManager.h"

namespace zuno {

TMediaSystem::TMediaSystem(TVrFileManager& files, const TMediaSettings& settings, TMediaClock clock) {
    FVideo = std::make_unique<TVideoManager>(files, FMixer, clock);
    FWmp = std::make_unique<TWmpManager>(files, FMixer);
    FOgg = std::make_unique<TOggManager>(files, FMixer, settings.UseDirectSound, settings.SoundDelay, clock);
    FCdda = std::make_unique<TCddaManager>(std::vector<std::string>{files.BaseFolder()}, FMixer);
    FMidi = std::make_unique<TMidiManager>(files, FMixer, settings.SoundFont);
}

TMediaSystem::~TMediaSystem() {
    FOgg.reset();
    FCdda.reset();
    FMidi.reset();
    FWmp.reset();
    FVideo.reset();
}

std::vector<TDMediaManager*> TMediaSystem::managers() {
    return {FVideo.get(), FWmp.get(), FOgg.get(), FCdda.get(), FMidi.get()};
}

TDMediaItem* TMediaSystem::AddSound(const std::string& name) {
    switch (mediaKindOf(name)) {
    case TMediaKind::midi:         return FMidi->Add(name);
    case TMediaKind::windowsMedia: return FWmp->Add(name);
    case TMediaKind::ogg:          return FOgg->Add(name);
    case TMediaKind::cdAudio:      return FCdda->Add(name);
    default:                       return nullptr;
    }
}

void TMediaSystem::Release(TDMediaItem* item) {
    for (TDMediaManager* m : managers())
        m->Delete(item);
}

void TMediaSystem::Suspend() {
    for (TDMediaManager* m : managers())
        m->Suspend();
}

void TMediaSystem::Resume() {
    for (TDMediaManager* m : managers())
        m->Resume();
}

void TMediaSystem::SetSoundOn(bool on) {
    for (TDMediaManager* m : managers())
        m->SetSoundOn(on);
}

} // namespace zuno
