// Drawing a laid-out page. Preparation renders every character of the page
// once into the word's page picture and page alpha (glyph, border, shadow,
// underline, strike-out, ruby); each frame then copies the shown items from
// those pictures with their reveal alpha: plain characters as one colour
// through the page alpha (so the hover colour costs no new rendering),
// bordered or shadowed ones as the rendered picture through the alpha.
#include <algorithm>
#include <cmath>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "text/DrawChar.h"
#include "text/TFontPixelManager.h"
#include "text/TKsLabelList.h"
#include "text/TKsWord.h"

namespace zuno {

namespace {

constexpr int32_t kMaxPageSide = 4096;      // the page picture never grows past this

const TWdChar* charAt(const TWdRow& row, size_t i) {
    if (i >= row.Items.size() || !row.Items[i]->IsChar())
        return nullptr;
    return static_cast<const TWdChar*>(row.Items[i]);
}

int32_t resolved(int32_t value, int32_t fallback) { return value != kDefaultColor ? value : fallback; }

} // namespace

uint32_t TKsWord::textColourOf(const TWdReal& item) const {
    if (isHovered(&item))
        return static_cast<uint32_t>(HoverColor);
    if (item.Style->Color != kDefaultColor)
        return static_cast<uint32_t>(item.Style->Color);
    return static_cast<uint32_t>(textOf(item.Style->Link).empty() ? DefaultFontColor : LinkColor);
}

bool TKsWord::isHovered(const TWdGlyph* item) const {
    return std::find(FHovered.begin(), FHovered.end(), item) != FHovered.end();
}

void TKsWord::prepareItem(TFontPixelManager& manager, const TWdPage& page, const TWdRow& row, size_t index) {
    (void)page;
    const TWdChar* c = charAt(row, index);
    if (!c)
        return;
    const TWdChar& item = *c;
    const TWdStyle& style = *item.Style;
    const TWdFont font = fontOf(item);
    const int32_t x = ItemLeft(row, item);
    const int32_t top = ItemTop(row, item);
    item.Drawn = TRect();
    TDrawCharColours colours;
    colours.Text = FPagePicture.ColorToPixel(static_cast<int32_t>(textColourOf(item)));
    colours.Border = FPagePicture.ColorToPixel(resolved(style.BorderColor, FontBorderColor));
    colours.Shadow = FPagePicture.ColorToPixel(resolved(style.ShadowColor, FontShadowColor));
    const std::string faceName(font.Name);
    manager.AntiAliasLevel = std::clamp(AntiAliasLevel, 0, 3);

    int32_t r = 0;
    const std::string& ruby = textOf(style.Ruby);
    TRect drawn;
    if (!ruby.empty()) {
        r = std::max(1, font.Size / 2);
        const TWdChar* prev = index > 0 ? charAt(row, index - 1) : nullptr;
        if (!prev || textOf(prev->Style->Ruby) != ruby) {
            int32_t total = item.Width;
            for (size_t k = index + 1; const TWdChar* next = charAt(row, k); ++k) {
                if (textOf(next->Style->Ruby) != ruby)
                    break;
                total += next->Width;
            }
            const std::vector<uint16_t> codes = sjisCharCodes(ruby);
            const double step = codes.empty() ? 0.0 : double(total) / double(codes.size()) / 2.0;
            const uint8_t rubyStyle = style.StyleFlags & (FS_BOLD | FS_ITALIC);
            for (size_t f = 0; f < codes.size(); ++f) {
                const uint16_t code = codes[f];
                const int32_t cx = static_cast<int32_t>(std::nearbyint(double(2 * f + 1) * step)) + x -
                                   (code > 255 ? r / 2 : r / 4);
                TFontPixel& glyph = manager.GetGlyph(code, faceName, rubyStyle, r);
                DrawChar(manager, glyph, FPagePicture, FPageAlpha, false, colours, TDrawCharRun{}, std::min(1, font.ShadowOffset),
                         std::min(1, font.BorderWidth), TRect::bounds(cx, top, r, r));
            }
        }
        drawn = TRect::bounds(x, top, item.Width, item.Height);
    }

    // Runs of equal border and shadow draw their borders together.
    auto sameRun = [&](const TWdChar* other) {
        if (!other)
            return false;
        const TWdFont f = fontOf(*other);
        const TWdStyle& o = *other->Style;
        return f.BorderWidth == font.BorderWidth && f.ShadowOffset == font.ShadowOffset &&
               resolved(o.BorderColor, FontBorderColor) == resolved(style.BorderColor, FontBorderColor) &&
               resolved(o.ShadowColor, FontShadowColor) == resolved(style.ShadowColor, FontShadowColor);
    };
    TDrawCharRun run;
    run.First = !sameRun(index > 0 ? charAt(row, index - 1) : nullptr);
    run.Last = !sameRun(charAt(row, index + 1));
    TFontPixel& glyph = manager.GetGlyph(item.Code, faceName, style.StyleFlags, font.Size);
    const TRect changed = DrawChar(manager, glyph, FPagePicture, FPageAlpha, false, colours, run, font.ShadowOffset,
                                   font.BorderWidth, TRect::bounds(x, top + r, item.Width, item.Height - r));
    item.Drawn = unionRect(drawn, changed);
}

/*
================
TKsWord::PreparePage
================
*/
void TKsWord::PreparePage(const TWdPage& page, int32_t depth) {
    const int32_t width = std::clamp(LayoutWidth, 0, kMaxPageSide);
    const int32_t height = std::clamp(PageHeight, 0, kMaxPageSide);
    if (FPagePicture.GetWidth() != width || FPagePicture.GetHeight() != height || FPagePicture.GetBitCount() != depth) {
        FPagePicture.SetSize(width, height, depth);
        FPageAlpha.SetSize(width, height, 8);
    }
    FPagePicture.Fill(0);
    FPageAlpha.Fill(0);
    for (const auto& row : page.Rows)
        for (TWdGlyph* item : row->Items)
            item->Drawn = TRect();
    TFontPixelManager* manager = FGlyphs ? FGlyphs : TFontPixelManager::Instance();
    if (!manager || width == 0 || height == 0)
        return;
    try {
        for (const auto& row : page.Rows) {
            if (row->Y >= height)
                break;
            for (size_t i = 0; i < row->Items.size(); ++i)
                prepareItem(*manager, page, *row, i);
        }
    } catch (const EZunoError&) {
        // No font can be opened at all: the page stays blank rather than
        // stopping the box.
    }
}

/*
================
TKsWord::DrawPage
================
*/
void TKsWord::DrawPage(const TWdPage& page, TCustomDIBX& target, int32_t x, int32_t y, const TRect& clip) {
    TRect limit = clip.isEmpty() ? TRect(0, 0, target.GetWidth(), target.GetHeight()) : clip;
    // The visible part of the text: the layout width by the page height.
    limit = intersectRect(limit, TRect::bounds(x, y, FPagePicture.GetWidth(), FPagePicture.GetHeight()));
    if (limit.isEmpty())
        return;
    const int32_t opacityScale = std::clamp(Alpha, 0, 255);
    for (const auto& row : page.Rows) {
        for (TWdGlyph* glyph : row->Items) {
            if (glyph->Alpha > 0 && glyph->Kind() == TWdKind::Image) {
                drawImage(*row, static_cast<const TWdImg&>(*glyph), target, x, y - page.ScrollY, limit);
                continue;
            }
            if (glyph->Alpha <= 0 || glyph->Drawn.isEmpty() || !glyph->IsChar())
                continue;
            const auto& item = static_cast<const TWdChar&>(*glyph);
            TRect src = glyph->Drawn;
            TRect dst = intersectRect(src.offset(x, y - page.ScrollY), limit);
            if (dst.isEmpty())
                continue;
            src = dst.offset(-x, -(y - page.ScrollY));
            const int32_t opacity = std::min(255, glyph->Alpha) * opacityScale / 255;
            if (opacity <= 0)
                continue;
            const TWdFont font = fontOf(item);
            if (font.BorderWidth == 0 && font.ShadowOffset == 0) {
                target.DrawColorMask(dst.Left, dst.Top, opacity, target.ColorToPixel(static_cast<int32_t>(textColourOf(item))),
                                     false, false, src, FPageAlpha);
            } else if (opacity < 255) {
                target.DrawAlphaMask(dst.Left, dst.Top, opacity, FPageAlpha, false, false, src, FPagePicture);
            } else {
                target.DrawMask(dst.Left, dst.Top, FPageAlpha, false, false, src, FPagePicture);
            }
        }
    }
}

// An inline image is copied from its picture at the item's place, with the
// item's reveal alpha and the word's opacity.
void TKsWord::drawImage(const TWdRow& row, const TWdImg& item, TCustomDIBX& target, int32_t x, int32_t y,
                        const TRect& limit) const {
    TCustomDIBX* picture = FMetrics ? FMetrics->Picture(item.Source) : nullptr;
    if (!picture)
        return;
    const int32_t left = x + ItemLeft(row, item), top = y + ItemTop(row, item);
    const int32_t w = std::min(item.Width, picture->GetWidth()), h = std::min(item.Height, picture->GetHeight());
    const TRect dst = intersectRect(TRect::bounds(left, top, w, h), limit);
    if (dst.isEmpty())
        return;
    const TRect src = dst.offset(-left, -top);
    const int32_t opacity = std::min(255, item.Alpha) * std::clamp(Alpha, 0, 255) / 255;
    if (opacity >= 255)
        target.Draw(dst.Left, dst.Top, false, false, false, src, *picture);
    else if (opacity > 0)
        target.DrawAlpha(dst.Left, dst.Top, opacity, false, false, false, src, *picture);
}

bool TKsWord::SetHover(const TWdPage& page, const std::vector<TWdGlyph*>& items) {
    if (items == FHovered)
        return false;
    for (TWdGlyph* item : FHovered)
        FChanged.push_back(item->Drawn.offset(0, -page.ScrollY));
    FHovered = items;
    // Bordered characters hold their colour in the page picture.
    PreparePage(page, FPagePicture.GetBitCount());
    for (TWdGlyph* item : FHovered)
        FChanged.push_back(item->Drawn.offset(0, -page.ScrollY));
    return true;
}

std::vector<TRect> TKsWord::TakeChangedRects() {
    std::vector<TRect> out;
    out.swap(FChanged);
    return out;
}

} // namespace zuno
