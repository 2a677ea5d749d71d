#include <algorithm>

#include "media/TDMediaItem.h"

namespace zuno {

TDMediaItem* TDMediaManager::append(std::unique_ptr<TDMediaItem> item) {
    FItems.push_back(std::move(item));
    return FItems.back().get();
}

void TDMediaManager::Delete(TDMediaItem* item) {
    auto it = std::find_if(FItems.begin(), FItems.end(), [&](const auto& p) { return p.get() == item; });
    if (it == FItems.end())
        return;
    beforeDelete(item);
    FItems.erase(it);
}

void TDMediaManager::Suspend() {
    if (FSuspended || !FSoundOn)
        return;
    for (auto& item : FItems) {
        if (item->IsPlaying() && !item->IsPaused() && !item->IsEnd()) {
            item->Pause();
            item->SuspendMark = true;
        } else {
            item->SuspendMark = false;
        }
    }
    FSuspended = true;
}

void TDMediaManager::Resume() {
    if (!FSuspended || !FSoundOn)
        return;
    for (auto& item : FItems) {
        if (item->SuspendMark)
            item->Play();
        item->SuspendMark = false;
    }
    FSuspended = false;
}

void TDMediaManager::SetSoundOn(bool on) {
    if (!FHasSoundSwitch || on == FSoundOn)
        return;
    if (!on) {
        Suspend();
        FSoundOn = false;
    } else {
        FSoundOn = true;
        Resume();
    }
}

} // namespace zuno
