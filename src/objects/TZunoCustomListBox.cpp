// TZunoCustomListBox: items, layout, drawing, mouse, wheel and keys.
#include "objects/TZunoCustomListBox.h"

#include "objects/TZunoLabel.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "core/Cp932.h"
#include "core/StreamFields.h"
#include "imaging/TCustomDIBX.h"
#include "objects/TZunoBase.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoCustomImage.h"
#include "objects/TZunoLabel.h"

namespace zuno {

namespace {

// Leading bytes below 32 and trailing characters below 32 removed; a
// trailing byte that is the second half of a double-byte character stays.
std::string trimControls(const std::string& text) {
    size_t start = 0;
    while (start < text.size() && static_cast<uint8_t>(text[start]) < 32)
        ++start;
    // Walk the characters to know where the last one begins.
    size_t end = start, lastKeep = start;
    for (size_t i = start; i < text.size();) {
        const size_t len = isLeadByte(static_cast<uint8_t>(text[i])) && i + 1 < text.size() ? 2 : 1;
        if (len == 2 || static_cast<uint8_t>(text[i]) >= 32)
            lastKeep = i + len;
        i += len;
        end = i;
    }
    (void)end;
    return text.substr(start, lastKeep - start);
}

TRect intersect(const TRect& a, const TRect& b) {
    return TRect(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                 std::min(a.Bottom, b.Bottom));
}

// Tiles `picture` over `area` starting at `origin` (the top-left of one
// tile, at or before the area's corner), cut to `clip`.
void tile(TCustomDIBX& s, TCustomDIBX& picture, const TRect& area, int32_t originX, int32_t originY) {
    const int32_t w = picture.GetWidth(), h = picture.GetHeight();
    if (w <= 0 || h <= 0 || area.isEmpty())
        return;
    const TRect saved = s.ClipRect;
    const TRect drawable = s.GetDrawableRect();
    const TRect cut = intersect(drawable, area);
    if (cut.isEmpty())
        return;
    s.ClipRect = cut;
    // First tile at or before the visible corner.
    auto firstFrom = [](int32_t origin, int32_t edge, int32_t step) {
        if (origin > edge)
            origin -= ((origin - edge + step - 1) / step) * step;
        else
            origin += ((edge - origin) / step) * step;
        return origin;
    };
    const int32_t x0 = firstFrom(originX, cut.Left, w), y0 = firstFrom(originY, cut.Top, h);
    const TRect whole(0, 0, w, h);
    const bool keyed = picture.TransparentColor != -1;
    for (int32_t y = y0; y < cut.Bottom; y += h)
        for (int32_t x = x0; x < cut.Right; x += w)
            s.DrawAlpha(x, y, 255, false, false, keyed, whole, picture);
    s.ClipRect = saved;
}

// Draws cell `index` of a strip of equal cells at (x, y).
void drawCell(TCustomDIBX& s, TCustomDIBX& strip, int32_t cellWidth, int32_t index, int32_t x, int32_t y) {
    if (cellWidth <= 0)
        return;
    const TRect src = TRect::bounds(index * cellWidth, 0, cellWidth, strip.GetHeight());
    s.DrawAlpha(x, y, 255, false, false, strip.TransparentColor != -1, src, strip);
}

// The offset of the first tile for an alignment (0 start, 1 centre, 2 end).
int32_t alignOffset(uint8_t align, int32_t cell, int32_t image) {
    if (image <= 0)
        return 0;
    switch (align) {
    case 1: return image < cell ? -((cell % image) / 2) : (cell - image) / 2;
    case 2: return image < cell ? -(cell % image) : cell - image;
    default: return 0;
    }
}

} // namespace

TZunoCustomListBox::TZunoCustomListBox()
    : FLabels(std::make_unique<TKsLabelList>()), FHoverLabels(std::make_unique<TKsLabelList>()) {
    FColor = -1;
    FLabels->AntiAliasLevel = 0;
    FHoverLabels->AntiAliasLevel = 0;
}

TZunoCustomListBox::~TZunoCustomListBox() = default;

//==============================================================================
// Items
//==============================================================================

void TZunoCustomListBox::SetText(const std::string& text) {
    FText = trimControls(text);
    FItems = splitTextLines(FText, false);
    FChecks.assign(FItems.size(), 0);
    // The label lists hold the shown rows only; they are filled when drawn.
    FLabels->Clear();
    FHoverLabels->Clear();
    FHover = -1;
    FTopIndex = std::clamp(FTopIndex, 0, std::max(0, ItemCount() - FRowCount));
    FLayoutDirty = true;
    Invalidate();
}

uint8_t TZunoCustomListBox::GetCheck(int32_t item) const {
    return item >= 0 && item < ItemCount() ? FChecks[size_t(item)] : 0;
}

void TZunoCustomListBox::SetCheck(int32_t item, uint8_t value) {
    if (item < 0 || item >= ItemCount() || FChecks[size_t(item)] == value)
        return;
    FChecks[size_t(item)] = value;
    Invalidate();
}

void TZunoCustomListBox::SetTopIndex(int32_t i) {
    const int32_t v = std::clamp(i, 0, std::max(0, ItemCount() - FRowCount));
    if (v == FTopIndex)
        return;
    FTopIndex = v;
    Invalidate();
}

bool TZunoCustomListBox::eventWaiting(uint8_t id) const {
    return FOwner && FOwner->Events().FindPending(this, id) >= 0;
}

void TZunoCustomListBox::reportChoice(const std::string& text, int32_t index) {
    if (FOwner)
        FOwner->ReportChoice(text, index);
}

void TZunoCustomListBox::SetHover(int32_t i) {
    if (i == FHover)
        return;
    if (i == -1 && FHover >= 0 && FHover < ItemCount() && !eventWaiting(PR_ONMAPOUT)) {
        const std::vector<std::string> args{FItems[size_t(FHover)], std::to_string(FHover)};
        PostEvent(PR_ONMAPOUT, &args);
    }
    FHover = i;
    FIndex = -1;
    Invalidate();
    if (i >= 0 && i < ItemCount() && !eventWaiting(PR_ONMAPIN)) {
        const std::vector<std::string> args{FItems[size_t(i)], std::to_string(i)};
        PostEvent(PR_ONMAPIN, &args);
    }
}

void TZunoCustomListBox::Select() {
    FIndex = FHover;
    const std::string text = FIndex >= 0 && FIndex < ItemCount() ? FItems[size_t(FIndex)] : std::string();
    reportChoice(text, FIndex);
    if (!eventWaiting(PR_ONSELECT)) {
        const std::vector<std::string> args{text, std::to_string(FIndex)};
        PostEvent(PR_ONSELECT, &args);
    }
}

//==============================================================================
// Layout
//==============================================================================

// Measures every item in the fonts of `fonts` a batch of labels at a time,
// so that a list of any length needs labels for one batch only. Answers the
// label height; `widest` grows to the widest item.
int32_t TZunoCustomListBox::measureItems(const TKsLabelList& fonts, int32_t& widest) {
    constexpr size_t kBatch = 256;
    TKsLabelList batch;
    copyFont(fonts, batch);
    int32_t height = 0;
    for (size_t first = 0; first < FItems.size() || first == 0; first += kBatch) {
        batch.Clear();
        for (size_t i = first; i < std::min(FItems.size(), first + kBatch); ++i)
            batch.AddLabel().SetText(FItems[i]);
        if (batch.Count() == 0)
            batch.AddLabel();
        batch.Measure();
        widest = std::max(widest, FItems.empty() ? 0 : batch.MaxWidth());
        height = batch.LabelAt(0)->Height;
        if (FItems.empty())
            break;
    }
    return height;
}

void TZunoCustomListBox::copyFont(const TKsLabelList& from, TKsLabelList& to) {
    to.AntiAliasLevel = from.AntiAliasLevel;
    to.BorderWidth = from.BorderWidth;
    to.Alpha = from.Alpha;
    to.FontHeight = from.FontHeight;
    to.FontName = from.FontName;
    to.TextColor = from.TextColor;
    to.BorderColor = from.BorderColor;
    to.StyleFlags = from.StyleFlags;
    to.ShadowOffset = from.ShadowOffset;
    to.ShadowColor = from.ShadowColor;
}

// The label of shown row `slot` showing `text`; the list grows to the slot
// and is measured again when a row's text changed.
TKsLabelDIB* TZunoCustomListBox::rowLabel(TKsLabelList& list, int32_t slot, const std::string& text) {
    while (list.Count() <= slot)
        list.AddLabel().Dirty = true;
    TKsLabelDIB* label = list.LabelAt(slot);
    if (label->Text != text) {
        label->SetText(text);
        label->Dirty = true;
        try {
            list.Measure();
        } catch (const std::exception&) {
            return nullptr;
        }
    }
    return label;
}

void TZunoCustomListBox::Relayout() {
    FLayoutDirty = false;
    int32_t normalHeight = 0, hoverHeight = 0, widest = 0;
    try {
        // Border and shadow are part of a label's measured height.
        normalHeight = measureItems(*FLabels, widest);
        hoverHeight = measureItems(*FHoverLabels, widest);
    } catch (const std::exception&) {
        // No glyphs: the rows have no height and the labels draw nothing.
    }
    FRowHeight = ItemCount() > 0 ? std::max(normalHeight, hoverHeight) : 0;

    int32_t left = 0, right = 0, top = 0, bottom = 0;
    for (int c : {0, 3, 6}) left = std::max(left, FCells[size_t(c)].Width());
    for (int c : {2, 5, 8}) right = std::max(right, FCells[size_t(c)].Width());
    for (int c : {0, 1, 2}) top = std::max(top, FCells[size_t(c)].Height());
    for (int c : {6, 7, 8}) bottom = std::max(bottom, FCells[size_t(c)].Height());
    const int32_t check = FCheckImage.Count() > 0 ? FCheckImage.Data(0).GetPicture()->GetWidth() / 2 : 0;
    const int32_t scroll =
        HasScrollBar() && FScrollImage.Count() > 0 ? FScrollImage.Data(0).GetPicture()->GetWidth() / 7 : 0;
    const int64_t n = std::min(FRowCount, ItemCount());
    const int64_t width = int64_t(widest) + 2 * int64_t(FBorderWidth) +
                          left + right + 2 * int64_t(FMarginX) + check + scroll;
    const int64_t height = n * FRowHeight + std::max<int64_t>(n - 1, 0) * FLineSpace + 2 * int64_t(FBorderWidth) +
                           top + bottom + 2 * int64_t(FMarginY);
    const int64_t limit = TZunoBaseList::kMaxSceneSize * 4;
    Invalidate();
    SetWidth(static_cast<int32_t>(std::clamp<int64_t>(width, 0, limit)));
    SetHeight(static_cast<int32_t>(std::clamp<int64_t>(height, 0, limit)));
    Invalidate();
}

int32_t TZunoCustomListBox::highlightPad() const { return std::max(0, std::min(FLineSpace / 2, FMarginY)); }

TZunoCustomListBox::TGeometry TZunoCustomListBox::geometry() {
    TGeometry g;
    g.Client = GetClientRect();
    const int32_t bw = std::max(FBorderWidth, 0);
    g.Inner = TRect(g.Client.Left + bw, g.Client.Top + bw, g.Client.Right - bw, g.Client.Bottom - bw);
    for (int c : {0, 3, 6}) g.LeftCol = std::max(g.LeftCol, FCells[size_t(c)].Width());
    for (int c : {2, 5, 8}) g.RightCol = std::max(g.RightCol, FCells[size_t(c)].Width());
    for (int c : {0, 1, 2}) g.TopRow = std::max(g.TopRow, FCells[size_t(c)].Height());
    for (int c : {6, 7, 8}) g.BottomRow = std::max(g.BottomRow, FCells[size_t(c)].Height());
    g.CheckWidth = FCheckImage.Count() > 0 ? FCheckImage.Data(0).GetPicture()->GetWidth() / 2 : 0;
    g.ScrollCell = FScrollImage.Count() > 0 ? FScrollImage.Data(0).GetPicture()->GetWidth() / 7 : 0;
    g.ScrollWidth = HasScrollBar() ? g.ScrollCell : 0;
    g.AreaLeft = g.Inner.Left + g.LeftCol + FMarginX + g.CheckWidth;
    g.AreaTop = g.Inner.Top + g.TopRow + FMarginY;
    g.AreaWidth = g.Inner.width() - g.LeftCol - g.RightCol - 2 * FMarginX - g.CheckWidth - g.ScrollWidth;
    if (g.ScrollWidth > 0) {
        const int32_t ch = FScrollImage.Data(0).GetPicture()->GetHeight();
        const int32_t x = g.Inner.Right - g.RightCol - g.ScrollWidth;
        const int32_t top = g.Client.Top + bw + g.TopRow;
        const int32_t bottom = g.Client.Bottom - bw - g.BottomRow;
        g.UpArrow = TRect::bounds(x, top, g.ScrollWidth, ch);
        g.DownArrow = TRect::bounds(x, bottom - ch, g.ScrollWidth, ch);
        const int64_t span = int64_t(FHeight) - 2 * bw - g.TopRow - g.BottomRow - 3 * int64_t(ch);
        const int64_t range = std::max(1, ItemCount() - FRowCount);
        const int32_t thumbTop = static_cast<int32_t>(top + ch + span * FTopIndex / range);
        g.Thumb = TRect::bounds(x, thumbTop, g.ScrollWidth, ch);
        g.Track = TRect(x, top + ch, x + g.ScrollWidth, bottom - ch);
    }
    return g;
}

int32_t TZunoCustomListBox::ItemAt(int32_t x, int32_t y) {
    const TGeometry g = geometry();
    const int32_t p = highlightPad();
    const int32_t rowsHeight = FRowHeight <= 0 ? 0
                                               : std::min(FRowCount, ItemCount() - FTopIndex) * (FRowHeight + FLineSpace);
    const TRect area(g.AreaLeft, g.AreaTop - p, g.AreaLeft + g.AreaWidth, g.AreaTop + rowsHeight + p);
    if (!area.contains(x, y) || !g.Client.contains(x, y) || FRowHeight <= 0)
        return -1;
    const int32_t pitch = FRowHeight + FLineSpace;
    const int32_t start = g.AreaTop - FLineSpace / 2;
    int32_t row = y < start ? 0 : (y - start) / std::max(pitch, 1);
    row = std::clamp(row, 0, std::max(0, std::min(FRowCount, ItemCount() - FTopIndex) - 1));
    const int32_t item = FTopIndex + row;
    return item < ItemCount() ? item : -1;
}

//==============================================================================
// Drawing
//==============================================================================

void TZunoCustomListBox::drawBorderCells(TCustomDIBX& s, const TGeometry& g) {
    const TRect& in = g.Inner;
    const int32_t midTop = in.Top + g.TopRow, midBottom = std::max(midTop, in.Bottom - g.BottomRow);
    const int32_t midLeft = in.Left + g.LeftCol, midRight = std::max(midLeft, in.Right - g.RightCol);
    const bool bottomCells = in.height() >= g.TopRow;
    for (int c = 0; c < 9; ++c) {
        TBorderCell& cell = FCells[size_t(c)];
        if (cell.Frames.Count() == 0)
            continue;
        const int col = c % 3, row = c / 3;
        if (row == 2 && !bottomCells)
            continue;
        const int32_t w = cell.Width(), h = cell.Height();
        int32_t l, r, t, b;
        if (col == 0) { l = in.Left; r = in.Left + w; }
        else if (col == 2) { l = in.Right - w; r = in.Right; }
        else { l = midLeft; r = midRight; }
        if (row == 0) { t = in.Top; b = in.Top + h; }
        else if (row == 2) { t = in.Bottom - h; b = in.Bottom; }
        else { t = midTop; b = midBottom; }
        TRect rect(l, std::max(t, in.Top), r, std::min(b, in.Bottom));
        if (rect.isEmpty())
            continue;
        const bool hAligned = c == 1 || c == 4 || c == 7, vAligned = c == 3 || c == 4 || c == 5;
        const int32_t ox = l + (hAligned ? alignOffset(cell.HAlign, r - l, w) : 0);
        const int32_t oy = t + (vAligned ? alignOffset(cell.VAlign, b - t, h) : 0);
        tile(s, *cell.picture(), rect, ox, oy);
    }
}

bool TZunoCustomListBox::mouseOver(const TRect& r) {
    TZunoBase* b = GetBase();
    return b && r.contains(b->Input.MouseX, b->Input.MouseY);
}

void TZunoCustomListBox::drawScrollBar(TCustomDIBX& s, const TGeometry& g) {
    if (g.ScrollWidth <= 0)
        return;
    TCustomDIBX& strip = *FScrollImage.Data(0).GetPicture();
    const int32_t cw = g.ScrollCell, ch = strip.GetHeight();
    // The track: cell 4 (5 while held), tiled from the track's top so that
    // the pattern runs on across the thumb into the lower piece.
    TDIBX trackCell;
    auto trackPiece = [&](const TRect& piece, bool pressed) {
        if (piece.isEmpty() || ch <= 0)
            return;
        trackCell.SetSize(cw, ch, strip.GetBitCount());
        trackCell.TransparentColor = strip.TransparentColor;
        trackCell.Draw(0, 0, false, false, false, TRect::bounds((pressed ? 5 : 4) * cw, 0, cw, ch), strip);
        tile(s, trackCell, piece, g.Track.Left, g.Track.Top);
    };
    const TRect above(g.Track.Left, g.Track.Top, g.Track.Right, std::max(g.Track.Top, g.Thumb.Top));
    const TRect below(g.Track.Left, std::min(g.Track.Bottom, g.Thumb.Bottom), g.Track.Right, g.Track.Bottom);
    trackPiece(above, FMouseMode == mmPageUp && FTrackPressedIn);
    trackPiece(below, FMouseMode == mmPageDown && FTrackPressedIn);
    drawCell(s, strip, cw, FMouseMode == mmUp && FArrowPressedIn ? 1 : 0, g.UpArrow.Left, g.UpArrow.Top);
    drawCell(s, strip, cw, FMouseMode == mmDown && FArrowPressedIn ? 3 : 2, g.DownArrow.Left, g.DownArrow.Top);
    drawCell(s, strip, cw, 6, g.Thumb.Left, g.Thumb.Top);
}

void TZunoCustomListBox::drawRows(TCustomDIBX& s, const TGeometry& g) {
    if (FRowHeight <= 0)
        return;
    FLabels->Target = &s;
    FHoverLabels->Target = &s;
    FLabels->Alpha = FHoverLabels->Alpha = std::clamp(FAlpha, 0, 255);
    const int32_t p = highlightPad();
    const int32_t checkHeight = FCheckImage.Count() > 0 ? FCheckImage.Data(0).GetPicture()->GetHeight() : 0;
    int32_t y = g.AreaTop;
    const int32_t last = std::min(ItemCount(), FTopIndex + std::max(FRowCount, 0));
    // Item i keeps label slot i mod window, so scrolling by a row renders one
    // new label; the window is no larger than the rows that fit.
    const int64_t fit = int64_t(g.Client.height()) / std::max(FRowHeight + FLineSpace, 1) + 2;
    const int32_t window = static_cast<int32_t>(std::max<int64_t>(1, std::min<int64_t>(last - FTopIndex, fit)));
    for (int32_t i = std::max(FTopIndex, 0); i < last; ++i, y += FRowHeight + FLineSpace) {
        if (y >= g.Client.Bottom)
            break;
        const bool hover = i == FHover;
        if (hover && HoverColor() != -1) {
            const TRect band = TRect::bounds(g.Inner.Left + g.LeftCol + 1, y - p,
                                             2 * FMarginX + g.AreaWidth + g.CheckWidth - 2, FRowHeight + 2 * p);
            if (FAlpha >= 255)
                s.FillRect(band, s.ColorToPixel(HoverColor()));
            else if (FAlpha > 0)
                s.FillRectAlpha(band, s.ColorToPixel(HoverColor()), FAlpha);
        }
        TKsLabelDIB* label = rowLabel(hover ? *FHoverLabels : *FLabels, i % window, FItems[size_t(i)]);
        if (label) {
            int32_t x = g.AreaLeft;
            if (FHAlign == 1)
                x += (g.AreaWidth - label->Width) / 2;
            else if (FHAlign == 2)
                x += g.AreaWidth - label->Width;
            label->DrawLabel(x, y);
        }
        if (FChecks[size_t(i)] && g.CheckWidth > 0)
            drawCell(s, *FCheckImage.Data(0).GetPicture(), g.CheckWidth, hover ? 1 : 0, g.AreaLeft - g.CheckWidth,
                     y + (FRowHeight - checkHeight) / 2);
    }
}

void TZunoCustomListBox::Draw() {
    TCustomDIBX* s = GetSurface();
    if (s && Visible() && FAlpha > 0 && FWidth > 0 && FHeight > 0) {
        const TGeometry g = geometry();
        const TRect saved = s->ClipRect;
        const TRect cut = intersect(s->GetDrawableRect(), g.Client);
        if (!cut.isEmpty()) {
            s->ClipRect = cut;
            auto fill = [&](const TRect& r, int32_t colour) {
                if (r.isEmpty())
                    return;
                if (FAlpha >= 255)
                    s->FillRect(r, s->ColorToPixel(colour));
                else
                    s->FillRectAlpha(r, s->ColorToPixel(colour), FAlpha);
            };
            if (FBorderWidth > 0 && FBorderColor != -1) {
                fill(TRect(g.Client.Left, g.Client.Top, g.Client.Right, g.Inner.Top), FBorderColor);
                fill(TRect(g.Client.Left, g.Inner.Bottom, g.Client.Right, g.Client.Bottom), FBorderColor);
                fill(TRect(g.Client.Left, g.Inner.Top, g.Inner.Left, g.Inner.Bottom), FBorderColor);
                fill(TRect(g.Inner.Right, g.Inner.Top, g.Client.Right, g.Inner.Bottom), FBorderColor);
            }
            if (FColor != -1)
                fill(g.Inner, FColor);
            drawBorderCells(*s, g);
            if (HasScrollBar() && !Animating())
                drawScrollBar(*s, g);
            drawRows(*s, g);
            s->ClipRect = saved;
        }
    }
    TZunoControl::Draw();
}

//==============================================================================
// Mouse, wheel, keys
//==============================================================================

void TZunoCustomListBox::DoLBtnDown() {
    TZunoBase* b = GetBase();
    if (!b)
        return;
    if (FPaused) {
        TZunoControl::DoLBtnDown();
        return;
    }
    const TGeometry g = geometry();
    const int32_t mx = b->Input.MouseX, my = b->Input.MouseY;
    FMouseMode = mmItem;
    if (g.ScrollWidth > 0 && !Animating()) {
        if (g.Thumb.contains(mx, my)) {
            FMouseMode = mmThumb;
            FDragOffset = my - g.Thumb.Top - g.Thumb.height() / 2;
        } else if (g.UpArrow.contains(mx, my) || g.DownArrow.contains(mx, my) || g.Track.contains(mx, my)) {
            FMouseMode = g.UpArrow.contains(mx, my)    ? mmUp
                         : g.DownArrow.contains(mx, my) ? mmDown
                         : my < g.Thumb.Top             ? mmPageUp
                                                        : mmPageDown;
            FRepeatCountdown = 0;
            DoMouseHeld();
            FRepeatCountdown = FOwner ? FOwner->KeyRepeatDelay : 500;
        }
    }
    b->Input.LPushed = false;
    b->Capture |= TZunoBase::kCaptureLeft;
}

void TZunoCustomListBox::stepHeld(int32_t rows) {
    if (rows < 0 && FTopIndex > 0)
        SetTopIndex(FTopIndex + rows);
    else if (rows > 0 && FTopIndex + FRowCount < ItemCount())
        SetTopIndex(FTopIndex + rows);
}

void TZunoCustomListBox::DoMouseHeld() {
    if (FMouseMode < mmUp || FMouseMode > mmPageDown)
        return;
    const TGeometry g = geometry();
    const bool arrows = FMouseMode == mmUp || FMouseMode == mmDown;
    bool in;
    if (arrows)
        in = mouseOver(FMouseMode == mmUp ? g.UpArrow : g.DownArrow);
    else
        in = mouseOver(FMouseMode == mmPageUp ? TRect(g.Track.Left, g.Track.Top, g.Track.Right, g.Thumb.Top)
                                              : TRect(g.Track.Left, g.Thumb.Bottom, g.Track.Right, g.Track.Bottom));
    bool& flag = arrows ? FArrowPressedIn : FTrackPressedIn;
    if (flag != in) {
        flag = in;
        Invalidate();
    }
    FRepeatCountdown -= FOwner ? FOwner->FrameElapsed() : 0;
    if (FRepeatCountdown > 0)
        return;
    FRepeatCountdown += std::max(FOwner ? FOwner->KeyRepeatInterval : 33, 1);
    if (!in)
        return;
    const int32_t page = std::max(FRowCount, 1);
    switch (FMouseMode) {
    case mmUp:       stepHeld(-1); break;
    case mmDown:     stepHeld(1); break;
    case mmPageUp:   stepHeld(-page); break;
    default:         stepHeld(page); break;
    }
}

void TZunoCustomListBox::DoMouseMove() {
    TZunoBase* b = GetBase();
    if (FMouseMode == mmThumb && b) {
        const TGeometry g = geometry();
        const int32_t trackTop = g.UpArrow.Bottom + g.Thumb.height() / 2;
        const int32_t length = std::max(1, g.DownArrow.Top - trackTop - g.Thumb.height() / 2);
        const int32_t range = ItemCount() - FRowCount;
        const double v = double(range) * (b->Input.MouseY - FDragOffset - trackTop) / length;
        SetTopIndex(static_cast<int32_t>(std::lround(std::clamp(v, 0.0, double(std::max(range, 0))))));
    } else if ((FMouseMode == mmItem || FMouseMode == mmNone) && !FPaused && b) {
        SetHover(ItemAt(b->Input.MouseX, b->Input.MouseY));
    }
    TZunoControl::DoMouseMove();
}

void TZunoCustomListBox::DoMouseOut(TZunoControl* newHover) {
    if (!FPaused && FIgnoreMouse != IM_ALL)
        SetHover(-1);
    TZunoControl::DoMouseOut(newHover);
}

void TZunoCustomListBox::DoLBtnUp() {
    if (!EventsSuppressed() && FMouseMode == mmItem && FHover >= 0)
        Select();
    FMouseMode = mmNone;
    FArrowPressedIn = FTrackPressedIn = false;
    Invalidate();
    TZunoControl::DoLBtnUp();
}

void TZunoCustomListBox::DoWheelDown() {
    wheelStep(1);
    TZunoControl::DoWheelDown();
}

void TZunoCustomListBox::DoWheelUp() {
    wheelStep(-1);
    TZunoControl::DoWheelUp();
}

// The wheel scrolls one row, and the hover follows the row under the mouse.
void TZunoCustomListBox::wheelStep(int32_t rows) {
    if (HasScrollBar() && !FPaused) {
        stepHeld(rows);
        if (TZunoBase* b = GetBase())
            SetHover(ItemAt(b->Input.MouseX, b->Input.MouseY));
    }
}

void TZunoCustomListBox::keyMove(int32_t hover) {
    if (hover == FHover)
        return;
    SetHover(hover);
    if (FHover < 0)
        return;
    if (FHover < FTopIndex)
        SetTopIndex(FHover);
    else if (FHover >= FTopIndex + FRowCount)
        SetTopIndex(FHover - FRowCount + 1);
}

void TZunoCustomListBox::DoKeys() {
    if (!FOwner || ItemCount() == 0)
        return;
    const int32_t lastItem = ItemCount() - 1;
    const int32_t page = std::max(FRowCount, 1);
    if (FOwner->KeyRepeated(38))
        keyMove(FHover < 0 ? lastItem : std::max(FHover - 1, 0));
    if (FOwner->KeyRepeated(40))
        keyMove(FHover < 0 ? 0 : std::min(FHover + 1, lastItem));
    if (FOwner->KeyRepeated(33))
        keyMove(FHover < 0 ? lastItem : std::max(FHover - page, 0));
    if (FOwner->KeyRepeated(34))
        keyMove(FHover < 0 ? 0 : std::min(FHover + page, lastItem));
}

//==============================================================================
// Update
//==============================================================================

int TZunoCustomListBox::Update() {
    const int answer = TZunoControl::Update();
    if (answer != 0)
        return answer;
    const int32_t elapsed = FOwner ? FOwner->FrameElapsed() : 0;
    if (!AniPaused())
        for (TBorderCell& cell : FCells)
            if (cell.Frames.Advance(elapsed))
                Invalidate();
    if (FLayoutDirty && FPhase == 0 && LayoutShown())
        Relayout();
    return 0;
}

//==============================================================================
// Pictures and fonts
//==============================================================================

void TZunoCustomListBox::setCellPicture(std::string& source, TZunoImageList& list, const std::string& text) {
    if (text == source)
        return;
    source = text;
    list.Clear();
    if (!text.empty())
        list.Load(text);
    FLayoutDirty = true;
    Invalidate();
}

void TZunoCustomListBox::setBorderSource(int cell, const std::string& text) {
    TBorderCell& c = FCells[size_t(cell)];
    setCellPicture(c.Source, c.Frames, text);
}

void TZunoCustomListBox::fontChanged() {
    // The shown rows are measured and drawn again in the new font.
    FLabels->Clear();
    FHoverLabels->Clear();
    FLayoutDirty = true;
    Invalidate();
}

//==============================================================================
// Properties
//==============================================================================

namespace {

bool listBoxOwns(int id) {
    switch (id) {
    case PR_TEXT: case PR_LINESPACE: case PR_ALPHA: case PR_MARGINX: case PR_MARGINY: case PR_BORDERWIDTH:
    case PR_BORDERCOLOR: case PR_ROWCOUNT: case PR_TOPINDEX: case PR_HALIGN: case PR_INDEX: case PR_COUNT:
    case PR_PAUSED: case PR_SCROLLSOURCE: case PR_CHECKSOURCE: case PR_FONTNAME: case PR_FONTHEIGHT:
    case PR_FONTSTYLE: case PR_FONTCOLOR: case PR_ANTIALIAS: case PR_FONTBORDER: case PR_FONTSHADOW:
    case PR_FONTBORDERCOLOR: case PR_FONTSHADOWCOLOR: case PR_FONTHOVERBORDER: case PR_FONTHOVERSHADOW:
    case PR_FONTHOVERBORDERCOLOR: case PR_FONTHOVERSHADOWCOLOR: case PR_ONSELECT: case PR_ONMAPIN: case PR_ONMAPOUT:
    case PR_ONIDLE: case PR_BORDERHALIGNT: case PR_BORDERHALIGNC: case PR_BORDERHALIGNB: case PR_BORDERVALIGNL:
    case PR_BORDERVALIGNC: case PR_BORDERVALIGNR:
        return true;
    default:
        return id >= PR_BORDERSOURCETL && id <= PR_BORDERSOURCEBR;
    }
}

} // namespace

bool TZunoCustomListBox::ImplementsProperty(int id) const {
    return listBoxOwns(id) || TZunoControl::ImplementsProperty(id);
}

TPropValue TZunoCustomListBox::GetProp(int id) {
    if (id >= PR_BORDERSOURCETL && id <= PR_BORDERSOURCEBR)
        return TPropValue::ofStr(FCells[size_t(id - PR_BORDERSOURCETL)].Source);
    switch (id) {
    case PR_TEXT:           return TPropValue::ofStr(FText);
    case PR_LINESPACE:      return TPropValue::ofInt(FLineSpace);
    case PR_ALPHA:          return TPropValue::ofInt(FAlpha);
    case PR_MARGINX:        return TPropValue::ofInt(FMarginX);
    case PR_MARGINY:        return TPropValue::ofInt(FMarginY);
    case PR_BORDERWIDTH:    return TPropValue::ofInt(FBorderWidth);
    case PR_BORDERCOLOR:    return TPropValue::ofInt(FBorderColor);
    case PR_ROWCOUNT:       return TPropValue::ofInt(FRowCount);
    case PR_TOPINDEX:       return TPropValue::ofInt(FTopIndex);
    case PR_HALIGN:         return TPropValue::ofInt(FHAlign);
    case PR_INDEX:          return TPropValue::ofInt(FIndex);
    case PR_COUNT:          return TPropValue::ofInt(ItemCount());
    case PR_PAUSED:         return TPropValue::ofBool(FPaused);
    case PR_SCROLLSOURCE:   return TPropValue::ofStr(FScrollSource);
    case PR_CHECKSOURCE:    return TPropValue::ofStr(FCheckSource);
    case PR_FONTNAME:       return TPropValue::ofStr(FLabels->FontName);
    case PR_FONTHEIGHT:     return TPropValue::ofInt(FLabels->FontHeight);
    case PR_FONTSTYLE:      return TPropValue::ofInt(FLabels->StyleFlags);
    case PR_FONTCOLOR:      return TPropValue::ofInt(FLabels->TextColor);
    case PR_ANTIALIAS:      return TPropValue::ofBool(FLabels->AntiAliasLevel > 0);
    case PR_FONTBORDER:     return TPropValue::ofInt(FLabels->BorderWidth);
    case PR_FONTSHADOW:     return TPropValue::ofInt(FLabels->ShadowOffset);
    case PR_FONTBORDERCOLOR: return TPropValue::ofInt(FLabels->BorderColor);
    case PR_FONTSHADOWCOLOR: return TPropValue::ofInt(FLabels->ShadowColor);
    case PR_FONTHOVERBORDER: return TPropValue::ofInt(FHoverLabels->BorderWidth);
    case PR_FONTHOVERSHADOW: return TPropValue::ofInt(FHoverLabels->ShadowOffset);
    case PR_FONTHOVERBORDERCOLOR: return TPropValue::ofInt(FHoverLabels->BorderColor);
    case PR_FONTHOVERSHADOWCOLOR: return TPropValue::ofInt(FHoverLabels->ShadowColor);
    case PR_ONSELECT:       return TPropValue::ofStr(FOnSelect);
    case PR_ONMAPIN:        return TPropValue::ofStr(FOnMapIn);
    case PR_ONMAPOUT:       return TPropValue::ofStr(FOnMapOut);
    case PR_ONIDLE:         return TPropValue::ofStr(FOnIdle);
    case PR_BORDERHALIGNT:  return TPropValue::ofInt(FCells[1].HAlign);
    case PR_BORDERHALIGNC:  return TPropValue::ofInt(FCells[4].HAlign);
    case PR_BORDERHALIGNB:  return TPropValue::ofInt(FCells[7].HAlign);
    case PR_BORDERVALIGNL:  return TPropValue::ofInt(FCells[3].VAlign);
    case PR_BORDERVALIGNC:  return TPropValue::ofInt(FCells[4].VAlign);
    case PR_BORDERVALIGNR:  return TPropValue::ofInt(FCells[5].VAlign);
    default:                return TZunoControl::GetProp(id);
    }
}

void TZunoCustomListBox::SetProp(int id, const TPropValue& v) {
    if (id >= PR_BORDERSOURCETL && id <= PR_BORDERSOURCEBR) {
        setBorderSource(id - PR_BORDERSOURCETL, v.Str);
        return;
    }
    auto layoutInt = [&](int32_t& field) {
        if (field == v.Int)
            return;
        field = v.Int;
        FLayoutDirty = true;
        Invalidate();
    };
    auto both = [&](auto member, auto value) {
        FLabels.get()->*member = value;
        FHoverLabels.get()->*member = value;
        fontChanged();
    };
    auto align = [&](uint8_t& field) {
        field = static_cast<uint8_t>(std::clamp(v.Int, 0, 2));
        Invalidate();
    };
    switch (id) {
    case PR_TEXT:           SetText(v.Str); return;
    case PR_LINESPACE:      layoutInt(FLineSpace); return;
    case PR_ALPHA:          FAlpha = v.Int; Invalidate(); return;
    case PR_MARGINX:        layoutInt(FMarginX); return;
    case PR_MARGINY:        layoutInt(FMarginY); return;
    case PR_BORDERWIDTH:    layoutInt(FBorderWidth); return;
    case PR_BORDERCOLOR:    FBorderColor = v.Int; Invalidate(); return;
    case PR_ROWCOUNT:       layoutInt(FRowCount); SetTopIndex(FTopIndex); return;
    case PR_TOPINDEX:       SetTopIndex(v.Int); return;
    case PR_HALIGN:         FHAlign = v.Int; Invalidate(); return;
    case PR_INDEX:          FIndex = v.Int; return;
    case PR_COUNT:          return;
    case PR_PAUSED:         FPaused = v.Bool; return;
    case PR_SCROLLSOURCE:   setCellPicture(FScrollSource, FScrollImage, v.Str); return;
    case PR_CHECKSOURCE:    setCellPicture(FCheckSource, FCheckImage, v.Str); return;
    case PR_FONTNAME:       both(&TKsLabelList::FontName, v.Str); return;
    case PR_FONTHEIGHT:     both(&TKsLabelList::FontHeight, v.Int); return;
    case PR_FONTSTYLE:      both(&TKsLabelList::StyleFlags, static_cast<uint8_t>(v.Int)); return;
    case PR_FONTCOLOR:      both(&TKsLabelList::TextColor, v.Int); return;
    case PR_ANTIALIAS:      both(&TKsLabelList::AntiAliasLevel, v.Bool ? 3 : 0); return;
    case PR_FONTBORDER:     FLabels->BorderWidth = v.Int; fontChanged(); return;
    case PR_FONTSHADOW:     FLabels->ShadowOffset = v.Int; fontChanged(); return;
    case PR_FONTBORDERCOLOR: FLabels->BorderColor = v.Int; fontChanged(); return;
    case PR_FONTSHADOWCOLOR: FLabels->ShadowColor = v.Int; fontChanged(); return;
    case PR_FONTHOVERBORDER: FHoverLabels->BorderWidth = v.Int; fontChanged(); return;
    case PR_FONTHOVERSHADOW: FHoverLabels->ShadowOffset = v.Int; fontChanged(); return;
    case PR_FONTHOVERBORDERCOLOR: FHoverLabels->BorderColor = v.Int; fontChanged(); return;
    case PR_FONTHOVERSHADOWCOLOR: FHoverLabels->ShadowColor = v.Int; fontChanged(); return;
    case PR_ONSELECT:       FOnSelect = v.Str; return;
    case PR_ONMAPIN:        FOnMapIn = v.Str; return;
    case PR_ONMAPOUT:       FOnMapOut = v.Str; return;
    case PR_ONIDLE:         FOnIdle = v.Str; return;
    case PR_BORDERHALIGNT:  align(FCells[1].HAlign); return;
    case PR_BORDERHALIGNC:  align(FCells[4].HAlign); return;
    case PR_BORDERHALIGNB:  align(FCells[7].HAlign); return;
    case PR_BORDERVALIGNL:  align(FCells[3].VAlign); return;
    case PR_BORDERVALIGNC:  align(FCells[4].VAlign); return;
    case PR_BORDERVALIGNR:  align(FCells[5].VAlign); return;
    default:                TZunoControl::SetProp(id, v); return;
    }
}

int32_t TZunoCustomListBox::GetItemState(TItemState what, int32_t item) {
    return what == isCheck ? GetCheck(item) : 0;
}

void TZunoCustomListBox::SetItemState(TItemState what, int32_t item, int32_t value) {
    if (what == isCheck)
        SetCheck(item, static_cast<uint8_t>(value != 0));
}

int32_t TZunoCustomListBox::ItemIndexOfName(const std::string& name) {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i] == name)
            return static_cast<int32_t>(i);
    return -1;
}

//==============================================================================
// Save record, surfaces
//==============================================================================

void TZunoCustomListBox::SaveToStream(TStream& s) {
    TZunoControl::SaveToStream(s);
    FLabels->SaveToStream(s);
    FHoverLabels->SaveToStream(s);
    WriteString(s, FText);
    for (int32_t v : {FLineSpace, FAlpha, FMarginX, FMarginY, FBorderWidth, FBorderColor, FRowCount})
        WriteInt(s, v);
    for (TBorderCell& c : FCells) {
        WriteString(s, c.Source);
        WriteByte(s, c.HAlign);
        WriteByte(s, c.VAlign);
    }
    WriteString(s, FScrollSource);
    WriteString(s, FCheckSource);
    WriteInt(s, FTopIndex);
    WriteByte(s, static_cast<uint8_t>(FHAlign));
    for (uint8_t c : FChecks)
        WriteByte(s, c);
    WriteString(s, FOnSelect);
    WriteBool(s, FPaused);
    WriteInt(s, FIndex);
    WriteInt(s, FPhase);
    WriteString(s, FOnIdle);
    WriteString(s, FOnMapIn);
    WriteString(s, FOnMapOut);
}

void TZunoCustomListBox::LoadFromStream(TStream& s, int32_t version) {
    TZunoControl::LoadFromStream(s, version);
    // The label lists are rebuilt from the text; their fonts come from the record.
    FLabels->LoadFromStream(s, version);
    FHoverLabels->LoadFromStream(s, version);
    FText.clear();
    SetText(ReadString(s));
    for (int32_t* f : {&FLineSpace, &FAlpha, &FMarginX, &FMarginY, &FBorderWidth, &FBorderColor, &FRowCount})
        *f = ReadInt(s);
    for (TBorderCell& c : FCells) {
        const std::string source = ReadString(s);
        c.Source.clear();
        setCellPicture(c.Source, c.Frames, source);
        c.HAlign = ReadByte(s);
        c.VAlign = ReadByte(s);
    }
    const std::string scroll = ReadString(s), check = ReadString(s);
    FScrollSource.clear();
    FCheckSource.clear();
    setCellPicture(FScrollSource, FScrollImage, scroll);
    setCellPicture(FCheckSource, FCheckImage, check);
    FTopIndex = ReadInt(s);
    if (version < 104)
        ReadByte(s);
    FHAlign = ReadByte(s);
    for (uint8_t& c : FChecks)
        c = ReadByte(s);
    FOnSelect = ReadString(s);
    FPaused = ReadBool(s);
    FIndex = ReadInt(s);
    FPhase = ReadInt(s);
    if (version > 130)
        FOnIdle = ReadString(s);
    if (version > 133) {
        FOnMapIn = ReadString(s);
        FOnMapOut = ReadString(s);
    }
    FLayoutDirty = true;
}

void TZunoCustomListBox::ReleaseSurfaces() {
    TZunoControl::ReleaseSurfaces();
    FLabels->MarkAllDirty();
    FHoverLabels->MarkAllDirty();
}

} // namespace zuno
