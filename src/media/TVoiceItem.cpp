#include "media/TVoiceItem.h"

#include <algorithm>

#include "media/TAudioMixer.h"

namespace zuno {

TVoiceItem::TVoiceItem(TDMediaManager& owner, TAudioMixer& mixer, std::unique_ptr<TPcmDecoder> decoder, TRules rules)
    : FOwner(owner), FMixer(mixer), FVoice(std::move(decoder)), FRules(rules) {
    FMixer.addVoice(&FVoice);
}

TVoiceItem::~TVoiceItem() { FMixer.removeVoice(&FVoice); }

int32_t TVoiceItem::GetRepeatPos() { return FRules.HasRepeatPos ? FVoice.repeatPosMs() : 0; }

void TVoiceItem::SetRepeatPos(int32_t ms) {
    if (FRules.HasRepeatPos)
        FVoice.setRepeatPosMs(std::max(0, ms));
}

void TVoiceItem::SetPosition(int32_t ms) {
    FVoice.setPositionMs(std::max(0, ms));
    if (FRules.SeekRearmsEnd)
        FEndReported = false;
}

bool TVoiceItem::IsEnd() {
    if (FEndReported || !FVoice.reachedEnd())
        return false;
    FEndReported = true;
    return true;
}

void TVoiceItem::Play() {
    if (FOwner.SoundOn())
        FVoice.play();
}

} // namespace zuno
