// Movies through FFmpeg: the picture is decoded by time into a 32-bit
// surface of the source size (scaled and converted by swscale), the sound
// plays through the mixer. Movies are always drawn into the scene; there is
// no overlay on this platform, so SetRect only records the rectangles.
#pragma once

#include <memory>
#include <string>

#include "media/MediaTypes.h"
#include "media/TDMediaItem.h"

namespace zuno {

class TAudioMixer;
class TVrFileManager;

class TVideoManager : public TDMediaManager {
public:
                        TVideoManager(TVrFileManager& files, TAudioMixer& mixer, TMediaClock clock);
                        ~TVideoManager() override;

    // nullptr when the file cannot be had or holds neither picture nor sound.
    TVideoItem*         Add(const std::string& name, bool frameCapture);

private:
    TVrFileManager&     FFiles;
    TAudioMixer&        FMixer;
    TMediaClock         FClock;
};

} // namespace zuno
