// What sound and movie objects need from the player to play: media items by
// file name (acquired from and released to the managers), whether a name is a
// game file, and the millisecond clock their fades and timers run by. The
// registry holds one; without it sounds and movies stay silent. Tests give
// their own with scripted items.
#pragma once

#include <cstdint>
#include <string>

#include "media/MediaTypes.h"

namespace zuno {

class TDMediaItem;
class TVideoItem;
class TMediaSystem;
class TVrFileManager;

class TZunoMediaSource {
public:
    virtual             ~TZunoMediaSource() = default;

    // The item of a sound by the kind of its name; none for names of no kind,
    // missing managers and files that cannot be had.
    virtual TDMediaItem* AddSound(const std::string& name) = 0;
    // A movie item; `frameCapture`: its frames are drawn into the scene.
    virtual TVideoItem* AddVideo(const std::string& name, bool frameCapture) = 0;
    virtual void        Release(TDMediaItem* item) = 0;         // back to its manager, freed
    virtual bool        HasFile(const std::string& name) = 0;   // a game file of that name exists
    virtual uint32_t    Now() = 0;                              // milliseconds
};

// The player's source: the media system of the run over its file manager.
class TZunoMediaSystemSource : public TZunoMediaSource {
public:
                        TZunoMediaSystemSource(TMediaSystem& media, TVrFileManager& files, TMediaClock clock);

    TDMediaItem*        AddSound(const std::string& name) override;
    TVideoItem*         AddVideo(const std::string& name, bool frameCapture) override;
    void                Release(TDMediaItem* item) override;
    bool                HasFile(const std::string& name) override;
    uint32_t            Now() override { return FClock ? FClock() : 0; }

private:
    TMediaSystem&       FMedia;
    TVrFileManager&     FFiles;
    TMediaClock         FClock;
};

// The media volume (hundredths of a decibel) of a PR_VOLUME value 0 .. 1000:
// 5 x v - 5000 for 1 .. 1000, silent at 0 or below, full above 1000. MIDI
// pieces use 10 x v - 10000 without limits.
int32_t                 mediaVolumeOf(int32_t volume, bool midi);

// A name is a CD-audio track when it starts with "CD_" (exact case).
bool                    isCdTrackName(const std::string& name);

} // namespace zuno
