// The media layer of one run: the master mix and the five managers (video,
// Windows Media, Ogg/WAV, CD audio, MIDI, created in that order). Sound and
// movie objects ask it for items by file name; the application hands its
// pull to the sound output and suspends and resumes it with the focus.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "media/MediaFiles.h"
#include "media/MediaTypes.h"
#include "media/TAudioMixer.h"
#include "media/TCddaManager.h"
#include "media/TMidiManager.h"
#include "media/TOggManager.h"
#include "media/TVideoManager.h"
#include "media/TWmpManager.h"

namespace zuno {

class TVrFileManager;

struct TMediaSettings {
    bool                UseDirectSound = true;          // game.ini "Sound"/"DirectSound"
    int32_t             SoundDelay = 500;               // "Sound"/"DelayTime", normalized
    bool                UseWmp = false;                 // "Video"/"UseWMP"
    std::string         SoundFont;                      // "Sound"/"SoundFont" (a path; empty: the installed ones)
};

class TMediaSystem {
public:
                        TMediaSystem(TVrFileManager& files, const TMediaSettings& settings, TMediaClock clock);
                        ~TMediaSystem();

    // The item for a sound's file name, from the manager of its kind (the
    // kind rule of mediaKindOf); nullptr for names of no kind and files that
    // cannot be had. Undecodable data fails with "サウンドデータが不正です".
    TDMediaItem*        AddSound(const std::string& name);
    void                Release(TDMediaItem* item);     // back to its manager, freed
    TVideoItem*         AddVideo(const std::string& name, bool frameCapture) { return FVideo->Add(name, frameCapture); }

    void                Suspend();                      // the player lost the focus
    void                Resume();                       // ... and regained it
    void                SetSoundOn(bool on);            // "@SoundON"

    TAudioMixer&        Mixer() { return FMixer; }
    TOggManager&        Ogg() { return *FOgg; }
    TWmpManager&        Wmp() { return *FWmp; }
    TCddaManager&       Cdda() { return *FCdda; }
    TMidiManager&       Midi() { return *FMidi; }
    TVideoManager&      Video() { return *FVideo; }

private:
    std::vector<TDMediaManager*> managers();           // video, Windows Media, Ogg, CD, MIDI

    TAudioMixer         FMixer;
    std::unique_ptr<TVideoManager> FVideo;
    std::unique_ptr<TWmpManager> FWmp;
    std::unique_ptr<TOggManager> FOgg;
    std::unique_ptr<TCddaManager> FCdda;
    std::unique_ptr<TMidiManager> FMidi;
};

} // namespace zuno
