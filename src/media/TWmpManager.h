// Windows Media audio (.wma, .asf, .wmv): the whole file is read into memory
// and decoded by FFmpeg; the items play on the device path like Ogg items,
// except that a new position clears the reported end.
#pragma once

#include <string>

#include "media/TDMediaItem.h"

namespace zuno {

class TAudioMixer;
class TVrFileManager;

class TWmpManager : public TDMediaManager {
public:
                        TWmpManager(TVrFileManager& files, TAudioMixer& mixer) : FFiles(files), FMixer(mixer) {}
                        ~TWmpManager() override { FItems.clear(); }

    TDMediaItem*        Add(const std::string& name);    // nullptr when missing; bad data fails
    void                Restore() {}

private:
    TVrFileManager&     FFiles;
    TAudioMixer&        FMixer;
};

} // namespace zuno
