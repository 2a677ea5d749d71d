// Label pictures: the captions of buttons and list boxes, each rendered once
// into a colour picture and a coverage picture with DrawChar, and drawn per
// frame with one masked copy.
//
// TKsLabelList  the shared font, colours, border, shadow and opacity of a
//               set of labels, the target surface they are drawn on, and
//               the labels themselves (owned).
// TKsLabelDIB   one label: its text, its measured size and character widths,
//               and its two pictures.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/TDIBX.h"

namespace zuno {

class TFontPixelManager;
class TKsLabelList;
class TStream;

constexpr size_t kLabelMetricsSize = 212;
constexpr int32_t kLabelSaveLevelsVersion = 109;    // saves below store the level as a yes/no
constexpr int32_t kLabelSaveShadowVersion = 122;    // shadow offset and colour stored from here on

class TKsLabelDIB {
public:
    explicit            TKsLabelDIB(TKsLabelList& owner) : Owner(owner) {}

    TDIBX               Picture;
    TDIBX               Coverage;
    TKsLabelList&       Owner;
    std::string         Text;
    bool                Dirty = true;
    int32_t             Height = 0;
    int32_t             Width = 0;
    std::vector<int32_t> CharWidths;

    void                SetText(const std::string& text);   // dirty when it changes
    void                Render();
    void                DrawLabel(int32_t x, int32_t y);
};

class TKsLabelList {
public:
    // The glyphs come from the manager (not owned); null: the process-wide one.
    explicit            TKsLabelList(TFontPixelManager* manager = nullptr);
                        ~TKsLabelList();

    int32_t             AntiAliasLevel = 3;
    class TCustomDIBX*  Target = nullptr;                   // not owned
    int32_t             BorderWidth = 0;
    int32_t             Alpha = 255;
    int32_t             FontHeight = 12;
    std::string         FontName;                           // "ＭＳ Ｐゴシック"
    int32_t             TextColor = 0xFFFFFF;
    int32_t             BorderColor = 0;
    uint8_t             StyleFlags = 0;
    std::array<uint8_t, kLabelMetricsSize> Metrics{};       // our own outline metrics record
    int32_t             ShadowOffset = 0;
    int32_t             ShadowColor = 0;

    TKsLabelDIB&        AddLabel();
    void                Clear();
    TKsLabelDIB*        LabelAt(int32_t index);             // null out of range
    int32_t             Count() const { return static_cast<int32_t>(FLabels.size()); }
    int32_t             MaxWidth() const;
    void                Measure();
    void                MarkAllDirty();
    void                SetFontHeight(int32_t h);
    void                SaveToStream(TStream& s) const;
    void                LoadFromStream(TStream& s, int32_t version);

    TFontPixelManager&  Manager() const;

private:
    TFontPixelManager*  FManager;
    std::vector<std::unique_ptr<TKsLabelDIB>> FLabels;
};

// The characters of a Shift-JIS text as codes (a double-byte character with
// its lead byte high); a lead byte at the very end stands alone.
std::vector<uint16_t> sjisCharCodes(const std::string& text);

} // namespace zuno
