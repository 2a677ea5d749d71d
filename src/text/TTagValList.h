// The tag state while markup is read: a stack per style value that FONT,
// WAIT and DIV push and their closing tags pop, and the flags the simple tags
// set. The current value of a stack is its top, or the stack's empty value.
// The current style is built once per change and shared by the items made
// under it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "text/TWdGlyph.h"

namespace zuno {

class TTagValList {
public:
    explicit            TTagValList(int32_t globalWait);

    // --- FONT / /FONT: the seven font stacks together ---
    void                PushFont(int32_t size, int32_t color, int32_t borderColor, int32_t shadowColor,
                                 TWdText name, int32_t borderWidth, int32_t shadowOffset);
    void                PopFont();
    int32_t             FontSize() const { return top(FSize, 0); }
    int32_t             Color() const { return top(FColor, kDefaultColor); }
    int32_t             BorderColor() const { return top(FBorderColor, kDefaultColor); }
    int32_t             ShadowColor() const { return top(FShadowColor, kDefaultColor); }
    TWdText             FontName() const { return FName.empty() ? nullptr : FName.back(); }
    int32_t             BorderWidth() const { return top(FBorderWidth, kDefaultWidth); }
    int32_t             ShadowOffset() const { return top(FShadowOffset, kDefaultWidth); }

    // --- WAIT / /WAIT ---
    void                PushWait(int32_t wait);
    void                PopWait();
    int32_t             Wait() const { return top(FWait, FGlobalWait); }

    // --- DIV / /DIV ---
    void                PushAlign(TWdAlign align) { FAlign.push_back(align); }
    void                PopAlign();
    TWdAlign            Align() const { return FAlign.empty() ? WA_LEFT : FAlign.back(); }

    // --- flags and texts ---
    void                SetStyleFlag(uint8_t flag, bool on);
    void                SetNoBreak(bool on);
    void                SetRuby(TWdText ruby);
    void                SetLink(TWdText link);
    bool                NoBreak() const { return FNoBreak; }
    TWdText             Ruby() const { return FRuby; }
    TWdText             Link() const { return FLink; }

    // The style of an item made now.
    TWdStylePtr         Style();

private:
    static int32_t      top(const std::vector<int32_t>& v, int32_t empty) { return v.empty() ? empty : v.back(); }

    std::vector<int32_t> FSize, FColor, FBorderColor, FShadowColor, FBorderWidth, FShadowOffset, FWait;
    std::vector<TWdText> FName;
    std::vector<TWdAlign> FAlign;
    int32_t             FGlobalWait;
    uint8_t             FStyleFlags = 0;
    bool                FNoBreak = false;
    TWdText             FRuby;
    TWdText             FLink;
    TWdStylePtr         FStyle;             // built on demand; reset by every change
};

} // namespace zuno
