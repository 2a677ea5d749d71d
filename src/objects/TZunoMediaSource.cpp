#include "objects/TZunoMediaSource.h"

#include "archive/TVrFileManager.h"
#include "media/TMediaSystem.h"

namespace zuno {

TZunoMediaSystemSource::TZunoMediaSystemSource(TMediaSystem& media, TVrFileManager& files, TMediaClock clock)
    : FMedia(media), FFiles(files), FClock(std::move(clock)) {}

TDMediaItem* TZunoMediaSystemSource::AddSound(const std::string& name) { return FMedia.AddSound(name); }

TVideoItem* TZunoMediaSystemSource::AddVideo(const std::string& name, bool frameCapture) {
    return FMedia.AddVideo(name, frameCapture);
}

void TZunoMediaSystemSource::Release(TDMediaItem* item) {
    if (item)
        FMedia.Release(item);
}

bool TZunoMediaSystemSource::HasFile(const std::string& name) { return !name.empty() && FFiles.Exists(name); }

int32_t mediaVolumeOf(int32_t volume, bool midi) {
    if (midi)
        return int32_t(int64_t(volume) * 10 - 10000);
    if (volume <= 0)
        return -10000;
    if (volume > 1000)
        return 0;
    return volume * 5 - 5000;
}

bool isCdTrackName(const std::string& name) { return name.compare(0, 3, "CD_") == 0; }

} // namespace zuno
