// The reveal of a laid-out page: once per frame the countdown drops by the
// frame's time, and while it is used up the next item appears (alpha 0, then
// fading in) and adds its wait; the caret follows the last shown item.
#include <algorithm>

#include "text/TKsWord.h"

namespace zuno {

namespace {

constexpr int32_t kOpaque = 255;
constexpr int64_t kFadeScale = 256;

// Moves the cursor past rows that have nothing left to show.
void settleCursor(TWdPage& page) {
    while (page.CursorRow < page.Rows.size() && page.CursorItem >= page.Rows[page.CursorRow]->Items.size()) {
        ++page.CursorRow;
        page.CursorItem = 0;
    }
}

} // namespace

void TKsWord::placeCaret(const TWdPage& page, const TWdRow& row, const TWdGlyph& item, bool after) {
    CaretX = OriginX + ItemLeft(row, item) + (after ? item.Width : 0);
    CaretY = OriginY + ItemTop(row, item) - page.ScrollY;
    CaretHeight = row.Height;
}

/*
================
TKsWord::Reveal
================
*/
TKsWord::TRevealResult TKsWord::Reveal(TWdPage& page, int32_t elapsed) {
    TRevealResult result;
    settleCursor(page);
    int64_t counted = std::max<int64_t>(0, elapsed);
    if (!page.AllRevealed() && !Paused && page.EventText.empty()) {
        if (!page.Started) {
            // The first item: this frame's time belongs to whatever came before.
            page.Started = true;
            page.Countdown = 0;
            page.FadeAccumulator = 0;
            counted = 0;
        } else if (page.SkipElapsed) {
            page.SkipElapsed = false;
            counted = 0;
        } else {
            page.Countdown -= counted;
        }
        const int64_t rate = std::max(0, TextDelayRate);
        while (page.Countdown <= 0 && !page.AllRevealed()) {
            const TWdRow& row = *page.Rows[page.CursorRow];
            if (row.Y - page.ScrollY > std::max(0, PageHeight))
                break;      // the rest lies below the visible part of the page (a box without height shows its top row)
            TWdGlyph& item = *row.Items[page.CursorItem];
            item.Alpha = 0;
            if (item.Wait >= 0)
                page.Countdown += item.Wait * rate / 256;
            else
                page.Countdown -= item.Wait;   // a negative wait is a fixed delay, not scaled
            page.Fading.push_back(&item);
            ++page.CursorItem;
            settleCursor(page);
            if (page.AllRevealed()) {
                placeCaret(page, row, item, true);
            } else {
                const TWdRow& next = *page.Rows[page.CursorRow];
                placeCaret(page, next, *next.Items[page.CursorItem], false);
            }
            if (item.IsChar())
                result.NewText += static_cast<const TWdChar&>(item).Text();
            else if (item.Kind() == TWdKind::Image)
                result.NewText += '*';
            else if (item.Kind() == TWdKind::Event && CollectEvents) {
                if (!page.EventText.empty())
                    page.EventText += '\t';
                page.EventText += static_cast<const TWdOpeEvent&>(item).Value;
                if (item.Wait > 0) {
                    page.SkipElapsed = true;
                    break;
                }
            }
        }
    }

    // Fading: every shown item gains the same step; the remainder of the
    // time is kept for the next frame.
    int64_t step = kOpaque;
    if (FadeTime > 0) {
        page.FadeAccumulator += counted * kFadeScale;
        step = page.FadeAccumulator / FadeTime;
        page.FadeAccumulator %= FadeTime;
    } else {
        page.FadeAccumulator = 0;
    }
    for (TWdGlyph* item : page.Fading) {
        item->Alpha = static_cast<int32_t>(std::min<int64_t>(kOpaque, item->Alpha + step));
        if (!item->Drawn.isEmpty())
            FChanged.push_back(item->Drawn.offset(0, -page.ScrollY));
    }
    std::erase_if(page.Fading, [](const TWdGlyph* item) { return item->Alpha > kOpaque - 1; });

    result.Complete = page.Complete();
    result.EventsPending = !page.EventText.empty();
    return result;
}

void TKsWord::ResetReveal(TWdPage& page) {
    for (const auto& row : page.Rows)
        for (TWdGlyph* item : row->Items)
            item->Alpha = 0;
    page.CursorRow = page.CursorItem = 0;
    page.Countdown = page.FadeAccumulator = 0;
    page.Started = page.SkipElapsed = false;
    page.Fading.clear();
    page.EventText.clear();
    if (TWdGlyph* first = page.FirstItem()) {
        settleCursor(page);
        placeCaret(page, *page.Rows[page.CursorRow], *first, false);
    }
}

void TKsWord::ShowAll(TWdPage& page) {
    for (const auto& row : page.Rows)
        for (TWdGlyph* item : row->Items) {
            if (item->Alpha != kOpaque && !item->Drawn.isEmpty())
                FChanged.push_back(item->Drawn.offset(0, -page.ScrollY));
            item->Alpha = kOpaque;
        }
    page.CursorRow = page.Rows.size();
    page.CursorItem = 0;
    page.Fading.clear();
    for (auto it = page.Rows.rbegin(); it != page.Rows.rend(); ++it)
        if (!(*it)->Items.empty()) {
            placeCaret(page, **it, *(*it)->Items.back(), true);
            break;
        }
}

std::string TKsWord::TakeEventText(TWdPage& page) {
    std::string text;
    text.swap(page.EventText);
    return text;
}

TWdGlyph* TKsWord::ItemAt(const TWdPage& page, int32_t x, int32_t y) const {
    for (const auto& row : page.Rows) {
        int32_t top = row->Y - page.ScrollY;
        if (y < top || y >= top + row->Height)
            continue;
        for (TWdGlyph* item : row->Items) {
            int32_t left = ItemLeft(*row, *item), itemTop = ItemTop(*row, *item) - page.ScrollY;
            if (item->Alpha == kOpaque && x >= left && x < left + item->Width && y >= itemTop &&
                y < itemTop + item->Height)
                return item;
        }
    }
    return nullptr;
}

} // namespace zuno
