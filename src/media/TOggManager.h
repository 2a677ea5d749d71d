// Ogg and WAV sounds. On the device path (the "DirectSound" setting, on by
// default) each item is a voice of the mixer with the sound device's volume
// and pan; on the wave-out path the manager's engine mixes the items'
// decoded streams with a linear gain.
#pragma once

#include <memory>
#include <string>

#include "media/MediaTypes.h"
#include "media/TDMediaItem.h"

namespace zuno {

class TAudioMixer;
class TVrFileManager;
class TWavOut;

class TOggManager : public TDMediaManager {
public:
                        TOggManager(TVrFileManager& files, TAudioMixer& mixer, bool useDirectSound,
                                    int32_t soundDelay, TMediaClock clock);
                        ~TOggManager() override;

    // The item for a game file; nullptr when the file cannot be had. Fails
    // with "サウンドデータが不正です" when it is no sound we decode.
    TDMediaItem*        Add(const std::string& name);
    void                Restore() {}                    // no device state to rebuild
    TWavOut&            Engine() { return *FEngine; }
    bool                UsesDirectSound() const { return FUseDirectSound; }

private:
    TVrFileManager&     FFiles;
    TAudioMixer&        FMixer;
    bool                FUseDirectSound;
    std::unique_ptr<TWavOut> FEngine;
};

} // namespace zuno
