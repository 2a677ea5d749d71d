// TZunoImages: the image surface of scripts (LT_IMAGES).
#include "core/StreamFields.h"
#include "objects/TZunoCustomImage.h"

namespace zuno {

TZunoImages::TZunoImages() = default;

TZunoImages::~TZunoImages() {
    // The current image belongs to the lists freed here.
    FImage = nullptr;
    FMask = nullptr;
}

TZunoImageList* TZunoImages::StateList(int state) {
    const int count = StateCount();
    if (state < 0 || state >= count)
        return nullptr;
    if (FStates.size() < size_t(count))
        FStates.resize(size_t(count));
    if (!FStates[size_t(state)])
        FStates[size_t(state)] = std::make_unique<TZunoImageList>();
    return FStates[size_t(state)].get();
}

//==============================================================================
// Source and repeat
//==============================================================================

void TZunoImages::SetSource(const std::string& text) {
    if (text == FSource)
        return;
    FSource = text;
    if (State() == 0) {
        SetIndex(-1);
        FImage = nullptr;
        FMask = nullptr;
    }
    TZunoImageList* list = StateList(0);
    list->Clear();
    FreeMotion();
    const std::string ext = fileExtensionLower(text);
    if (ext == ".drl") {
        list->Load(text);
    } else if (ext == ".zmt") {
        LoadMotion(text);
        RestartMotion();
    } else {
        SetWidth(0);
        SetHeight(0);
    }
    if (State() == 0 && list->Count() > 0)
        SetIndex(0);
}

void TZunoImages::SetRepeat(bool v) {
    if (v == FRepeat)
        return;
    FRepeat = v;
    if (!v)
        return;
    TZunoImageList* frames = GetFrames();
    if (!GetMotion() && !(frames && frames->IsValidIndex(FIndex)))
        SetIndex(0);
    if (FMotion && FMotion->Finished())
        RestartMotion();
}

//==============================================================================
// Properties
//==============================================================================

bool TZunoImages::ownsProperty(int id) {
    return id == PR_SOURCE || id == PR_REPEAT || id == PR_AUTOSCRAP || id == PR_ONPLAYEND || id == PR_ONIDLE;
}

bool TZunoImages::ImplementsProperty(int id) const {
    return ownsProperty(id) || TZunoCustomImages::ImplementsProperty(id);
}

TPropValue TZunoImages::GetProp(int id) {
    switch (id) {
    case PR_SOURCE:      return TPropValue::ofStr(FSource);
    case PR_REPEAT:      return TPropValue::ofBool(FRepeat);
    case PR_AUTOSCRAP:   return TPropValue::ofBool(FAutoScrap);
    case PR_ONPLAYEND:   return TPropValue::ofStr(FOnPlayEnd);
    case PR_ONIDLE:      return TPropValue::ofStr(FOnIdle);
    default:             return TZunoCustomImages::GetProp(id);
    }
}

void TZunoImages::SetProp(int id, const TPropValue& v) {
    switch (id) {
    case PR_SOURCE:      SetSource(v.Str); return;
    case PR_REPEAT:      SetRepeat(v.Bool); return;
    case PR_AUTOSCRAP:   FAutoScrap = v.Bool; return;
    case PR_ONPLAYEND:   FOnPlayEnd = v.Str; return;
    case PR_ONIDLE:      FOnIdle = v.Str; return;
    default:             TZunoCustomImages::SetProp(id, v); return;
    }
}

//==============================================================================
// Save record, surfaces
//==============================================================================

void TZunoImages::SaveToStream(TStream& s) {
    TZunoCustomImages::SaveToStream(s);
    WriteBool(s, FRepeat);
    WriteBool(s, FAutoScrap);
    WriteString(s, FSource);
    WriteString(s, FOnPlayEnd);
    WriteString(s, FOnIdle);
}

void TZunoImages::LoadFromStream(TStream& s, int32_t version) {
    TZunoCustomImages::LoadFromStream(s, version);
    FRepeat = ReadBool(s);
    FAutoScrap = ReadBool(s);
    const std::string source = ReadString(s);
    FOnPlayEnd = ReadString(s);
    if (version > 103)
        FOnIdle = ReadString(s);
    // The frames come from the cache again and the saved frame is shown
    // with the time it had left.
    const int32_t timeLeft = FTimeLeft;
    const int32_t index = FLoadedIndex;
    FSource.clear();
    SetSource(source);
    SetIndex(index);
    FTimeLeft = timeLeft;
}

void TZunoImages::ReleaseSurfaces() {
    TZunoCustomImages::ReleaseSurfaces();
    for (auto& list : FStates)
        if (list)
            list->ReleaseCopies();
}

void TZunoImages::RestoreSurfaces() {
    for (auto& list : FStates)
        if (list)
            list->RestoreCopies();
    TZunoCustomImages::RestoreSurfaces();
}

} // namespace zuno
