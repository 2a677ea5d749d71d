// TZunoPrevMenu: items from the film's image tracks, thumbnails, the choice
// and the save record. TZunoPrevImages: the lit or dimmed thumbnail.
#include "objects/TZunoPrevMenu.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "archive/TVrFileManager.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "core/TextHelpers.h"
#include "imaging/TCustomDIBX.h"
#include "objects/TCustomFrameList.h"
#include "objects/TDrelCollection.h"
#include "objects/TFilmManager.h"
#include "objects/TZunoBase.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoCustomImage.h"

namespace zuno {

namespace {

constexpr double kFrameMs = 1000.0 / 60.0;

// The name an item takes from its image file: without folder and extension.
std::string itemNameOfFile(const std::string& file) {
    const size_t slash = file.find_last_of("\\/");
    std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return name;
}

} // namespace

//==============================================================================
// Thumbnail
//==============================================================================

void TZunoPrevImages::SetLight(int32_t light) {
    if (light == FLight)
        return;
    FLight = light;
    Invalidate();
}

void TZunoPrevImages::AfterDraw() {
    TCustomDIBX* s = GetSurface();
    if (!s || FLight == 0)
        return;
    const uint32_t v = static_cast<uint32_t>(std::min(std::abs(FLight), 255));
    const uint32_t pixel = s->ColorToPixel(v | v << 8 | v << 16);
    if (FLight > 0)
        s->FillRectAdd(GetClientRect(), pixel);
    else
        s->FillRectSub(GetClientRect(), pixel);
}

//==============================================================================
// Source and items
//==============================================================================

TZunoPrevMenu::TZunoPrevMenu() = default;

// The thumbnails are children: the registry frees them with the menu.
TZunoPrevMenu::~TZunoPrevMenu() = default;

TZunoPrevImages* TZunoPrevMenu::Thumbnail(int32_t item) {
    if (item < 0 || item >= ItemCount())
        return nullptr;
    TZunoPrevImages* t = FItems[size_t(item)].Thumb;
    // A thumbnail deleted on its own has left the children.
    return t && std::find(FChildren.begin(), FChildren.end(), t) != FChildren.end() ? t : nullptr;
}

// Per item its thumbnail, or none when it is gone, in one pass over the children.
std::vector<TZunoPrevImages*> TZunoPrevMenu::liveThumbnails() {
    const std::unordered_set<const TZunoControl*> children(FChildren.begin(), FChildren.end());
    std::vector<TZunoPrevImages*> out;
    out.reserve(FItems.size());
    for (const TItem& item : FItems)
        out.push_back(item.Thumb && children.count(item.Thumb) ? item.Thumb : nullptr);
    return out;
}

std::string TZunoPrevMenu::ItemName(int32_t item) const {
    return item >= 0 && item < ItemCount() ? FItems[size_t(item)].Name : std::string();
}

void TZunoPrevMenu::clearItems() {
    for (int32_t i = 0; i < ItemCount(); ++i)
        if (TZunoPrevImages* t = Thumbnail(i); t && FOwner && !FOwner->TearingDown())
            FOwner->DeleteObject(t);
    FItems.clear();
    FHover = -1;
}

void TZunoPrevMenu::buildItems() {
    std::unordered_map<const TCustomFrameList*, size_t> itemOfFirst;
    for (int i = 0; i < FFilm->Count(); ++i) {
        TCustomFrameList* t = FFilm->GetTrack(i);
        if (!t || t->Kind() != FK_IMAGE)
            continue;
        auto* track = static_cast<TImageFrameList*>(t);
        const TCustomFrameList* first = t->ChainFirst();
        auto found = itemOfFirst.find(first);
        if (found == itemOfFirst.end()) {
            found = itemOfFirst.emplace(first, FItems.size()).first;
            TItem item;
            item.Name = itemNameOfFile(static_cast<const TImageFrameList*>(first)->FileName);
            FItems.push_back(std::move(item));
        }
        FItems[found->second].Tracks.push_back(track);
    }
    if (!FOwner)
        return;
    for (TItem& item : FItems) {
        auto thumb = std::make_unique<TZunoPrevImages>();
        TZunoPrevImages* t = thumb.get();
        FOwner->Register(std::move(thumb));
        t->SetName(FOwner->MakeUniqueName("\x01" + Name() + "\x01"));
        t->SetProp(PR_IGNOREMOUSE, TPropValue::ofInt(IM_ALL));       // the menu hears the mouse
        t->SetParent(this);
        item.Thumb = t;
    }
}

void TZunoPrevMenu::SetSource(const std::string& text) {
    if (text == FSource)
        return;
    Invalidate();
    FSource = text;
    clearItems();
    FFilm.reset();
    FElapsed = 0;
    FFrame = -1;
    FEnded = false;
    TVrFileManager* files = TDrelCollection::Instance().FileManager();
    if (!text.empty() && files && files->Exists(text)) {
        FFilm = std::make_unique<TFilmManager>();
        FFilm->MotionMode = true;
        FFilm->SetRegistry(FOwner);
        FFilm->GlobalRegistry = FOwner;
        try {
            FFilm->LoadFromFile(*files, text);
        } catch (const EZunoError&) {
            FFilm->Clear();                             // a version that is no number: no items
        }
        buildItems();
        SetWidth(FFilm->ScreenWidth);
        SetHeight(FFilm->ScreenHeight);
        showFrame(0);
    } else {
        SetWidth(0);
        SetHeight(0);
    }
    Invalidate();
}

void TZunoPrevMenu::showFrame(int32_t frame) {
    FFrame = frame;
    if (!FFilm)
        return;
    const std::vector<TZunoPrevImages*> thumbs = liveThumbnails();
    for (int32_t i = 0; i < ItemCount(); ++i) {
        TZunoPrevImages* t = thumbs[size_t(i)];
        if (!t)
            continue;
        FFilm->Target = t;
        for (TImageFrameList* track : FItems[size_t(i)].Tracks)
            track->Update(frame);
        // The film gives motion positions; a thumbnail has no motion of its
        // own to place it by them, so they become its place in the menu.
        t->SetLeft(t->MotionX());
        t->SetTop(t->MotionY());
        t->SetLight(i == FHover ? kHoverLight : FItems[size_t(i)].Enabled ? 0 : -kDisabledDim);
        t->SetVisible(FItems[size_t(i)].Visible);
    }
    FFilm->Target = nullptr;
    SortChildren();
    // Thumbnails the film moves come to or leave a mouse that stands still.
    TZunoBase* b = GetBase();
    if (b && b->Hover == this && !FEventsSuppressed)
        SetHover(itemAtMouse());
}

//==============================================================================
// Item states and names
//==============================================================================

bool TZunoPrevMenu::choosable(int32_t item) {
    return item >= 0 && item < ItemCount() && FItems[size_t(item)].Enabled && FItems[size_t(item)].Visible &&
           Thumbnail(item);
}

void TZunoPrevMenu::refreshLight(int32_t item) {
    if (TZunoPrevImages* t = Thumbnail(item)) {
        const TItem& it = FItems[size_t(item)];
        t->SetLight(item == FHover ? kHoverLight : it.Enabled ? 0 : -kDisabledDim);
        t->SetVisible(it.Visible);
    }
}

int32_t TZunoPrevMenu::GetItemState(TItemState what, int32_t item) {
    if (item < 0 || item >= ItemCount())
        return 0;
    const TItem& it = FItems[size_t(item)];
    switch (what) {
    case isCheck:    return it.Checked;
    case isEnabled:  return it.Enabled;
    case isVisible:  return it.Visible;
    case isSelected: return it.Selected;
    default:         return 0;
    }
}

void TZunoPrevMenu::SetItemState(TItemState what, int32_t item, int32_t value) {
    if (item < 0 || item >= ItemCount())
        return;
    TItem& it = FItems[size_t(item)];
    const bool on = value != 0;
    switch (what) {
    case isCheck:    it.Checked = on; break;
    case isEnabled:  it.Enabled = on; break;
    case isVisible:  it.Visible = on; break;
    case isSelected: it.Selected = on; break;
    default:         return;
    }
    // An item that can no longer be chosen loses the hover.
    if (item == FHover && !choosable(item))
        SetHover(-1);
    refreshLight(item);
}

int32_t TZunoPrevMenu::ItemIndexOfName(const std::string& name) {
    for (int32_t i = 0; i < ItemCount(); ++i)
        if (FItems[size_t(i)].Name == name)
            return i;
    return -1;
}

std::string TZunoPrevMenu::itemText() const {
    std::string out;
    for (size_t i = 0; i < FItems.size(); ++i) {
        if (i > 0)
            out += "\r\n";
        out += FItems[i].Name;
    }
    return out;
}

void TZunoPrevMenu::setItemText(const std::string& text) {
    const std::vector<std::string> lines = splitLines(text);
    for (size_t i = 0; i < lines.size() && i < FItems.size(); ++i)
        FItems[i].Name = lines[i];
}

//==============================================================================
// Hover and choice
//==============================================================================

void TZunoPrevMenu::SetHover(int32_t item) {
    if (item == FHover)
        return;
    const int32_t old = FHover;
    const bool waitingOut = FOwner && FOwner->Events().FindPending(this, PR_ONMAPOUT) >= 0;
    if (old >= 0 && old < ItemCount() && !waitingOut) {
        const std::vector<std::string> args{ItemName(old), std::to_string(old)};
        PostEvent(PR_ONMAPOUT, &args);
    }
    FHover = item;
    refreshLight(old);
    refreshLight(item);
    const bool waitingIn = FOwner && FOwner->Events().FindPending(this, PR_ONMAPIN) >= 0;
    if (item >= 0 && item < ItemCount() && !waitingIn) {
        const std::vector<std::string> args{ItemName(item), std::to_string(item)};
        PostEvent(PR_ONMAPIN, &args);
    }
}

void TZunoPrevMenu::reportChoice(const std::string& text, int32_t index) {
    if (FOwner)
        FOwner->ReportChoice(text, index);
}

void TZunoPrevMenu::Select() {
    if (!choosable(FHover))
        return;
    for (int32_t i = 0; i < ItemCount(); ++i)
        FItems[size_t(i)].Selected = i == FHover;
    const std::string name = ItemName(FHover);
    reportChoice(name, FHover);
    if (!FEventsSuppressed && !(FOwner && FOwner->Events().FindPending(this, PR_ONSELECT) >= 0)) {
        const std::vector<std::string> args{name, std::to_string(FHover)};
        PostEvent(PR_ONSELECT, &args);
    }
    if (FAutoScrap)
        FClosing = 100;
}

void TZunoPrevMenu::scrap() {
    reportChoice({}, -1);
    FClosing = 100;
}

//==============================================================================
// Input
//==============================================================================

int32_t TZunoPrevMenu::itemAtMouse() {
    TZunoBase* b = GetBase();
    if (!b)
        return -1;
    const int32_t x = b->Input.MouseX, y = b->Input.MouseY;
    std::unordered_map<const TZunoControl*, int32_t> itemOf;
    for (int32_t i = 0; i < ItemCount(); ++i)
        if (FItems[size_t(i)].Thumb)
            itemOf.emplace(FItems[size_t(i)].Thumb, i);
    // The thumbnail drawn last is on top.
    for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it) {
        const auto found = itemOf.find(*it);
        if (found == itemOf.end())
            continue;
        const TItem& item = FItems[size_t(found->second)];
        if (item.Enabled && item.Visible && (*it)->Visible() && (*it)->GetClientRect().contains(x, y))
            return found->second;
    }
    return -1;
}

void TZunoPrevMenu::DoMouseMove() {
    if (!FEventsSuppressed)
        SetHover(itemAtMouse());
    TZunoControl::DoMouseMove();
}

void TZunoPrevMenu::DoMouseOut(TZunoControl* newHover) {
    if (!FEventsSuppressed)
        SetHover(-1);
    TZunoControl::DoMouseOut(newHover);
}

void TZunoPrevMenu::DoLBtnDown() {
    if (!FEventsSuppressed && (FIgnoreMouse == IM_NONE || FIgnoreMouse == IM_RCLICK) && !FPaused) {
        SetHover(itemAtMouse());
        if (FHover >= 0)
            Select();
    }
    TZunoControl::DoLBtnDown();
}

// The next choosable item from `from` in direction `step`, round the end; -1 when none.
int32_t TZunoPrevMenu::stepItem(int32_t from, int32_t step) {
    const int32_t n = ItemCount();
    int32_t i = from;
    for (int32_t k = 0; k < n; ++k) {
        i = (i + step + n) % n;
        if (choosable(i))
            return i;
    }
    return -1;
}

void TZunoPrevMenu::DoKeys() {
    if (FEventsSuppressed || !FOwner)
        return;
    const int32_t n = ItemCount();
    const bool back = FOwner->KeyRepeated(37) || FOwner->KeyRepeated(38);
    const bool forward = FOwner->KeyRepeated(39) || FOwner->KeyRepeated(40);
    if (n > 0 && (back || forward)) {
        if (FHover < 0) {
            // Keys start at the item the film begins with.
            int32_t start = -1;
            if (const TCustomFrameList* first = FFilm ? FFilm->FirstTrackAtZero() : nullptr)
                for (int32_t i = 0; i < n && start < 0; ++i)
                    for (const TImageFrameList* t : FItems[size_t(i)].Tracks)
                        if (t == first)
                            start = i;
            SetHover(choosable(start) ? start : stepItem(-1, 1));
        } else {
            SetHover(stepItem(FHover, back ? -1 : 1));
        }
    } else if ((FOwner->KeyPushed(13) || FOwner->KeyPushed(32)) && FHover >= 0 && !FPaused) {
        Select();
    } else if (FRClickScrap && FOwner->KeyPushed(27)) {
        FEventsSuppressed = true;
        scrap();
    }
}

bool TZunoPrevMenu::DoRClickScrap() {
    if (FEventsSuppressed || (FIgnoreMouse != IM_NONE && FIgnoreMouse != IM_LCLICK))
        return false;
    FEventsSuppressed = true;
    scrap();
    return true;
}

//==============================================================================
// Frames
//==============================================================================

int TZunoPrevMenu::Update() {
    if (const int answer = TZunoControl::Update(); answer != 0)
        return answer;
    if (FClosing == 100) {
        FEventsSuppressed = true;
        FClosing = 101;
        return 0;
    }
    if (FClosing == 101)
        return 1;
    if (!FFilm || FFilm->Length() <= 0)
        return 0;
    if (!AniPaused() && !FEnded && FFrame >= 0)
        FElapsed += FOwner ? FOwner->FrameElapsed() : 0;
    int64_t c = static_cast<int64_t>(std::nearbyint(double(FElapsed) / kFrameMs));
    const int32_t length = FFilm->Length();
    if (c >= length) {
        if (!FEnded)
            PostEvent(PR_ONPLAYEND);
        FEnded = true;
        c = length - 1;
    }
    c = std::max<int64_t>(c, 0);
    if (c != FFrame)
        showFrame(static_cast<int32_t>(c));
    return 0;
}

//==============================================================================
// Properties
//==============================================================================

bool TZunoPrevMenu::ImplementsProperty(int id) const {
    switch (id) {
    case PR_SOURCE: case PR_PAUSED: case PR_ONPLAYEND: case PR_COUNT: case PR_TEXT: case PR_AUTOSCRAP:
    case PR_ONSELECT: case PR_RCLICKSCRAP: case PR_ONMAPIN: case PR_ONMAPOUT: case PR_ONIDLE:
        return true;
    default:
        return TZunoControl::ImplementsProperty(id);
    }
}

TPropValue TZunoPrevMenu::GetProp(int id) {
    switch (id) {
    case PR_SOURCE:      return TPropValue::ofStr(FSource);
    case PR_PAUSED:      return TPropValue::ofBool(FPaused);
    case PR_ONPLAYEND:   return TPropValue::ofStr(FOnPlayEnd);
    case PR_COUNT:       return TPropValue::ofInt(ItemCount());
    case PR_TEXT:        return TPropValue::ofStr(itemText());
    case PR_AUTOSCRAP:   return TPropValue::ofBool(FAutoScrap);
    case PR_ONSELECT:    return TPropValue::ofStr(FOnSelect);
    case PR_RCLICKSCRAP: return TPropValue::ofBool(FRClickScrap);
    case PR_ONMAPIN:     return TPropValue::ofStr(FOnMapIn);
    case PR_ONMAPOUT:    return TPropValue::ofStr(FOnMapOut);
    case PR_ONIDLE:      return TPropValue::ofStr(FOnIdle);
    default:             return TZunoControl::GetProp(id);
    }
}

void TZunoPrevMenu::SetProp(int id, const TPropValue& v) {
    switch (id) {
    case PR_SOURCE:      SetSource(v.Str); return;
    case PR_PAUSED:      FPaused = v.Bool; return;
    case PR_ONPLAYEND:   FOnPlayEnd = v.Str; return;
    case PR_COUNT:       return;                                    // the film gives the items
    case PR_TEXT:        setItemText(v.Str); return;
    case PR_AUTOSCRAP:   FAutoScrap = v.Bool; return;
    case PR_ONSELECT:    FOnSelect = v.Str; return;
    case PR_RCLICKSCRAP: FRClickScrap = v.Bool; return;
    case PR_ONMAPIN:     FOnMapIn = v.Str; return;
    case PR_ONMAPOUT:    FOnMapOut = v.Str; return;
    case PR_ONIDLE:      FOnIdle = v.Str; return;
    default:             TZunoControl::SetProp(id, v); return;
    }
}

//==============================================================================
// Save record
//==============================================================================

void TZunoPrevMenu::SaveToStream(TStream& s) {
    TZunoControl::SaveToStream(s);
    WriteString(s, FSource);
    WriteString(s, itemText());
    WriteBool(s, FAutoScrap);
    WriteBool(s, FRClickScrap);
    WriteString(s, FOnPlayEnd);
    WriteString(s, FOnSelect);
    WriteString(s, FOnMapIn);
    WriteString(s, FOnMapOut);
    WriteString(s, FOnIdle);
    WriteBool(s, FPaused);
    WriteInt(s, static_cast<int32_t>(std::min<int64_t>(FElapsed, INT32_MAX)));
    WriteBool(s, FEnded);
    WriteInt(s, FClosing);
    WriteInt(s, ItemCount());
    for (const TItem& it : FItems)
        for (bool b : {it.Enabled, it.Visible, it.Checked, it.Selected})
            WriteBool(s, b);
}

void TZunoPrevMenu::LoadFromStream(TStream& s, int32_t version) {
    TZunoControl::LoadFromStream(s, version);
    const int32_t width = FWidth, height = FHeight;
    const std::string source = ReadString(s);
    const std::string names = ReadString(s);
    FSource.clear();
    SetSource(source);
    setItemText(names);
    SetWidth(width);
    SetHeight(height);
    FAutoScrap = ReadBool(s);
    FRClickScrap = ReadBool(s);
    FOnPlayEnd = ReadString(s);
    FOnSelect = ReadString(s);
    FOnMapIn = ReadString(s);
    FOnMapOut = ReadString(s);
    if (version > 103) {
        FOnIdle = ReadString(s);
        FPaused = ReadBool(s);
    }
    FElapsed = std::max(ReadInt(s), 0);
    const bool ended = ReadBool(s);
    if (version > 114)
        FClosing = ReadInt(s);
    const int32_t count = ReadInt(s);
    checkCount(s, count, 4, "preview menu items");
    for (int32_t i = 0; i < count; ++i) {
        bool states[4];
        for (bool& b : states)
            b = ReadBool(s);
        if (i < ItemCount()) {
            TItem& it = FItems[size_t(i)];
            it.Enabled = states[0], it.Visible = states[1], it.Checked = states[2], it.Selected = states[3];
        }
    }
    if (FFilm && FFilm->Length() > 0) {
        const int64_t c = std::clamp<int64_t>(std::llround(double(FElapsed) / kFrameMs), 0, FFilm->Length() - 1);
        showFrame(static_cast<int32_t>(c));
    }
    FEnded = ended;
}

} // namespace zuno
