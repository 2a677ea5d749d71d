// The text engine of message boxes, menus and captions: marked-up text into a
// flat item list (SetText), variable insertions filled in (RefreshVars), the
// items laid out into rows and pages inside a rectangle (Layout), and a page
// revealed item by item against the frame clock with a per-item wait and a
// fade (Reveal), keeping the caret after the last shown item.
//
// Caps, so that no text can make the engine allocate without bound or
// overflow a coordinate: at most kMaxItems items per word (text beyond that,
// and inserted variable characters beyond it, are dropped); font sizes above
// kMaxFontSize, border widths and shadow offsets above kMaxBorderWidth and
// image sides above kMaxInlineImageSide are measured at the cap; texts shared by
// many items (font names, ruby, link targets) are stored once per tag.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/TDIBX.h"
#include "imaging/TRect.h"
#include "text/TDecorateList.h"
#include "text/TWdGlyph.h"
#include "text/TWdMetrics.h"

namespace zuno {

class TSysFuncMan;
class TFontPixelManager;

constexpr int32_t kMaxItems = 1 << 18;
constexpr int32_t kMaxInlineImageSide = 4096;

class TKsWord {
public:
                        TKsWord();
                        ~TKsWord();
                        TKsWord(const TKsWord&) = delete;
    TKsWord&            operator=(const TKsWord&) = delete;

    // --- layout parameters, set by the owner ---
    std::string         DefaultFontName;                // "ＭＳ ゴシック"
    int32_t             DefaultFontSize = 12;
    int32_t             DefaultFontColor = 0;
    int32_t             LayoutWidth = 0;                // 0: unlimited, then the widest row after layout
    int32_t             PageHeight = 0;
    int32_t             LineSpace = 0;
    bool                Paging = true;
    int32_t             OriginX = 0;                    // where the text starts inside the owner
    int32_t             OriginY = 0;
    int32_t             LinkColor = 0xFF0000;
    int32_t             HoverColor = 0x008000;
    int32_t             FontBorderColor = 0x808080;
    int32_t             FontShadowColor = 0;
    int32_t             FontBorderWidth = 0;
    int32_t             FontShadowOffset = 0;
    int32_t             Alpha = 255;
    int32_t             AntiAliasLevel = 3;
    int32_t             TextDelayRate = 256;            // 256 = every wait as written
    int32_t             FadeTime = 0;                   // milliseconds for a shown item to fade in
    bool                CollectEvents = false;          // event marks are collected for the owner
    bool                Paused = false;                 // the owner's pause: no new items appear

    // Metrics used by Layout (not owned); null: the plain character cell.
    void                SetMetrics(const TWdMetrics* metrics) { FMetrics = metrics; }
    // The variable table behind VAR insertions and the global text wait (not
    // owned); null: insertions give nothing and the global wait is 50.
    void                SetFunctions(TSysFuncMan* funcs) { FFuncs = funcs; }

    // --- items ---
    // Rebuilds the items from marked-up lines (joined with CR). Items,
    // decorations and the variable snapshot are discarded first. EZunoError
    // "<A>タグにHREF値がありません" for a link without a target.
    void                SetText(const std::vector<std::string>& lines);
    void                SetText(std::string_view text);   // split at CR, LF or CR LF first

    // Appends items first..last (last < 0: to the end) of a marked-up text
    // as SetText would make them; answers the index of the first appended
    // item. The variable snapshot stays.
    int32_t             AppendText(std::string_view text, int32_t first, int32_t last);
    void                ClearItems();                   // no items, no decorations
    // The source position of an item: the number of stored items before it
    // (inserted characters and indent blanks do not count); -1 when not an item.
    int32_t             SourcePosition(const TWdGlyph* item) const;
    static bool         IsStored(const TWdGlyph& item) { return !item.IsInserted() && item.Kind() != TWdKind::Space; }

    int32_t             ItemCount() const { return static_cast<int32_t>(FItems.size()); }
    TWdGlyph*           Item(int32_t index) const { return FItems[static_cast<size_t>(index)].get(); }
    int32_t             IndexOf(const TWdGlyph* item) const;          // -1 when not an item of this word
    const TDecorateList& Decorations() const { return FDecorations; }

    // --- variable insertions ---
    // Re-evaluates every insertion point in the range and replaces the
    // characters it inserted. Pages laid out before hold stale items after
    // this: lay out again.
    void                RefreshVars(int32_t first = 0, int32_t last = -1);
    // Writes every insertion's shown value into the snapshot ("name=value",
    // line breaks as 0x01), so that RefreshVars reproduces the shown text.
    void                CaptureVars();
    std::vector<std::string> VarSnapshot;

    // --- layout ---
    // Lays out items first..last (a negative or too large last: to the end)
    // into pages appended to `pages`. The pages' rows point at this word's
    // items. Every laid-out item starts hidden (alpha 0).
    void                Layout(int32_t first, int32_t last, std::vector<std::unique_ptr<TWdPage>>& pages);

    // --- reveal ---
    struct TRevealResult {
        std::string     NewText;                        // characters shown by this step ("*" per image)
        bool            Complete = false;               // every item shown and none still fading
        bool            EventsPending = false;          // collected event marks wait in the page's EventText
    };
    // One frame of the reveal of `page`, `elapsed` milliseconds after the last.
    TRevealResult       Reveal(TWdPage& page, int32_t elapsed);
    void                ResetReveal(TWdPage& page);     // hidden again, from the first item
    void                ShowAll(TWdPage& page);         // every item shown at once
    std::string         TakeEventText(TWdPage& page);   // the collected marks; the reveal goes on
    // The fully shown item under a point (text coordinates: the page's rows
    // with its scroll applied), or null.
    TWdGlyph*           ItemAt(const TWdPage& page, int32_t x, int32_t y) const;
    // Where the item is drawn: the text origin plus its row and place in it,
    // less the page's scroll.
    static int32_t      ItemLeft(const TWdRow& row, const TWdGlyph& item) { return row.X + item.X; }
    static int32_t      ItemTop(const TWdRow& row, const TWdGlyph& item) { return row.Y + item.Y; }

    // --- drawing ---
    // Renders every item of `page` into the page picture (at `depth` bits)
    // and the page alpha, both the layout width by the page height; what
    // shows is decided by each item's alpha when the page is drawn. Without
    // a glyph cache (SetGlyphCache, else the process-wide one) only the
    // pictures are made.
    void                PreparePage(const TWdPage& page, int32_t depth = 32);
    // Draws the shown items of the prepared page onto `target`, the text's
    // top-left at (x, y), cut to `clip` (empty: the whole target).
    void                DrawPage(const TWdPage& page, TCustomDIBX& target, int32_t x, int32_t y, const TRect& clip);
    // The hovered link: these items draw in the hover colour. The page is
    // prepared again when the set changes; answers whether it did.
    bool                SetHover(const TWdPage& page, const std::vector<TWdGlyph*>& items);
    const std::vector<TWdGlyph*>& Hovered() const { return FHovered; }
    // Rectangles (text coordinates) whose look changed since the last call:
    // items that appeared or faded, and a changed hover.
    std::vector<TRect>  TakeChangedRects();
    void                SetGlyphCache(TFontPixelManager* manager) { FGlyphs = manager; }
    TDIBX&              PagePicture() { return FPagePicture; }
    TDIBX&              PageAlpha() { return FPageAlpha; }

    // Caret after the last shown item, in the owner's coordinates.
    int32_t             CaretX = 0;
    int32_t             CaretY = 0;
    int32_t             CaretHeight = 0;

private:
    void                addItem(std::unique_ptr<TWdGlyph> item);
    void                interpretTag(const std::string& token, class TTagValList& tags);
    bool                evaluateVar(const TWdOpeVar& var, std::string& value) const;
    void                measure(TWdGlyph& item) const;
    TWdFont             fontOf(const TWdReal& item) const;
    size_t              runEnd(size_t first, size_t last) const;
    void                placeCaret(const TWdPage& page, const TWdRow& row, const TWdGlyph& item, bool after);

    void                prepareItem(TFontPixelManager& manager, const TWdPage& page, const TWdRow& row, size_t index);
    uint32_t            textColourOf(const TWdReal& item) const;
    void                drawImage(const TWdRow& row, const TWdImg& item, TCustomDIBX& target, int32_t x, int32_t y,
                                  const TRect& limit) const;
    bool                isHovered(const TWdGlyph* item) const;

    std::vector<std::unique_ptr<TWdGlyph>> FItems;
    TDIBX               FPagePicture{0, 0, 32};
    TDIBX               FPageAlpha{0, 0, 8};
    std::vector<TWdGlyph*> FHovered;
    std::vector<TRect>  FChanged;
    TFontPixelManager*  FGlyphs = nullptr;
    TDecorateList       FDecorations;
    const TWdMetrics*   FMetrics = nullptr;
    TSysFuncMan*        FFuncs = nullptr;
};

} // namespace zuno
