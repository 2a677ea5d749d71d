#include "objects/TZunoMes.h"

#include <algorithm>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "core/TextHelpers.h"
#include "imaging/TCustomDIBX.h"
#include "objects/TZunoBase.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoHistoryFormatManager.h"
#include "objects/TZunoReadList.h"

namespace zuno {

namespace {

constexpr int32_t kMaxItemStateBytes = 64 << 20;    // a save's page state is never larger

// The items of a page in reading order.
std::vector<TWdGlyph*> pageItems(const TWdPage& page) {
    std::vector<TWdGlyph*> items;
    for (const auto& row : page.Rows)
        items.insert(items.end(), row->Items.begin(), row->Items.end());
    return items;
}

const std::string& linkOf(const TWdGlyph* item) {
    static const std::string none;
    if (!item || !item->IsReal())
        return none;
    return textOf(static_cast<const TWdReal*>(item)->Style->Link);
}

} // namespace

TZunoMes::TZunoMes() {
    FWord.Paging = true;
    FWord.SetMetrics(&FImageMetrics);
}
TZunoMes::~TZunoMes() { freePages(); }

const TWdPage* TZunoMes::CurrentPage() const {
    if (FIndex < 0 || FIndex >= PageCount())
        return nullptr;
    return FPages[static_cast<size_t>(FIndex)].get();
}

bool TZunoMes::pending(uint8_t id) { return FOwner && FOwner->Events().FindPending(this, id) >= 0; }

void TZunoMes::syncLayout() {
    FWord.LayoutWidth = std::max(0, FWidth);
    FWord.PageHeight = std::max(0, FHeight);
    FWord.SetFunctions(FOwner ? FOwner->Funcs : nullptr);
}

void TZunoMes::freePages() {
    FWord.SetHover(TWdPage(), {});
    (void)FWord.TakeChangedRects();
    FPages.clear();
}

//==============================================================================
// Text
//==============================================================================

void TZunoMes::SetText(const std::string& text) {
    Invalidate();
    // The box's history record goes with the old text, so that a save made
    // now restores this text and not a backlog shown before.
    FMesData.ClearPieces();
    FMesData.ClearPlain();
    FText = text;
    if (FOwner && FOwner->Histories)
        FOwner->Histories->BoxTextChanged(Name());
    FHistParam2 = 0;
    freePages();
    FIndex = -1;
    FScrollY = 0;
    syncLayout();
    FWord.SetText(text);
    FWord.RefreshVars();
    FWord.Layout(0, -1, FPages);
    syncLayout();       // an unlimited width has become the widest row
    if (!FPages.empty()) {
        FIndex = 0;
        FRedraw = FFirstDisplay = true;
        startPage();
    }
}

void TZunoMes::ClearText(bool start) {
    Invalidate();
    FText.clear();
    if (FOwner && FOwner->Histories)
        FOwner->Histories->BoxTextChanged(Name());
    if (FReadMode == 1 && !FReadSource.empty() && CurrentPage())
        noteCurrentPage();
    freePages();
    FIndex = -1;
    FScrollY = 0;
    syncLayout();
    FMesData.BuildPages(FWord, FPages, FHistParam1 != 0, FHistParam2, FOwner ? FOwner->TextSource : nullptr);
    syncLayout();
    if (!FPages.empty() && start)
        FRedraw = FFirstDisplay = true;
}

void TZunoMes::ShowFirstPage() {
    FIndex = -1;
    SetPageIndex(0);
}

void TZunoMes::SetPageIndex(int32_t index) {
    if (index < 0 || index >= PageCount() || index == FIndex)
        return;
    if (FIndex >= 0 && FOwner && FOwner->Histories)
        FOwner->Histories->BoxTextChanged(Name());
    FIndex = index;
    FScrollY = 0;
    FPages[static_cast<size_t>(index)]->ScrollY = 0;
    startPage();
    if (FReadMode == 1 && !FReadSource.empty())
        noteCurrentPage();
    FWord.SetHover(*FPages[static_cast<size_t>(index)], {});
    FRedraw = FFirstDisplay = true;
    Invalidate();
}

void TZunoMes::startPage() {
    auto* page = const_cast<TWdPage*>(CurrentPage());
    if (!page)
        return;
    FEnded = false;
    FWord.ResetReveal(*page);
    if (!FOnPlayStart.empty()) {
        const bool read = FReadMode == 1 && !FReadSource.empty() && FOwner && FOwner->ReadList &&
                          FOwner->ReadList->IsRead(FReadSource, FReadPosition, FIndex);
        const std::vector<std::string> args{read ? "1" : "0"};
        if (PostEvent(PR_ONPLAYSTART, &args))
            FStartDelay = 1;
    }
}

std::string TZunoMes::pageSnapshot() {
    FWord.VarSnapshot.clear();
    FWord.CaptureVars();
    return joinSnapshot(FWord.VarSnapshot);
}

void TZunoMes::noteCurrentPage() {
    const TWdPage* page = CurrentPage();
    if (!page || !FOwner)
        return;
    int32_t first = 0, last = 0;
    bool haveFirst = false;
    for (TWdGlyph* item : pageItems(*page))
        if (TKsWord::IsStored(*item)) {
            const int32_t p = FWord.SourcePosition(item);
            if (!haveFirst)
                first = p;
            haveFirst = true;
            last = p;
        }
    if (FOwner->Histories) {
        TZunoNewHistory::TNote note;
        note.BoxName = Name();
        note.BoxWidth = FWidth;
        note.BoxHeight = FHeight;
        note.Source = FReadSource;
        note.Snapshot = pageSnapshot();
        note.PageIndex = FIndex;
        note.Last = last;
        note.First = first;
        note.Position = FReadPosition;
        FOwner->Histories->NoteBoxPage(note);
    }
    if (FOwner->ReadList)
        FOwner->ReadList->Note(Name(), FReadSource, FIndex, FReadPosition);
}

bool TZunoMes::IsPlaying() {
    const TWdPage* page = CurrentPage();
    if (!page)
        return false;
    return FIndex < PageCount() - 1 || !page->Complete();
}

void TZunoMes::ShowWholePage() {
    if (auto* page = const_cast<TWdPage*>(CurrentPage()))
        FWord.ShowAll(*page);
}

//==============================================================================
// Properties
//==============================================================================

TPropValue TZunoMes::GetProp(int id) {
    switch (id) {
    case PR_TEXT:            return TPropValue::ofStr(FText);
    case PR_INDEX:           return TPropValue::ofInt(FIndex);
    case PR_COUNT:           return TPropValue::ofInt(PageCount());
    case PR_SCROLLY:         return TPropValue::ofInt(FScrollY);
    case PR_PAUSED:          return TPropValue::ofBool(FPaused);
    case PR_TEXTPAUSED:      return TPropValue::ofBool(FTextPaused);
    case PR_TEXTDELAY:       return TPropValue::ofInt(FTextDelay);
    case PR_DELAY:           return TPropValue::ofInt(FDelay);
    case PR_ONPLAYING:       return TPropValue::ofStr(FOnPlaying);
    case PR_ONPLAYSTART:     return TPropValue::ofStr(FOnPlayStart);
    case PR_ONPLAYEND:       return TPropValue::ofStr(FOnPlayEnd);
    case PR_ONLINK:          return TPropValue::ofStr(FOnLink);
    case PR_ONNOTIFY:        return TPropValue::ofStr(FOnNotify);
    case PR_ONIDLE:          return TPropValue::ofStr(FOnIdle);
    case PR_CAPTURELINK:     return TPropValue::ofBool(FCaptureLink);
    case PR_FONTNAME:        return TPropValue::ofStr(FWord.DefaultFontName);
    case PR_FONTHEIGHT:      return TPropValue::ofInt(FWord.DefaultFontSize);
    case PR_FONTCOLOR:       return TPropValue::ofInt(FWord.DefaultFontColor);
    case PR_FONTLINKCOLOR:   return TPropValue::ofInt(FWord.LinkColor);
    case PR_FONTHOVERCOLOR:  return TPropValue::ofInt(FWord.HoverColor);
    case PR_FONTBORDERCOLOR: return TPropValue::ofInt(FWord.FontBorderColor);
    case PR_FONTSHADOWCOLOR: return TPropValue::ofInt(FWord.FontShadowColor);
    case PR_FONTBORDER:      return TPropValue::ofInt(FWord.FontBorderWidth);
    case PR_FONTSHADOW:      return TPropValue::ofInt(FWord.FontShadowOffset);
    case PR_LINESPACE:       return TPropValue::ofInt(FWord.LineSpace);
    case PR_ANTIALIAS:       return TPropValue::ofBool(FAntiAlias);
    case PR_ALPHA:           return TPropValue::ofInt(FWord.Alpha);
    case PR_CARETX:          return TPropValue::ofInt(FWord.CaretX);
    case PR_CARETY:          return TPropValue::ofInt(FWord.CaretY);
    case PR_CARETHEIGHT:     return TPropValue::ofInt(FWord.CaretHeight);
    default:                 return TZunoControl::GetProp(id);
    }
}

void TZunoMes::fontChanged() {
    FRedraw = true;
    Invalidate();
}

void TZunoMes::SetProp(int id, const TPropValue& value) {
    switch (id) {
    case PR_TEXT:            FReadMode = 0; SetText(value.Str); return;
    case PR_INDEX:           SetPageIndex(value.Int); return;
    case PR_COUNT:           return;
    case PR_SCROLLY:
        FScrollY = value.Int;
        if (auto* page = const_cast<TWdPage*>(CurrentPage()))
            page->ScrollY = FScrollY;
        fontChanged();
        return;
    case PR_PAUSED:          FPaused = value.Bool; fontChanged(); return;
    case PR_TEXTPAUSED:      FTextPaused = value.Bool; fontChanged(); return;
    case PR_TEXTDELAY:       FTextDelay = value.Int; return;
    case PR_DELAY:           FDelay = std::max(0, value.Int); return;
    case PR_ONPLAYING:       FOnPlaying = value.Str; return;
    case PR_ONPLAYSTART:     FOnPlayStart = value.Str; return;
    case PR_ONPLAYEND:       FOnPlayEnd = value.Str; return;
    case PR_ONLINK:          FOnLink = value.Str; return;
    case PR_ONNOTIFY:        FOnNotify = value.Str; FWord.CollectEvents = !FOnNotify.empty(); return;
    case PR_ONIDLE:          FOnIdle = value.Str; return;
    case PR_CAPTURELINK:     FCaptureLink = value.Bool; return;
    case PR_FONTNAME:        FWord.DefaultFontName = value.Str; fontChanged(); return;
    case PR_FONTHEIGHT:      FWord.DefaultFontSize = value.Int; fontChanged(); return;
    case PR_FONTCOLOR:       FWord.DefaultFontColor = value.Int; fontChanged(); return;
    case PR_FONTLINKCOLOR:   FWord.LinkColor = value.Int; fontChanged(); return;
    case PR_FONTHOVERCOLOR:  FWord.HoverColor = value.Int; fontChanged(); return;
    case PR_FONTBORDERCOLOR: FWord.FontBorderColor = value.Int; fontChanged(); return;
    case PR_FONTSHADOWCOLOR: FWord.FontShadowColor = value.Int; fontChanged(); return;
    case PR_FONTBORDER:      FWord.FontBorderWidth = value.Int; fontChanged(); return;
    case PR_FONTSHADOW:      FWord.FontShadowOffset = value.Int; fontChanged(); return;
    case PR_LINESPACE:       FWord.LineSpace = value.Int; fontChanged(); return;
    case PR_ANTIALIAS:
        FAntiAlias = value.Bool;
        FWord.AntiAliasLevel = FAntiAlias ? 3 : 0;
        fontChanged();
        return;
    case PR_ALPHA:           FWord.Alpha = value.Int; fontChanged(); return;
    case PR_CARETX: case PR_CARETY: case PR_CARETHEIGHT:
        return;
    case PR_WIDTH: case PR_HEIGHT:
        TZunoControl::SetProp(id, value);
        syncLayout();
        fontChanged();
        return;
    default:
        TZunoControl::SetProp(id, value);
        return;
    }
}

//==============================================================================
// Frame update and drawing
//==============================================================================

void TZunoMes::prepare(bool firstDisplay) {
    (void)firstDisplay;
    const TWdPage* page = CurrentPage();
    if (!page)
        return;
    syncLayout();
    TCustomDIBX* s = GetSurface();
    const int32_t bits = s ? s->GetBitCount() : 32;
    FWord.PreparePage(*page, bits == 15 || bits == 16 || bits == 32 ? bits : 32);
}

int TZunoMes::Update() {
    TZunoControl::Update();
    if (FStartDelay > 0) {
        --FStartDelay;
        return 0;
    }
    if (pending(PR_ONPLAYSTART))
        return 0;
    auto* page = const_cast<TWdPage*>(CurrentPage());
    if (!page)
        return 0;
    if (FRedraw) {
        prepare(FFirstDisplay);
        FRedraw = FFirstDisplay = false;
    }
    FWord.Paused = FPaused || FTextPaused;
    FWord.TextDelayRate = FTextDelay;
    FWord.FadeTime = FDelay;
    const TKsWord::TRevealResult r = FWord.Reveal(*page, FOwner ? FOwner->FrameElapsed() : 0);
    if (!r.NewText.empty() && !FOnPlaying.empty()) {
        const std::vector<std::string> args{r.NewText};
        PostEvent(PR_ONPLAYING, &args);
    }
    if (r.EventsPending) {
        const std::string text = FWord.TakeEventText(*page);
        if (!FOnNotify.empty()) {
            std::vector<std::string> lines;
            size_t from = 0;
            for (size_t i = 0; i <= text.size(); ++i)
                if (i == text.size() || text[i] == '\t') {
                    lines.push_back(text.substr(from, i - from));
                    from = i + 1;
                }
            PostEvent(PR_ONNOTIFY, &lines);
        }
    }
    if (r.Complete && !FEnded) {
        FEnded = true;
        if (FOwner && FOwner->ReadList)
            FOwner->ReadList->Commit(Name());
        PostEvent(PR_ONPLAYEND);
    }
    const std::vector<TRect> changed = FWord.TakeChangedRects();
    TZunoBase* base = GetBase();
    if (Visible() && base)
        for (const TRect& r2 : changed)
            base->AddDirtyRect(r2.offset(ScreenLeft() + FWord.OriginX, ScreenTop() + FWord.OriginY));
    return 0;
}

void TZunoMes::Draw() {
    TCustomDIBX* s = GetSurface();
    const TWdPage* page = CurrentPage();
    if (s && Visible() && page) {
        if (FRedraw) {
            prepare(FFirstDisplay);
            FRedraw = FFirstDisplay = false;
        }
        FWord.DrawPage(*page, *s, ScreenLeft() + FWord.OriginX, ScreenTop() + FWord.OriginY, s->ClipRect);
    }
    TZunoControl::Draw();
}

void TZunoMes::ReleaseSurfaces() { TZunoControl::ReleaseSurfaces(); }
void TZunoMes::RestoreSurfaces() {
    TZunoControl::RestoreSurfaces();
    FRedraw = true;
}

//==============================================================================
// Mouse
//==============================================================================

TWdGlyph* TZunoMes::linkItemAt(int32_t x, int32_t y) {
    const TWdPage* page = CurrentPage();
    if (!page)
        return nullptr;
    TWdGlyph* item = FWord.ItemAt(*page, x - ScreenLeft() - FWord.OriginX, y - ScreenTop() - FWord.OriginY);
    return linkOf(item).empty() ? nullptr : item;
}

void TZunoMes::setHoverPoint(bool none) {
    const TWdPage* page = CurrentPage();
    if (!page)
        return;
    std::vector<TWdGlyph*> run;
    TZunoBase* base = GetBase();
    TWdGlyph* hit = none || !base ? nullptr : linkItemAt(base->Input.MouseX, base->Input.MouseY);
    if (hit) {
        // The run of consecutive items with the same target, from its first item.
        const std::vector<TWdGlyph*> items = pageItems(*page);
        const auto at = std::find(items.begin(), items.end(), hit);
        const std::string& target = linkOf(hit);
        auto from = at;
        while (from != items.begin() && linkOf(*(from - 1)) == target)
            --from;
        auto to = at;
        while (to != items.end() && linkOf(*to) == target)
            ++to;
        run.assign(from, to);
    }
    FWord.SetHover(*page, run);
}

void TZunoMes::clearHover() {
    if (const TWdPage* page = CurrentPage())
        FWord.SetHover(*page, {});
}

void TZunoMes::DoMouseMove() {
    if (const TWdPage* page = CurrentPage())
        setHoverPoint(FPaused || FTextPaused || !page->Complete());
    TZunoControl::DoMouseMove();
}

void TZunoMes::DoMouseOut(TZunoControl* newHover) {
    clearHover();
    TZunoControl::DoMouseOut(newHover);
}

void TZunoMes::DoLBtnDown() {
    const std::vector<TWdGlyph*>& hovered = FWord.Hovered();
    if (!FOnLink.empty() && !hovered.empty() && !pending(PR_ONLINK)) {
        std::string shown;
        for (const TWdGlyph* item : hovered)
            if (item->IsChar())
                shown += static_cast<const TWdChar*>(item)->Text();
            else if (item->Kind() == TWdKind::Image)
                shown += '*';
        std::vector<std::string> args{shown};
        for (std::string& line : splitLines(linkOf(hovered.front())))
            args.push_back(std::move(line));
        PostEvent(PR_ONLINK, &args);
        if (TZunoBase* base = GetBase())
            base->Input.LPushed = false;
        return;
    }
    TZunoControl::DoLBtnDown();
}

TZunoControl* TZunoMes::HitTest(int32_t x, int32_t y, TIgnoreMouseSet accepted) {
    if (!Visible() || !GetClientRect().contains(x, y))
        return nullptr;
    for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it)
        if (TZunoControl* h = (*it)->HitTest(x, y, accepted))
            return h;
    if (!(accepted & imBit(FIgnoreMouse)))
        return nullptr;
    if (FCaptureLink && !linkItemAt(x, y))
        return nullptr;
    return this;
}

//==============================================================================
// Save record
//==============================================================================

namespace {

void writeWordSettings(TStream& s, const TKsWord& w) {
    WriteString(s, w.DefaultFontName);
    for (int32_t v : {w.DefaultFontSize, w.DefaultFontColor, w.LinkColor, w.HoverColor, w.FontBorderColor,
                      w.FontShadowColor, w.FontBorderWidth, w.FontShadowOffset, w.LineSpace, w.Alpha,
                      w.AntiAliasLevel, w.OriginX, w.OriginY})
        WriteInt(s, v);
}

void readWordSettings(TStream& s, TKsWord& w) {
    w.DefaultFontName = ReadString(s);
    for (int32_t* v : {&w.DefaultFontSize, &w.DefaultFontColor, &w.LinkColor, &w.HoverColor, &w.FontBorderColor,
                       &w.FontShadowColor, &w.FontBorderWidth, &w.FontShadowOffset, &w.LineSpace, &w.Alpha,
                       &w.AntiAliasLevel, &w.OriginX, &w.OriginY})
        *v = ReadInt(s);
}

} // namespace

void TZunoMes::SaveToStream(TStream& s) {
    TZunoControl::SaveToStream(s);
    writeWordSettings(s, FWord);
    FMesData.SaveRecord(s);
    WriteByte(s, FHistParam1);
    WriteInt(s, FHistParam2);
    WriteString(s, FText);
    WriteInt(s, FIndex);
    WriteInt(s, FScrollY);
    WriteInt(s, FCommandInt);
    for (const std::string& t : FReserved)
        WriteString(s, t);
    for (const std::string* t : {&FOnPlaying, &FOnPlayStart, &FOnPlayEnd, &FOnLink, &FOnNotify})
        WriteString(s, *t);
    WriteBool(s, FPaused);
    WriteBool(s, FTextPaused);
    WriteInt(s, FTextDelay);
    WriteByte(s, FReadMode);
    WriteString(s, FReadSource);
    WriteInt(s, FReadPosition);
    WriteString(s, FOnIdle);
    WriteBool(s, FCaptureLink);
    // Every page's reveal state: cursor, then each item's alpha.
    TKsMemoryStream state;
    WriteInt(state, PageCount());
    for (const auto& page : FPages) {
        WriteInt(state, static_cast<int32_t>(page->CursorRow));
        WriteInt(state, static_cast<int32_t>(page->CursorItem));
        const std::vector<TWdGlyph*> items = pageItems(*page);
        WriteInt(state, static_cast<int32_t>(items.size()));
        for (const TWdGlyph* item : items)
            WriteByte(state, static_cast<uint8_t>(std::clamp(item->Alpha, 0, 255)));
    }
    WriteInt(s, static_cast<int32_t>(state.Data().size()));
    s.WriteBuffer(state.Data().data(), static_cast<int64_t>(state.Data().size()));
}

void TZunoMes::LoadFromStream(TStream& s, int32_t version) {
    TZunoControl::LoadFromStream(s, version);
    readWordSettings(s, FWord);
    FAntiAlias = FWord.AntiAliasLevel != 0;
    FMesData.LoadRecord(s, version);
    FHistParam1 = ReadByte(s);
    FHistParam2 = version > 112 ? ReadInt(s) : 0;
    FText = ReadString(s);
    FLoadedIndex = ReadInt(s);
    FLoadedScroll = ReadInt(s);
    FCommandInt = ReadInt(s);
    for (std::string& t : FReserved)
        t = ReadString(s);
    for (std::string* t : {&FOnPlaying, &FOnPlayStart, &FOnPlayEnd, &FOnLink, &FOnNotify})
        *t = ReadString(s);
    FWord.CollectEvents = !FOnNotify.empty();
    FPaused = ReadBool(s);
    FTextPaused = ReadBool(s);
    FTextDelay = ReadInt(s);
    FReadMode = ReadByte(s);
    FReadSource = ReadString(s);
    FReadPosition = ReadInt(s);
    if (version > 103)
        FOnIdle = ReadString(s);
    if (version >= 120)
        FCaptureLink = ReadBool(s);
    const int32_t n = ReadInt(s);
    checkCount(s, n, 1, "message page state");
    if (n > kMaxItemStateBytes)
        throw EZunoError::fromUtf8("データが壊れています (message page state)");
    FLoadedItemState.resize(static_cast<size_t>(std::max(n, 0)));
    if (n > 0)
        s.ReadBuffer(FLoadedItemState.data(), n);
    freePages();
    FIndex = -1;
}

void TZunoMes::RestoreAfterLoad() {
    freePages();
    syncLayout();
    const int32_t readMode = FReadMode;
    try {
        if (!FMesData.IsEmpty()) {
            FMesData.BuildPages(FWord, FPages, FHistParam1 != 0, FHistParam2, FOwner ? FOwner->TextSource : nullptr);
        } else {
            FWord.SetText(FText);
            FWord.RefreshVars();
            FWord.Layout(0, -1, FPages);
        }
    } catch (const EZunoError&) {
        FPages.clear();
        FWord.ClearItems();
    }
    syncLayout();
    FReadMode = static_cast<uint8_t>(readMode);
    FIndex = FLoadedIndex >= 0 && FLoadedIndex < PageCount() ? FLoadedIndex : -1;
    FScrollY = FLoadedScroll;
    // Each page reads back its reveal state; a state that does not fit the
    // pages as laid out now is left as it is.
    TKsMemoryStream state(FLoadedItemState);
    try {
        const int32_t pages = state.Remaining() >= 4 ? ReadInt(state) : 0;
        for (int32_t p = 0; p < pages && p < PageCount(); ++p) {
            TWdPage& page = *FPages[static_cast<size_t>(p)];
            const int32_t row = ReadInt(state), item = ReadInt(state), count = ReadInt(state);
            checkCount(state, count, 1, "message page state");
            const std::vector<TWdGlyph*> items = pageItems(page);
            for (int32_t i = 0; i < count; ++i) {
                const uint8_t alpha = ReadByte(state);
                if (static_cast<size_t>(i) < items.size())
                    items[static_cast<size_t>(i)]->Alpha = alpha;
            }
            page.CursorRow = static_cast<size_t>(std::clamp<int32_t>(row, 0, static_cast<int32_t>(page.Rows.size())));
            page.CursorItem = static_cast<size_t>(std::max(item, 0));
            page.Started = true;
        }
    } catch (const EZunoError&) {
    }
    FLoadedItemState.clear();
    if (auto* page = const_cast<TWdPage*>(CurrentPage())) {
        page->ScrollY = FScrollY;
        FEnded = page->Complete();
        FRedraw = true;
        FFirstDisplay = false;
    }
    Invalidate();
}

} // namespace zuno
