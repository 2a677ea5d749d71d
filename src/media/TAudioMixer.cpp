#include "media/TAudioMixer.h"

#include <algorithm>

namespace zuno {

void TAudioMixer::addVoice(TMixVoice* voice) {
    std::lock_guard<std::mutex> g(FListLock);
    if (std::find(FVoices.begin(), FVoices.end(), voice) == FVoices.end())
        FVoices.push_back(voice);
}

void TAudioMixer::removeVoice(TMixVoice* voice) {
    {
        std::lock_guard<std::mutex> g(FListLock);
        FVoices.erase(std::remove(FVoices.begin(), FVoices.end(), voice), FVoices.end());
    }
    std::lock_guard<std::mutex> wait(FPullLock);            // a pull in progress may still hold it
}

void TAudioMixer::pull(int16_t* out, int frames) {
    std::fill_n(out, size_t(frames) * 2, int16_t(0));
    std::lock_guard<std::mutex> pulling(FPullLock);
    {
        std::lock_guard<std::mutex> g(FListLock);
        FPulling = FVoices;
    }
    for (TMixVoice* v : FPulling)
        v->mixInto(out, frames);
    FPulled += frames;
}

} // namespace zuno
