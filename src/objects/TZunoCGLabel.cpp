#include "objects/TZunoCGLabel.h"

#include <algorithm>
#include <climits>

#include "core/Cp932.h"
#include "core/StreamFields.h"
#include "expr/JString.h"
#include "imaging/TCustomDIBX.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoLabel.h"

namespace zuno {

namespace {

int32_t clampInt(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// The characters of a line, a lead byte and its second byte together.
std::vector<std::string> charsOf(const std::string& line) {
    std::vector<std::string> chars;
    for (size_t i = 0; i < line.size(); ++i) {
        const size_t n = isLeadByte(uint8_t(line[i])) && i + 1 < line.size() ? 2 : 1;
        chars.push_back(line.substr(i, n));
        i += n - 1;
    }
    return chars;
}

} // namespace

//==============================================================================
// Properties
//==============================================================================

void TZunoCGLabel::SetSource(const std::string& text) {
    if (text == FSource)
        return;
    Invalidate();
    FSource = text;
    FHasFrame = false;
    if (!text.empty()) {
        FFrames.Load(text);
        if (FFrames.Count() > 0) {
            FFrames.SetFrame(0);
            FHasFrame = true;
        }
    }
    Invalidate();
}

void TZunoCGLabel::SetText(const std::string& text) {
    if (text == FText)
        return;
    FText = text;
    remap();
    resize();
}

void TZunoCGLabel::SetMapText(const std::string& text) {
    if (text == FMapText)
        return;
    FMapText = text;
    remap();
    Invalidate();
}

void TZunoCGLabel::SetGlyphWidth(int32_t v) {
    v = std::max(1, v);
    if (v == FGlyphWidth)
        return;
    FGlyphWidth = v;
    resize();
}

void TZunoCGLabel::SetGlyphHeight(int32_t v) {
    v = std::max(1, v);
    if (v == FGlyphHeight)
        return;
    FGlyphHeight = v;
    resize();
}

void TZunoCGLabel::SetLineSpace(int32_t v) {
    if (v == FLineSpace)
        return;
    FLineSpace = v;
    resize();
}

void TZunoCGLabel::SetHAlign(uint8_t v) {
    if (v == FHAlign)
        return;
    FHAlign = v;
    Invalidate();
}

void TZunoCGLabel::SetAlpha(int32_t v) {
    if (v == FAlpha)
        return;
    FAlpha = v;
    Invalidate();
}

TPropValue TZunoCGLabel::GetProp(int id) {
    switch (id) {
    case PR_SOURCE:      return TPropValue::ofStr(FSource);
    case PR_TEXT:        return TPropValue::ofStr(FText);
    case PR_MAPTEXT:     return TPropValue::ofStr(FMapText);
    case PR_GLYPHWIDTH:  return TPropValue::ofInt(FGlyphWidth);
    case PR_GLYPHHEIGHT: return TPropValue::ofInt(FGlyphHeight);
    case PR_LINESPACE:   return TPropValue::ofInt(FLineSpace);
    case PR_PAUSED:      return TPropValue::ofBool(FPaused);
    case PR_HALIGN:      return TPropValue::ofInt(FHAlign);
    case PR_ALPHA:       return TPropValue::ofInt(FAlpha);
    case PR_ONIDLE:      return TPropValue::ofStr(FOnIdle);
    case PR_PLAYING:     return TPropValue::ofBool(!FPaused && !AniPaused());
    default:             return TZunoControl::GetProp(id);
    }
}

void TZunoCGLabel::SetProp(int id, const TPropValue& v) {
    switch (id) {
    case PR_SOURCE:      SetSource(v.Str); return;
    case PR_TEXT:        SetText(v.Str); return;
    case PR_MAPTEXT:     SetMapText(v.Str); return;
    case PR_GLYPHWIDTH:  SetGlyphWidth(v.Int); return;
    case PR_GLYPHHEIGHT: SetGlyphHeight(v.Int); return;
    case PR_LINESPACE:   SetLineSpace(v.Int); return;
    case PR_PAUSED:      FPaused = v.Bool; return;
    case PR_HALIGN:      SetHAlign(uint8_t(v.Int)); return;
    case PR_ALPHA:       SetAlpha(v.Int); return;
    case PR_ONIDLE:      FOnIdle = v.Str; return;
    case PR_PLAYING:     return;
    default:             TZunoControl::SetProp(id, v); return;
    }
}

//==============================================================================
// Layout
//==============================================================================

void TZunoCGLabel::remap() {
    FLines.clear();
    for (const std::string& line : splitTextLines(FText, false)) {
        FLines.emplace_back();
        for (const std::string& c : charsOf(line))
            FLines.back().push_back(JPos(c, FMapText) - 1);
    }
}

void TZunoCGLabel::resize() {
    size_t longest = 0;
    for (const auto& line : FLines)
        longest = std::max(longest, line.size());
    const int64_t n = int64_t(FLines.size());
    int64_t h = int64_t(FGlyphHeight) * n;
    if (n > 1)
        h += int64_t(FLineSpace) * (n - 1);
    Invalidate();
    FWidth = clampInt(int64_t(longest) * FGlyphWidth);
    FHeight = clampInt(h);
    Invalidate();
}

//==============================================================================
// Life and drawing
//==============================================================================

int TZunoCGLabel::Update() {
    const int answer = TZunoControl::Update();
    if (answer == 0 && !AniPaused() && FFrames.Advance(FOwner ? FOwner->FrameElapsed() : 0))
        Invalidate();
    return answer;
}

void TZunoCGLabel::drawCell(TCustomDIBX& s, int32_t x, int32_t y, const TRect& cell) {
    if (FAlpha <= 0 || FAlpha >= 512)
        return;
    TZunoImageData& data = FFrames.Data(FFrames.FrameIndex());
    TCustomDIBX* picture = data.GetPicture();
    TCustomDIBX* mask = data.GetMask();
    const bool keyed = picture->TransparentColor != -1;
    if (mask) {
        if (FAlpha < 255)
            s.DrawAlphaMask(x, y, FAlpha, *mask, false, false, cell, *picture);
        else if (FAlpha == 255)
            s.DrawMask(x, y, *mask, false, false, cell, *picture);
        else
            s.DrawAddMask(x, y, FAlpha - 256, *mask, false, false, cell, *picture);
    } else {
        if (FAlpha < 255)
            s.DrawAlpha(x, y, FAlpha, false, false, keyed, cell, *picture);
        else if (FAlpha == 255)
            s.Draw(x, y, false, false, keyed, cell, *picture);
        else
            s.DrawAdd(x, y, FAlpha - 256, false, false, cell, *picture);
    }
}

void TZunoCGLabel::Draw() {
    if (FWidth == 0 || FHeight == 0 || !FHasFrame || !FFrames.IsValidIndex(FFrames.FrameIndex()))
        return;
    TCustomDIBX* s = GetSurface();
    if (!s)
        return;
    TCustomDIBX* picture = FFrames.Data(FFrames.FrameIndex()).GetPicture();
    if (FAlpha > 0 && (!picture || picture->GetWidth() < FGlyphWidth))
        return;
    if (FAlpha > 0) {
        const int64_t columns = picture->GetWidth() / FGlyphWidth;
        const int64_t cells = int64_t(picture->GetHeight() / FGlyphHeight) * columns;
        const TRect drawable = s->GetDrawableRect();
        int64_t y = ScreenTop();
        const int64_t left = ScreenLeft();
        for (const auto& line : FLines) {
            const int64_t used = int64_t(line.size()) * FGlyphWidth;
            int64_t x = FHAlign == HA_CENTER ? left + (FWidth - used) / 2
                      : FHAlign == HA_RIGHT  ? left + FWidth - used
                                             : left;
            // Lines wholly outside the drawable area cost nothing.
            if (y < drawable.Bottom && y + FGlyphHeight > drawable.Top) {
                for (int32_t c : line) {
                    if (c >= 0 && c < cells && x < drawable.Right && x + FGlyphWidth > drawable.Left) {
                        const TRect cell = TRect::bounds(int32_t(c % columns * FGlyphWidth),
                                                         int32_t(c / columns * FGlyphHeight), FGlyphWidth,
                                                         FGlyphHeight);
                        drawCell(*s, clampInt(x), clampInt(y), cell);
                    }
                    x += FGlyphWidth;
                }
            }
            y += int64_t(FGlyphHeight) + FLineSpace;
        }
    }
    TZunoControl::Draw();
}

//==============================================================================
// Save record
//==============================================================================

void TZunoCGLabel::SaveToStream(TStream& s) {
    TZunoControl::SaveToStream(s);
    WriteString(s, FSource);
    WriteString(s, FText);
    WriteString(s, FMapText);
    WriteInt(s, FGlyphWidth);
    WriteInt(s, FGlyphHeight);
    WriteInt(s, FLineSpace);
    WriteBool(s, FPaused);
    WriteByte(s, FHAlign);
    WriteInt(s, FAlpha);
    WriteString(s, FOnIdle);
}

void TZunoCGLabel::LoadFromStream(TStream& s, int32_t version) {
    TZunoControl::LoadFromStream(s, version);
    SetSource(ReadString(s));
    FText = ReadString(s);
    FMapText = ReadString(s);
    FGlyphWidth = std::max(1, ReadInt(s));
    FGlyphHeight = std::max(1, ReadInt(s));
    FLineSpace = ReadInt(s);
    FPaused = ReadBool(s);
    FHAlign = ReadByte(s);
    FAlpha = ReadInt(s);
    if (version > 124)
        FOnIdle = ReadString(s);
    remap();
    resize();
}

} // namespace zuno
