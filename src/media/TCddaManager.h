// CD audio: the disc's tracks are audio files ripped beside the game,
// "TrackNN" with the extension .ogg, .flac, .wav or .mp3 (NN the track
// number with at least two digits), in the game folder or its "CD" folder.
// One player serves every item: only the item that started last is current,
// the others report not playing. A track without a file plays nothing.
// Positions and lengths are whole seconds; the volume scales the CD line
// linearly.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "media/TDMediaItem.h"

namespace zuno {

class TAudioMixer;
class TStreamVoice;

class TCddaManager : public TDMediaManager {
public:
                        TCddaManager(std::vector<std::string> folders, TAudioMixer& mixer);
                        ~TCddaManager() override;

    TDMediaItem*        Add(const std::string& name);    // "CD_N"
    // The file standing for track n, or "" when there is none.
    std::string         TrackFile(int track) const;

    // Shared player state for the items.
    TDMediaItem*        Current = nullptr;
    TAudioMixer&        Mixer() { return FMixer; }

protected:
    void                beforeDelete(TDMediaItem* item) override;

private:
    std::vector<std::string> FFolders;                   // disk folders ending in '/'
    TAudioMixer&        FMixer;
};

} // namespace zuno
