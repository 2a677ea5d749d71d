#include "media/TAudioMixer.h"

#include <algorithm>

namespace zuno {

void TAudioMixer::addVoice(TMixVoice* voice) {
    std::lock_guard<std::mutex> g(FLock);
    if (std::find(FVoices.begin(), FVoices.end(), voice) == FVoices.end())
        FVoices.push_back(voice);
}

void TAudioMixer::removeVoice(TMixVoice* voice) {
    std::lock_guard<std::mutex> g(FLock);
    FVoices.erase(std::remove(FVoices.begin(), FVoices.end(), voice), FVoices.end());
}

void TAudioMixer::pull(int16_t* out, int frames) {
    std::fill_n(out, size_t(frames) * 2, int16_t(0));
    std::lock_guard<std::mutex> g(FLock);
    for (TMixVoice* v : FVoices)
        v->mixInto(out, frames);
    FPulled += frames;
}

} // namespace zuno
