#include "script/ComMedia.h"

#include "core/StreamFields.h"

namespace zuno {

//==============================================================================
// TComTextIns
//==============================================================================

void TComTextIns::Fields(TRecordFields& f) {
    f.Data("text", FText);
    f.Expr("box", FBoxName);
    f.Expr("readTracking", FReadTracking);
    f.Expr("wait", FWaitFlag);
    if (f.Version > 106)
        f.Expr("eventLock", FEventLock);
}

void TComTextIns::SaveState(TStream& s) const {
    writeStatePrefix(s);
    WriteString(s, FTargetName);
    WriteBool(s, FWaiting);
    WriteBool(s, FLocked);
}

void TComTextIns::LoadState(TStream& s) {
    int32_t version = readStatePrefix(s);
    FTargetName = ReadString(s);
    FWaiting = ReadBool(s);
    if (version > 99)
        FLocked = ReadBool(s);
}

void TComTextClr::Fields(TRecordFields& f) { f.Expr("box", FBoxName); }

//==============================================================================
// TComMovieStop
//==============================================================================

void TComMovieStop::Fields(TRecordFields& f) {
    f.Expr("object", FObjectName);
    f.Expr("fadeTime", FFadeTime);
    f.Expr("wait", FWaitFlag);
    if (f.Version > 106)
        f.Expr("eventLock", FEventLock);
}

void TComMovieStop::SaveState(TStream& s) const {
    writeStatePrefix(s);
    WriteString(s, FTargetName);
    WriteBool(s, FWaiting);
    WriteBool(s, FLocked);
}

void TComMovieStop::LoadState(TStream& s) {
    int32_t version = readStatePrefix(s);
    FTargetName = ReadString(s);
    FWaiting = ReadBool(s);
    if (version > 99)
        FLocked = ReadBool(s);
    FTarget = nullptr;
}

void TComMediaPlay::Fields(TRecordFields& f) { f.Expr("object", FObjectName); }

void TComMenuClose::Fields(TRecordFields& f) { f.Expr("menu", FMenuName); }

//==============================================================================
// History
//==============================================================================

void TComCallHist::Fields(TRecordFields& f) {
    f.Expr("box", FBoxName);
    f.Expr("first", FFirst);
    f.Expr("count", FCount);
    f.Expr("flag", FFlag);
    if (f.Version > 110)
        f.Expr("format", FFormatName);
}

void TComEntryHist::Fields(TRecordFields& f) {
    f.Expr("template", FTemplateName);
    if (f.Version > 110)
        f.Expr("format", FFormatName);
}

//==============================================================================
// Game save and load
//==============================================================================

void TComGameSave::Fields(TRecordFields& f) {
    f.Expr("slot", FSlot);
    f.Text("resumePage", FResumePage);
    if (f.Version > 104)
        f.Int("resumeIndex", FResumeIndex);
    f.Expr("caption", FCaption);
}

void TComGameLoad::Fields(TRecordFields& f) { f.Expr("slot", FSlot); }

} // namespace zuno
