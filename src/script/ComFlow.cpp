#include "script/ComFlow.h"

#include "core/StreamFields.h"

namespace zuno {

void TComIf::Fields(TRecordFields& f) { f.Expr("condition", FCondition); }

//==============================================================================
// TComLabel, TComComment
//==============================================================================

TComLabel::TComLabel(TPage* page) : TCommand(page) { FContinue = 1; }

bool TComLabel::IsLabel(const std::string& name) const { return FName == name; }

void TComLabel::Fields(TRecordFields& f) { f.Text("name", FName); }

void TComComment::Fields(TRecordFields& f) { f.Text("text", FName); }

//==============================================================================
// Jumps, calls, returns
//==============================================================================

void TComJump::Fields(TRecordFields& f) {
    f.Text("page", FPageFile);
    f.Int("target", FTargetIndex);
    f.Expr("condition", FCondition);
}

void TComCall::Fields(TRecordFields& f) {
    f.Text("page", FPageFile);
    f.Int("target", FTargetIndex);
    f.Text("result", FResultVar);
    f.Expr("condition", FCondition);
    f.ExprList("arguments", FArguments);
}

void TComExit::Fields(TRecordFields& f) { f.Expr("condition", FCondition); }

void TComBreak::Fields(TRecordFields& f) {
    TComExit::Fields(f);
    f.Int("target", FTargetIndex);
}

void TComContinue::Fields(TRecordFields& f) {
    TComExit::Fields(f);
    f.Int("target", FTargetIndex);
}

//==============================================================================
// Loops
//==============================================================================

void TComWhile::Fields(TRecordFields& f) {
    f.Expr("condition", FCondition);
    f.Int("exit", FExitIndex);
}

void TComWhileInit::Fields(TRecordFields& f) { f.Expr("init", FExpression); }

void TComWhileLoop::Fields(TRecordFields& f) {
    f.Expr("step", FExpression);
    f.Int("loopBack", FLoopBackIndex);
}

//==============================================================================
// TComWait
//==============================================================================

void TComWait::Fields(TRecordFields& f) {
    f.Expr("condition", FCondition);
    f.Expr("time", FTime);
    if (f.Version > 106)
        f.Expr("eventLock", FEventLock);
}

void TComWait::SaveState(TStream& s) const {
    writeStatePrefix(s);
    WriteInt(s, FRemainingTime);
    WriteInt(s, FFramesToSkip);
    WriteBool(s, FLocked);
}

void TComWait::LoadState(TStream& s) {
    int32_t version = readStatePrefix(s);
    FRemainingTime = ReadInt(s);
    FFramesToSkip = ReadInt(s);
    if (version >= 100)
        FLocked = ReadBool(s);
}

//==============================================================================
// TComPCReset
//==============================================================================

void TComPCReset::Fields(TRecordFields& f) {
    f.Text("page", FPageFile);
    f.Int("target", FTargetIndex);
    f.Byte("mode", FMode);
}

} // namespace zuno
