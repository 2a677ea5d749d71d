#include "objects/TZunoBaseList.h"

#include <algorithm>
#include <charconv>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "imaging/TDIBX.h"
#include "imaging/WipeFactory.h"
#include "objects/TZunoBox.h"
#include "objects/TZunoButton.h"
#include "objects/TZunoCGLabel.h"
#include "objects/TZunoCabinet.h"
#include "objects/TZunoCinema.h"
#include "objects/TZunoCustomImage.h"
#include "objects/TZunoCustomListBox.h"
#include "objects/TZunoEdit.h"
#include "objects/TZunoFire.h"
#include "objects/TZunoHttp.h"
#include "objects/TZunoLabel.h"
#include "objects/TZunoMapImage.h"
#include "objects/TZunoMes.h"
#include "objects/TZunoParticle.h"
#include "objects/TZunoWave.h"
#include "objects/TZunoPrevMenu.h"
#include "objects/TZunoPropMotion.h"
#include "objects/TZunoSlider.h"
#include "objects/TZunoSound.h"
#include "objects/TZunoTimer.h"
#include "objects/TZunoVideo.h"

namespace zuno {

static const std::string kScreen0Name("\x01" "BASE0");
static const std::string kScreen1Name("\x01" "BASE1");
static const std::string kOtherScreenName("\x01");

TZunoBaseList::TZunoBaseList() { makeScreens(0, 0); }

TZunoBaseList::~TZunoBaseList() {
    // Plain teardown: nothing may call back into a half-destroyed registry.
    FTearingDown = true;
    FTransition.reset();
    FPending.clear();
    FRClickScrap.clear();
    FFocus = nullptr;
    FObjects.clear();
}

void TZunoBaseList::makeScreens(int32_t mouseX, int32_t mouseY) {
    for (int i = 0; i < 2; ++i) {
        auto s = std::make_unique<TZunoBase>(i);
        s->FOwner = this;
        s->FName = i == 0 ? kScreen0Name : kScreen1Name;
        s->FWidth = FWidth;
        s->FHeight = FHeight;
        s->Input.MouseX = mouseX;
        s->Input.MouseY = mouseY;
        FScreens[size_t(i)] = std::move(s);
    }
}

void TZunoBaseList::Reset() {
    const TScreenInput mouse = ActiveScreen();
    FTransition.reset();
    FTransitionKind = 0;
    FTransitionDuration = FTransitionProgress = 0;
    FEvents.Clear();
    FFocus = nullptr;
    FFocusSearch = false;
    FPending.clear();
    FRClickScrap.clear();
    FTearingDown = true;
    FObjects.clear();
    FTearingDown = false;
    makeScreens(mouse.MouseX, mouse.MouseY);
    SetSize(FWidth, FHeight);
}

void TZunoBaseList::SetSize(int32_t width, int32_t height) {
    width = std::clamp(width, 0, kMaxSceneSize);
    height = std::clamp(height, 0, kMaxSceneSize);
    if (width != FWidth || height != FHeight) {
        FTransition.reset();                    // its surfaces change size under it
        FTransitionKind = 0;
    }
    FWidth = width;
    FHeight = height;
    for (auto& s : FScreens) {
        s->FWidth = FWidth;
        s->FHeight = FHeight;
        s->DirtyList().Clear();
        s->MarkAllDirty();
    }
    if (FOwnOutput)
        FOwnOutput->SetSize(std::max(FWidth, 1), std::max(FHeight, 1), 32);
}

//==============================================================================
// Objects
//==============================================================================

TZunoObject* TZunoBaseList::Register(std::unique_ptr<TZunoObject> object) {
    TZunoObject* o = object.get();
    o->FOwner = this;
    FObjects.push_back(std::move(object));
    if (o->WantsAutoName())
        o->FName = MakeUniqueName("object");
    // Menus, map images and preview menus hear right clicks first while they exist.
    if (o->GetCompoType() == LT_MENU || o->GetCompoType() == LT_MAPIMG || o->GetCompoType() == LT_PREVMENU)
        AddRClickScrap(o->AsControl());
    return o;
}

std::unique_ptr<TZunoObject> TZunoBaseList::NewByKind(uint8_t kind) {
    switch (kind & 0x7F) {
    case LT_BOX:        return std::make_unique<TZunoBox>();
    case LT_BUTTON:     return std::make_unique<TZunoButton>();
    case LT_CINEMA:     return std::make_unique<TZunoCinema>();
    case LT_EDIT:       return std::make_unique<TZunoEdit>();
    case LT_FIRE:       return std::make_unique<TZunoFire>();
    case LT_HTTP:       return std::make_unique<TZunoHttp>();
    case LT_IMAGES:     return std::make_unique<TZunoImages>();
    case LT_LABEL:      return std::make_unique<TZunoLabel>();
    case LT_MEMO:       return std::make_unique<TZunoMemo>();
    case LT_MENU:       return std::make_unique<TZunoMenu>();
    case LT_MES:        return std::make_unique<TZunoMes>();
    case LT_PARTICLE:   return std::make_unique<TZunoParticle>();
    case LT_TIMER:      return std::make_unique<TZunoTimer>();
    case LT_VIDEO:      return std::make_unique<TZunoVideo>();
    case LT_SOUND:      return std::make_unique<TZunoSound>();
    case LT_MAPIMG:     return std::make_unique<TZunoMapImage>();
    case LT_WAVE:       return std::make_unique<TZunoWave>();
    case LT_TILE:       return std::make_unique<TZunoTile>();
    case LT_SLIDER:     return std::make_unique<TZunoSlider>();
    case LT_SCROLLBAR:  return std::make_unique<TZunoScrollbar>();
    case LT_GAUGE:      return std::make_unique<TZunoGauge>();
    case LT_CGLABEL:    return std::make_unique<TZunoCGLabel>();
    case LT_PREVMENU:   return std::make_unique<TZunoPrevMenu>();
    case LT_PROPMOTION: return std::make_unique<TZunoPropMotion>();
    case LT_CABINET:    return std::make_unique<TZunoCabinet>();
    default:            return nullptr;          // LT_NONE, LT_AUDIO, LT_MAP, no kind
    }
}

TZunoObject* TZunoBaseList::CreateByKind(uint8_t kind) {
    auto o = NewByKind(kind);
    return o ? Register(std::move(o)) : nullptr;
}

bool TZunoBaseList::IsRegistered(const TZunoNamedObject* object) const {
    return object && std::any_of(FObjects.begin(), FObjects.end(),
                                 [object](const auto& o) { return o.get() == object; });
}

bool TZunoBaseList::IsAlive(const TZunoObject* object) const {
    return object && (object == FScreens[0].get() || object == FScreens[1].get() || IsRegistered(object));
}

int TZunoBaseList::IndexOfName(const std::string& name) const {
    for (size_t i = 0; i < FObjects.size(); ++i)
        if (FObjects[i]->Name() == name)
            return static_cast<int>(i);
    return -1;
}

std::string TZunoBaseList::MakeUniqueName(const std::string& base) const {
    // At most ObjectCount() candidates are taken, so this ends.
    for (int64_t n = 0;; ++n) {
        std::string candidate = base + std::to_string(n);
        if (IndexOfName(candidate) < 0)
            return candidate;
    }
}

std::string TZunoBaseList::NumberedName(const std::string& name) const {
    std::string base = name;
    int64_t counter = 2;
    const size_t us = name.rfind('_');
    if (us != std::string::npos && us + 1 < name.size()) {
        const char* first = name.data() + us + 1;
        const char* last = name.data() + name.size();
        int32_t n = 0;
        const auto [end, ec] = std::from_chars(first, last, n);
        if (ec == std::errc() && end == last && *first != '-' && *first != '+' && n > 1) {
            base = name.substr(0, us);
            counter = n;
        }
    }
    for (;; ++counter) {
        std::string candidate = base + "_" + std::to_string(counter);
        if (IndexOfName(candidate) < 0)
            return candidate;
    }
}

TZunoComponent* TZunoBaseList::FindComponent(const std::string& name) const {
    if (name.empty() || name == kScreen0Name)
        return ActiveBase();
    if (name == kOtherScreenName || name == kScreen1Name)
        return GetScreen(FActiveIndex ^ 1);
    for (const auto& o : FObjects)
        if (o->IsComponent() && o->Name() == name)
            return static_cast<TZunoComponent*>(o.get());
    return nullptr;
}

TZunoControl* TZunoBaseList::FindControl(const std::string& name) const {
    if (name.empty())
        return ActiveBase();
    if (name == kOtherScreenName)
        return GetScreen(FActiveIndex ^ 1);
    if (name == kScreen0Name)
        return GetScreen(0);
    if (name == kScreen1Name)
        return GetScreen(1);
    for (const auto& o : FObjects)
        if (TZunoControl* c = o->AsControl(); c && c->Name() == name)
            return c;
    return nullptr;
}

int TZunoBaseList::ListNames(std::vector<std::string>& list, uint8_t kind, const TZunoObject* parent) const {
    int added = 0;
    for (const auto& o : FObjects) {
        if (kind != LT_NONE && o->GetCompoType() != kind)
            continue;
        if (parent != this) {
            const TZunoControl* c = o->AsControl();
            if ((c ? c->Parent() : nullptr) != parent)
                continue;
        }
        list.push_back(o->Name());
        ++added;
    }
    return added;
}

//==============================================================================
// Deletion
//==============================================================================

std::unique_ptr<TZunoObject> TZunoBaseList::unregister(TZunoObject* object) {
    for (auto it = FObjects.begin(); it != FObjects.end(); ++it)
        if (it->get() == object) {
            std::unique_ptr<TZunoObject> owned = std::move(*it);
            FObjects.erase(it);
            return owned;
        }
    return nullptr;
}

void TZunoBaseList::DeleteObject(TZunoObject* object) {
    if (!object || !IsRegistered(object))
        return;
    if (TZunoControl* c = object->AsControl(); c && c->FParent) {
        c->Invalidate();
        std::erase(c->FParent->FChildren, c);
        c->FParent = nullptr;
    }
    freeObject(unregister(object));
}

void TZunoBaseList::freeObject(std::unique_ptr<TZunoObject> object) {
    TZunoObject* o = object.get();
    if (TZunoControl* c = o->AsControl()) {
        for (TZunoControl* child : std::vector<TZunoControl*>(c->FChildren)) {
            child->FParent = nullptr;
            if (auto owned = unregister(child))
                freeObject(std::move(owned));
        }
        c->FChildren.clear();
        c->dropMotions();
        if (FFocus == c) {
            FFocus = nullptr;
            FFocusSearch = true;
        }
        for (auto& s : FScreens)
            if (s->Hover == c)
                s->Hover = nullptr;
        std::erase(FRClickScrap, c);
    }
    FEvents.RemoveWaitingOf(o);
    std::erase(FPending, o);
    // `object` goes out of scope here and frees the object.
}

void TZunoBaseList::ScheduleDelete(TZunoObject* object) {
    if (!object)
        return;
    if (std::find(FPending.begin(), FPending.end(), object) == FPending.end())
        FPending.push_back(object);
    object->FName.clear();
}

bool TZunoBaseList::IsPendingDelete(const TZunoObject* object) const {
    return std::find(FPending.begin(), FPending.end(), object) != FPending.end();
}

void TZunoBaseList::AddRClickScrap(TZunoControl* c) {
    if (c && std::find(FRClickScrap.begin(), FRClickScrap.end(), c) == FRClickScrap.end())
        FRClickScrap.push_back(c);
}

void TZunoBaseList::RemoveRClickScrap(TZunoControl* c) { std::erase(FRClickScrap, c); }

void TZunoBaseList::SetSoundOn(bool on) {
    if (on == FSoundOn)
        return;
    FSoundOn = on;
    if (OnSoundOn)
        OnSoundOn(on);
}

//==============================================================================
// Save record
//==============================================================================

void TZunoBaseList::SaveToStream(TStream& s) {
    WriteInt(s, FWidth);
    WriteInt(s, FHeight);
    WriteInt(s, FActiveIndex);
    FScreens[0]->SaveToStream(s);
    FScreens[1]->SaveToStream(s);
    std::vector<TZunoObject*> saved;
    for (const auto& o : FObjects)
        if (!o->AsControl() && !IsPendingDelete(o.get()) && o->GetCompoType() != LT_NONE && !o->IsSystemName())
            saved.push_back(o.get());
    WriteInt(s, static_cast<int32_t>(saved.size()));
    for (TZunoObject* o : saved) {
        WriteByte(s, o->GetCompoType());
        o->SaveToStream(s);
    }
    FEvents.SaveToStream(s, [this](const TZunoNamedObject* o) { return IsRegistered(o); });
    WriteString(s, FFocus ? FFocus->Name() : std::string());
}

void TZunoBaseList::LoadFromStream(TStream& s, int32_t version) {
    Reset();
    const int32_t w = ReadInt(s);
    const int32_t h = ReadInt(s);
    SetSize(w, h);
    FActiveIndex = ReadInt(s) != 0 ? 1 : 0;
    FScreens[0]->LoadFromStream(s, version);
    FScreens[1]->LoadFromStream(s, version);
    // The screens keep their size and names whatever the records say.
    for (int i = 0; i < 2; ++i) {
        FScreens[size_t(i)]->FName = i == 0 ? kScreen0Name : kScreen1Name;
        FScreens[size_t(i)]->FWidth = FWidth;
        FScreens[size_t(i)]->FHeight = FHeight;
        FScreens[size_t(i)]->MarkAllDirty();
    }
    const int32_t count = ReadInt(s);
    checkCount(s, count, 9, "objects");
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t kind = ReadByte(s);
        TZunoObject* o = CreateByKind(kind);
        if (!o || o->AsControl()) {
            if (o)
                DeleteObject(o);
            throw EZunoError::fromUtf8("セーブデータのオブジェクトの種類が不正です");
        }
        o->LoadFromStream(s, version);
    }
    FEvents.LoadFromStream(s, version, [this](const std::string& n) -> TZunoNamedObject* {
        return FindComponent(n);
    });
    if (version >= 119) {
        const std::string focus = ReadString(s);
        // An empty name is no focus (FindControl would answer the active screen).
        if (TZunoControl* c = focus.empty() ? nullptr : FindControl(focus)) {
            FFocus = c;
            c->FocusGained();
        }
        FFocusSearch = false;
    }
}

//==============================================================================
// Surfaces
//==============================================================================

void TZunoBaseList::SetOutputSurface(TCustomDIBX* surface) {
    if (surface != FExternalOutput) {
        FTransition.reset();                    // it drew into the old output
        FTransitionKind = 0;
    }
    FExternalOutput = surface;
    for (auto& s : FScreens)
        s->MarkAllDirty();
}

TCustomDIBX& TZunoBaseList::OutputSurface() {
    if (FExternalOutput)
        return *FExternalOutput;
    if (!FOwnOutput)
        FOwnOutput = std::make_unique<TDIBX>(std::max(FWidth, 1), std::max(FHeight, 1), 32);
    return *FOwnOutput;
}

TCustomDIBX* TZunoBaseList::SurfaceOf(TZunoBase& screen) {
    if (screen.Index() == FActiveIndex && !TransitionRunning())
        return &OutputSurface();
    return &screen.OwnSurface();
}

void TZunoBaseList::ReleaseSurfaces() {
    FTransition.reset();
    FTransitionKind = 0;
    FOwnOutput.reset();
    for (auto& s : FScreens)
        s->ReleaseSurfaces();
    for (const auto& o : FObjects)
        o->ReleaseSurfaces();
}

void TZunoBaseList::RestoreSurfaces() {
    for (const auto& o : FObjects)
        o->RestoreSurfaces();
    for (auto& s : FScreens)
        s->MarkAllDirty();
}

TCustomWipe* TZunoBaseList::StartTransition(int index, int32_t kind, int32_t parameter, bool force,
                                            int32_t progress, int32_t duration) {
    FActiveIndex = index & 1;
    FTransitionDuration = duration;
    FTransitionProgress = progress;
    if (force || (kind != 0 && !TransitionRunning())) {
        endTransition();
        if (kind != 0) {
            // The screens draw into their own surfaces while the wipe composes them.
            FTransition = CreateWipe(kind, OutputSurface(), GetScreen(FActiveIndex)->OwnSurface(),
                                     GetScreen(FActiveIndex ^ 1)->OwnSurface(), WipeServices);
            if (FTransition) {
                FTransition->Duration = duration;
                FTransition->SetReverse(parameter != 0);
            }
        }
    }
    if (!FFocus || FFocus->GetBase() != ActiveBase()) {
        FFocus = nullptr;
        FFocusSearch = true;
    }
    // Kind 0 (or a kind without a wipe) ends any transition: the active
    // screen draws straight into the output again.
    if (kind == 0 && FTransition)
        endTransition();
    FTransitionKind = FTransition ? kind : 0;
    if (FTransition)
        FTransition->Elapsed = progress;
    return FTransition.get();
}

void TZunoBaseList::endTransition() {
    FTransition.reset();
    FScreens[0]->MarkAllDirty();
    FScreens[1]->MarkAllDirty();
}

void TZunoBaseList::SetTransitionProgress(int32_t progress) {
    FTransitionProgress = progress;
    if (FTransition)
        FTransition->Elapsed = progress;
}

} // namespace zuno

namespace zuno {

int32_t TZunoBaseList::RandomInt(int32_t n) {
    if (n <= 0)
        return 0;
    if (EffectRandom)
        return std::clamp(EffectRandom(n), 0, n - 1);
    FRandomState = FRandomState * 134775813u + 1u;
    return static_cast<int32_t>((uint64_t(FRandomState) * uint32_t(n)) >> 32);
}

double TZunoBaseList::RandomReal() {
    constexpr int32_t kSteps = 1 << 30;
    return double(RandomInt(kSteps)) / double(kSteps);
}

} // namespace zuno
