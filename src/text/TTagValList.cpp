#include "text/TTagValList.h"

namespace zuno {

TTagValList::TTagValList(int32_t globalWait) : FGlobalWait(globalWait) {}

void TTagValList::PushFont(int32_t size, int32_t color, int32_t borderColor, int32_t shadowColor, TWdText name,
                           int32_t borderWidth, int32_t shadowOffset) {
    FSize.push_back(size);
    FColor.push_back(color);
    FBorderColor.push_back(borderColor);
    FShadowColor.push_back(shadowColor);
    FName.push_back(std::move(name));
    FBorderWidth.push_back(borderWidth);
    FShadowOffset.push_back(shadowOffset);
    FStyle.reset();
}

void TTagValList::PopFont() {
    for (auto* v : {&FSize, &FColor, &FBorderColor, &FShadowColor, &FBorderWidth, &FShadowOffset})
        if (!v->empty())
            v->pop_back();
    if (!FName.empty())
        FName.pop_back();
    FStyle.reset();
}

void TTagValList::PushWait(int32_t wait) {
    FWait.push_back(wait);
    FStyle.reset();
}

void TTagValList::PopWait() {
    if (!FWait.empty())
        FWait.pop_back();
    FStyle.reset();
}

void TTagValList::PopAlign() {
    if (!FAlign.empty())
        FAlign.pop_back();
}

void TTagValList::SetStyleFlag(uint8_t flag, bool on) {
    FStyleFlags = on ? (FStyleFlags | flag) : (FStyleFlags & ~flag);
    FStyle.reset();
}

void TTagValList::SetNoBreak(bool on) {
    FNoBreak = on;
    FStyle.reset();
}

void TTagValList::SetRuby(TWdText ruby) {
    FRuby = std::move(ruby);
    FStyle.reset();
}

void TTagValList::SetLink(TWdText link) {
    FLink = std::move(link);
    FStyle.reset();
}

TWdStylePtr TTagValList::Style() {
    if (!FStyle) {
        auto s = std::make_shared<TWdStyle>();
        s->FontSize = FontSize();
        s->Color = Color();
        s->BorderColor = BorderColor();
        s->ShadowColor = ShadowColor();
        s->FontName = FontName();
        s->StyleFlags = FStyleFlags;
        s->NoBreak = FNoBreak;
        s->Ruby = FRuby;
        s->Link = FLink;
        s->Wait = Wait();
        s->BorderWidth = BorderWidth();
        s->ShadowOffset = ShadowOffset();
        FStyle = std::move(s);
    }
    return FStyle;
}

} // namespace zuno
