// Layout of a word's items into rows and pages: the items are taken in
// breakable runs (a run never breaks inside an English word, between two
// no-break items, inside a ruby run, before a closing mark or after an
// opening bracket), runs fill rows up to the layout width, rows fill pages up
// to the page height.
#include <algorithm>
#include <limits>

#include "text/TKsWord.h"

namespace zuno {

namespace {

// Characters that may not begin a row: 。、｣」』)）､｡!?！？】
constexpr uint16_t kNoBegin[] = {0x8142, 0x8141, 0xA3, 0x8176, 0x8178, 0x29, 0x816A,
                                 0xA4,   0xA1,   0x21, 0x3F,   0x8149, 0x8148, 0x817A};
// Characters that may not end a row: ｢「『（([<【
constexpr uint16_t kNoEnd[] = {0xA2, 0x8175, 0x8177, 0x8169, 0x28, 0x5B, 0x3C, 0x8179};

template <size_t N>
bool charIn(const TWdGlyph& item, const uint16_t (&set)[N]) {
    if (!item.IsChar())
        return false;
    uint16_t code = static_cast<const TWdChar&>(item).Code;
    return std::find(std::begin(set), std::end(set), code) != std::end(set);
}

bool isSpace(const TWdGlyph& item) {
    return item.IsChar() && static_cast<const TWdChar&>(item).Code == ' ';
}

// A single-byte character above 32 (the letters of an English word).
bool isWordByte(const TWdGlyph& item) {
    if (!item.IsChar())
        return false;
    uint16_t code = static_cast<const TWdChar&>(item).Code;
    return code > 32 && code < 256;
}

bool breakAllowed(const TWdGlyph& p, const TWdGlyph& f) {
    const TWdStyle* ps = styleOf(p);
    const TWdStyle* fs = styleOf(f);
    if (ps && fs && ps->NoBreak && fs->NoBreak)
        return false;
    if (ps && fs && !textOf(ps->Ruby).empty() && textOf(ps->Ruby) == textOf(fs->Ruby))
        return false;
    if (isWordByte(p) && isWordByte(f))
        return false;
    return (isSpace(p) || !isSpace(f)) && !charIn(f, kNoBegin);
}

int32_t clampInt(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min() / 2,
                                                    std::numeric_limits<int32_t>::max() / 2));
}

bool isFramedImage(const TWdGlyph& item) {
    if (item.Kind() != TWdKind::Image)
        return false;
    TWdAlign a = static_cast<const TWdImg&>(item).Align;
    return a == WA_CENTER || a == WA_TOP || a == WA_BOTTOM;
}

// Heights and item tops of a row: text items stand on one base line, images
// reach above or below it by their alignment.
void placeRowVertically(TWdRow& row) {
    int32_t c = 0;
    for (const TWdGlyph* item : row.Items)
        if (!isFramedImage(*item))
            c = std::max(c, item->Height);
    int32_t above = 0, below = 0;
    for (const TWdGlyph* item : row.Items) {
        if (!isFramedImage(*item))
            continue;
        int32_t g = item->Height;
        switch (static_cast<const TWdImg*>(item)->Align) {
        case WA_CENTER:
            above = std::max(above, (g - c + 1) / 2);
            below = std::max(below, (g - c + 1) / 2);
            break;
        case WA_BOTTOM: above = std::max(above, g - c); break;
        case WA_TOP:    below = std::max(below, g - c); break;
        default:        break;
        }
    }
    row.Height = c + above + below;
    for (TWdGlyph* item : row.Items) {
        TWdAlign a = isFramedImage(*item) ? static_cast<const TWdImg*>(item)->Align : WA_NONE;
        if (item->Height == 0 || a == WA_TOP)
            item->Y = above;
        else if (a == WA_CENTER)
            item->Y = above + (c - item->Height) / 2;
        else
            item->Y = above + c - item->Height;
    }
}

} // namespace

/*
================
TKsWord::measure
================
*/
TWdFont TKsWord::fontOf(const TWdReal& item) const {
    const TWdStyle& s = *item.Style;
    TWdFont f;
    f.Name = textOf(s.FontName).empty() ? std::string_view(DefaultFontName) : std::string_view(*s.FontName);
    f.Size = std::clamp(s.FontSize != 0 ? s.FontSize : DefaultFontSize, 0, kMaxFontSize);
    f.StyleFlags = s.StyleFlags;
    f.HasRuby = !textOf(s.Ruby).empty();
    f.BorderWidth = std::clamp(s.BorderWidth != kDefaultWidth ? s.BorderWidth : FontBorderWidth, 0, kMaxBorderWidth);
    f.ShadowOffset = std::clamp(s.ShadowOffset != kDefaultWidth ? s.ShadowOffset : FontShadowOffset, 0, kMaxBorderWidth);
    return f;
}

void TKsWord::measure(TWdGlyph& item) const {
    static const TWdCellMetrics cellMetrics;
    const TWdMetrics& m = FMetrics ? *FMetrics : cellMetrics;
    TWdSize size;
    if (item.IsChar()) {
        const auto& c = static_cast<const TWdChar&>(item);
        size = m.CharCell(c.Code, fontOf(c));
    } else if (item.Kind() == TWdKind::Image) {
        size = m.ImageSize(static_cast<const TWdImg&>(item).Source);
    } else {
        return;     // operation marks take no room; indent blanks have their width
    }
    // Whatever the metrics answer, an item stays inside the caps.
    item.Width = std::clamp(size.Width, 0, kMaxInlineImageSide);
    item.Height = std::clamp(size.Height, 0, kMaxInlineImageSide);
}

/*
================
TKsWord::runEnd

The end (exclusive) of the breakable run starting at `first`.
================
*/
size_t TKsWord::runEnd(size_t first, size_t last) const {
    auto extend = [&](size_t k) {
        while (true) {
            if (FItems[k]->IsReturn() || k >= last)
                return k + 1;
            const TWdGlyph& f = *FItems[k + 1];
            if (f.IsReturn())
                return k + 2;       // a line break ends the run it follows
            if (breakAllowed(*FItems[k], f))
                return k + 1;
            ++k;
        }
    };
    size_t end = extend(first);
    // An opening bracket alone stays with what follows it.
    if (end == first + 1 && end <= last && charIn(*FItems[first], kNoEnd))
        end = extend(end);
    return end;
}

/*
================
TKsWord::Layout
================
*/
void TKsWord::Layout(int32_t first, int32_t last, std::vector<std::unique_ptr<TWdPage>>& pages) {
    int32_t count = ItemCount();
    if (last < 0 || last >= count)
        last = count - 1;
    first = std::max(first, 0);
    if (first > last)
        return;
    for (int32_t i = first; i <= last; ++i) {
        TWdGlyph& item = *FItems[static_cast<size_t>(i)];
        measure(item);
        item.Alpha = 0;
    }

    const bool limited = LayoutWidth > 0;
    size_t firstPage = pages.size();
    auto page = std::make_unique<TWdPage>();
    std::unique_ptr<TWdRow> row;
    int64_t y = 0;
    int64_t rowWidth = 0;
    bool rowHasItems = false;       // an item that takes room or shows (the indent blank does not count)
    bool rowHasVisible = false;
    TWdAlign align = WA_LEFT;
    int32_t indent = 0;

    auto finishPage = [&] {
        if (!page->Rows.empty())
            pages.push_back(std::move(page));
        page = std::make_unique<TWdPage>();
        y = 0;
    };
    auto newRow = [&] {
        row = std::make_unique<TWdRow>();
        row->Align = align;
        rowWidth = 0;
        rowHasItems = rowHasVisible = false;
        if (indent > 0) {
            row->IndentSpace = std::make_unique<TWdSpace>(indent);
            row->Items.push_back(row->IndentSpace.get());
            rowWidth = indent;
        }
    };
    auto endRow = [&](bool clear) {
        row->Width = clampInt(rowWidth);
        placeRowVertically(*row);
        // A row that would reach past the page's bottom starts the next page,
        // unless it is the page's first row.
        if (Paging && !page->Rows.empty() && y + row->Height > PageHeight)
            finishPage();
        row->Y = clampInt(y);
        y += int64_t{row->Height} + LineSpace;
        page->Rows.push_back(std::move(row));
        if (clear)
            finishPage();
    };

    for (size_t i = static_cast<size_t>(first); i <= static_cast<size_t>(last);) {
        size_t end = runEnd(i, static_cast<size_t>(last));
        int64_t runWidth = 0;
        for (size_t k = i; k < end; ++k)
            runWidth += FItems[k]->Width;
        if (row && rowHasItems && limited && rowWidth + runWidth > LayoutWidth)
            endRow(false);
        for (; i < end; ++i) {
            if (!row)
                newRow();
            TWdGlyph* item = FItems[i].get();
            item->X = clampInt(rowWidth);
            rowWidth += item->Width;
            row->Items.push_back(item);
            if (item->Width > 0 || item->IsReal())
                rowHasItems = true;
            switch (item->Kind()) {
            case TWdKind::Align:
                align = static_cast<const TWdOpeAlign*>(item)->Align;
                if (!rowHasVisible)
                    row->Align = align;
                break;
            case TWdKind::Indent:
                indent = clampInt(rowWidth);
                break;
            case TWdKind::Undent:
                indent = 0;
                break;
            case TWdKind::Return:
            case TWdKind::VarReturn:
                endRow(static_cast<const TWdOpeReturn*>(item)->Clear);
                break;
            default:
                break;
            }
            if (item->IsReal())
                rowHasVisible = true;
        }
    }
    if (row)
        endRow(false);
    finishPage();

    // The width of unlimited text is its widest row; rows are then placed
    // by their alignment inside the width.
    int32_t widest = 0;
    for (size_t p = firstPage; p < pages.size(); ++p)
        for (const auto& r : pages[p]->Rows)
            widest = std::max(widest, r->Width);
    if (!limited)
        LayoutWidth = widest;
    for (size_t p = firstPage; p < pages.size(); ++p) {
        TWdPage& pg = *pages[p];
        for (const auto& r : pg.Rows) {
            int32_t free = LayoutWidth - r->Width;
            r->X = r->Align == WA_RIGHT ? free : r->Align == WA_CENTER ? free / 2 : 0;
            pg.Width = std::max(pg.Width, r->Width);
            pg.Height = std::max(pg.Height, r->Y + r->Height);
        }
    }
}

} // namespace zuno
