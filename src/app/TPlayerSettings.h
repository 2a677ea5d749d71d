// The player's own settings in game.ini: sound through the direct path or the
// wave-out path with its buffer delay, and the video path. Also the model of
// the settings dialog, which edits the two sound settings.
#pragma once

#include <cstdint>
#include <string>

#include "app/TIniFile.h"

namespace zuno {

// The delay the player uses for a stored DelayTime: truncated to a multiple
// of 100 (toward zero), then clamped to 100..500.
int32_t                 normalizeDelayTime(int32_t stored);

struct TPlayerSettings {
    bool                useDirectSound = true;  // "Sound"/"DirectSound"
    int32_t             soundDelay = 500;       // "Sound"/"DelayTime", normalized
    bool                useWmp = false;         // "Video"/"UseWMP" (read only)
    std::string         soundFont;              // "Sound"/"SoundFont": a General MIDI sound font (read only)

    // Values the file holds replace these; absent or unreadable ones stay.
    void                read(const TIniFile& ini);
};

// Where game.ini lives: beside the executable when a file is there (the
// place the original player used), else in the user's configuration folder.
std::string             gameIniPath(const std::string& executableFolder, const std::string& userConfigFolder);
// The same, looking first in the game folder.
std::string             gameIniPath(const std::string& gameFolder, const std::string& executableFolder,
                                    const std::string& userConfigFolder);

// The settings dialog "動作設定" without its window: a check box
// "DirectSoundを使用する(&S)", a track bar 1..5 for the delay in hundreds of
// milliseconds with its value label "%dms"; the delay controls are enabled
// only while the check box is clear.
class TConfigDialogModel {
public:
    explicit            TConfigDialogModel(const TIniFile& ini);   // absent values: ticked, position 5

    bool                directSound() const { return FDirectSound; }
    void                setDirectSound(bool on) { FDirectSound = on; }
    bool                delayEnabled() const { return !FDirectSound; }
    int32_t             position() const { return FPosition; }
    void                setPosition(int32_t position);            // kept within 1..5
    std::string         valueLabel() const;                       // "500ms"
    void                apply(TIniFile& ini) const;               // what OK writes (UseWMP untouched)

private:
    bool                FDirectSound = true;
    int32_t             FPosition = 5;
};

} // namespace zuno
