#include "text/TKsLabelList.h"

#include <algorithm>
#include <map>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "text/DrawChar.h"
#include "text/TFontPixelManager.h"
#include "text/TWdMetrics.h"

namespace zuno {

// A label picture never grows past these sides, whatever the text, font
// height, border or shadow (characters beyond the width are not drawn).
constexpr int32_t kMaxLabelWidth = 8192;
constexpr int32_t kMaxLabelHeight = 2048;

std::vector<uint16_t> sjisCharCodes(const std::string& text) {
    std::vector<uint16_t> codes;
    codes.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint8_t b = static_cast<uint8_t>(text[i]);
        if (isLeadByte(b) && i + 1 < text.size()) {
            codes.push_back(static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(text[i + 1])));
            ++i;
        } else {
            codes.push_back(b);
        }
    }
    return codes;
}

/*
================
TKsLabelDIB
================
*/
void TKsLabelDIB::SetText(const std::string& text) {
    if (text == Text) return;
    Text = text;
    Dirty = true;
}

void TKsLabelDIB::Render() {
    TKsLabelList& list = Owner;
    int32_t bits = list.Target ? list.Target->GetBitCount() : 32;
    if (Picture.GetWidth() != Width || Picture.GetHeight() != Height || Picture.GetBitCount() != bits) {
        Picture.SetSize(Width, Height, bits);
        Coverage.SetSize(Width, Height, 8);
    }
    if (Width <= 0 || Height <= 0) return;
    Coverage.Fill(0);
    TFontPixelManager& manager = list.Manager();
    manager.AntiAliasLevel = list.AntiAliasLevel;
    TCustomDIBX& conv = list.Target ? *list.Target : static_cast<TCustomDIBX&>(Picture);
    TDrawCharColours colours{conv.ColorToPixel(list.ShadowColor), conv.ColorToPixel(list.BorderColor),
                             conv.ColorToPixel(list.TextColor)};
    int32_t w = std::clamp(list.BorderWidth, 0, kMaxBorderWidth);
    int32_t d = std::clamp(list.ShadowOffset, 0, kMaxBorderWidth);
    std::vector<uint16_t> codes = sjisCharCodes(Text);
    int32_t x = 0;
    for (size_t i = 0; i < codes.size() && i < CharWidths.size() && x < Width; ++i) {
        TFontPixel& glyph = manager.GetGlyph(codes[i], list.FontName, list.StyleFlags, list.FontHeight);
        TDrawCharRun run{i + 1 == codes.size(), i == 0};
        DrawChar(manager, glyph, Picture, Coverage, false, colours, run, d, w,
                 TRect::bounds(x, 0, CharWidths[i], list.FontHeight));
        x += CharWidths[i];
    }
    Dirty = false;
}

void TKsLabelDIB::DrawLabel(int32_t x, int32_t y) {
    TKsLabelList& list = Owner;
    if (!list.Target) return;
    if (Dirty || Picture.GetBitCount() != list.Target->GetBitCount()) Render();
    if (Picture.GetWidth() <= 0 || Picture.GetHeight() <= 0) return;
    TCustomDIBX& target = *list.Target;
    TRect source(0, 0, Width, Height);
    if (list.BorderWidth <= 0 && list.ShadowOffset <= 0)
        target.DrawColorMask(x, y, list.Alpha, target.ColorToPixel(list.TextColor), false, false, source, Coverage);
    else if (list.Alpha < 255)
        target.DrawAlphaMask(x, y, list.Alpha, Coverage, false, false, source, Picture);
    else
        target.DrawMask(x, y, Coverage, false, false, source, Picture);
}

/*
================
TKsLabelList
================
*/
TKsLabelList::TKsLabelList(TFontPixelManager* manager) : FontName(sjis("ＭＳ Ｐゴシック")), FManager(manager) {}

TKsLabelList::~TKsLabelList() = default;

TFontPixelManager& TKsLabelList::Manager() const {
    TFontPixelManager* m = FManager ? FManager : TFontPixelManager::Instance();
    if (!m) throw EZunoError("Error:GetOutlineTextMetrics");
    return *m;
}

TKsLabelDIB& TKsLabelList::AddLabel() {
    FLabels.push_back(std::make_unique<TKsLabelDIB>(*this));
    return *FLabels.back();
}

void TKsLabelList::Clear() {
    FLabels.clear();
}

TKsLabelDIB* TKsLabelList::LabelAt(int32_t index) {
    if (index < 0 || index >= Count()) return nullptr;
    return FLabels[static_cast<size_t>(index)].get();
}

int32_t TKsLabelList::MaxWidth() const {
    int32_t w = 0;
    for (const auto& l : FLabels) w = std::max(w, l->Width);
    return w;
}

void TKsLabelList::MarkAllDirty() {
    for (auto& l : FLabels) l->Dirty = true;
}

void TKsLabelList::SetFontHeight(int32_t h) {
    FontHeight = h;
}

/*
================
TKsLabelList::Measure

Every label's height is the font's text height plus the border on both
sides and the shadow; each character is as wide as its A + B + C widths plus
the same. Widths are kept per character code for this measurement, except
for a label's last character, whose negative C (ink past the advance)
widens it at that place only.
================
*/
void TKsLabelList::Measure() {
    TFontPixelManager& manager = Manager();
    const std::string& name = FontName.empty() ? fallbackFaceName() : FontName;
    std::unique_ptr<TFontFace> font = manager.OpenFont(name, FontHeight, StyleFlags);
    if (!font) throw EZunoError("Error:GetOutlineTextMetrics");
    const TOutlineMetrics& m = font->Metrics();
    Metrics.fill(0);
    const int32_t fields[] = {m.Ascent, m.Descent, m.Overhang, m.UnderscoreSize, m.UnderscorePosition,
                              m.StrikeOutSize, m.StrikeOutPosition};
    for (size_t i = 0; i < std::size(fields); ++i) putLE32(Metrics.data() + 4 * i, static_cast<uint32_t>(fields[i]));

    const int64_t grow = 2 * int64_t(std::clamp(BorderWidth, 0, kMaxBorderWidth)) +
                         std::clamp(ShadowOffset, 0, kMaxBorderWidth);
    const int32_t height = static_cast<int32_t>(std::clamp<int64_t>(m.TextHeight() + grow, 0, kMaxLabelHeight));
    std::map<uint16_t, int32_t> widths;
    for (auto& label : FLabels) {
        label->Height = height;
        std::vector<uint16_t> codes = sjisCharCodes(label->Text);
        label->CharWidths.assign(codes.size(), 0);
        int64_t total = 0;
        for (size_t i = 0; i < codes.size(); ++i) {
            bool last = i + 1 == codes.size();
            auto it = widths.find(codes[i]);
            int32_t w;
            if (it != widths.end() && !last) {
                w = it->second;
            } else {
                TAbcWidths abc = font->CharAbc(codes[i]);
                int64_t c = last ? std::max(0, abc.C) : abc.C;
                w = static_cast<int32_t>(std::clamp<int64_t>(int64_t(abc.A) + abc.B + c + m.Overhang + grow, 0,
                                                             kMaxLabelWidth));
                if (it == widths.end() && !last) widths.emplace(codes[i], w);
                else if (it == widths.end()) {
                    // The plain width of the code for later labels.
                    widths.emplace(codes[i], static_cast<int32_t>(std::clamp<int64_t>(
                                                 int64_t(abc.A) + abc.B + abc.C + m.Overhang + grow, 0, kMaxLabelWidth)));
                }
            }
            label->CharWidths[i] = w;
            total += w;
        }
        label->Width = static_cast<int32_t>(std::min<int64_t>(total, kMaxLabelWidth));
    }
}

/*
================
TKsLabelList::SaveToStream / LoadFromStream
================
*/
void TKsLabelList::SaveToStream(TStream& s) const {
    WriteInt(s, AntiAliasLevel);
    WriteInt(s, BorderWidth);
    WriteInt(s, Alpha);
    WriteInt(s, FontHeight);
    WriteString(s, FontName);
    WriteInt(s, TextColor);
    WriteInt(s, BorderColor);
    WriteByte(s, StyleFlags);
    if (s.Write(Metrics.data(), kLabelMetricsSize) != int64_t(kLabelMetricsSize))
        throw EZunoError::fromUtf8("データが壊れています (label metrics)");
    WriteInt(s, ShadowOffset);
    WriteInt(s, ShadowColor);
}

void TKsLabelList::LoadFromStream(TStream& s, int32_t version) {
    int32_t level = ReadInt(s);
    if (version < kLabelSaveLevelsVersion) level = level > 1 ? 3 : 0;
    AntiAliasLevel = level;
    BorderWidth = ReadInt(s);
    Alpha = ReadInt(s);
    FontHeight = ReadInt(s);
    FontName = ReadString(s);
    TextColor = ReadInt(s);
    BorderColor = ReadInt(s);
    StyleFlags = ReadByte(s);
    if (s.Read(Metrics.data(), kLabelMetricsSize) != int64_t(kLabelMetricsSize))
        throw EZunoError::fromUtf8("データが壊れています (label metrics)");
    if (version >= kLabelSaveShadowVersion) {
        ShadowOffset = ReadInt(s);
        ShadowColor = ReadInt(s);
    }
    MarkAllDirty();
}

} // namespace zuno
