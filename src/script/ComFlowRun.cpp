// What the control-flow commands do when they run.
#include "core/EZunoError.h"
#include "expr/TParamCollection.h"
#include "expr/TDBManager.h"
#include "expr/TSysFuncMan.h"
#include "expr/TZunoParser.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoHistoryFormatManager.h"
#include "script/ComFlow.h"
#include "script/TCallMan.h"

namespace zuno {

namespace {

// The value of an expression, or none when it is absent or yields nothing.
TCustomParam* evaluate(TCallMan& cm, const TExprPtr& e) {
    TSysFuncMan* funcs = cm.Env().Funcs;
    if (!e || e->Empty() || !funcs)
        return nullptr;
    e->Execute(*funcs);
    return e->Result();
}

bool condition(TCallMan& cm, const TExprPtr& e, bool whenNothing = false) {
    TCustomParam* v = evaluate(cm, e);
    return v ? v->AsBoolean() : whenNothing;
}

bool pageAvailable(TCallMan& cm, const std::string& file) {
    return file.empty() || cm.Env().fileExists(file);
}

TPage* targetPage(TCallMan& cm, TPage* page, const std::string& file) {
    return file.empty() ? page : cm.GetPage(file, true);
}

} // namespace

//==============================================================================
// Conditions and blocks
//==============================================================================

void TComIf::Execute(TCallMan& cm, TPage*& page, int32_t& pc) {
    ++pc;
    if (condition(cm, FCondition))
        return;
    for (; pc < page->CommandCount(); ++pc) {
        TCommand* c = page->Command(pc);
        if (c->FIndent > FIndent)
            continue;
        if (c->FIndent < FIndent)
            return;
        const TCommandType type = c->TypeCode();
        if (type == ctElseif && !condition(cm, static_cast<TComIf*>(c)->FCondition))
            continue;       // the next branch of the chain is looked at
        if (type == ctElseif || type == ctElse)
            ++pc;           // its block runs
        return;
    }
}

// Reached by execution, so the branch before ran: the own block is skipped.
static void skipBlock(const TCommand& self, TPage* page, int32_t& pc) {
    ++pc;
    while (pc < page->CommandCount() && page->Command(pc)->FIndent > self.FIndent)
        ++pc;
}

void TComElseif::Execute(TCallMan&, TPage*& page, int32_t& pc) { skipBlock(*this, page, pc); }

void TComElse::Execute(TCallMan&, TPage*& page, int32_t& pc) { skipBlock(*this, page, pc); }

//==============================================================================
// Loops
//==============================================================================

void TComWhile::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    if (!condition(cm, FCondition))
        pc = FExitIndex;
}

void TComWhileInit::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    evaluate(cm, FExpression);
}

void TComWhileLoop::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    pc = FLoopBackIndex;
    evaluate(cm, FExpression);
}

void TComBreak::Execute(TCallMan& cm, TPage*& page, int32_t& pc) {
    if (!condition(cm, FCondition)) {
        ++pc;
        return;
    }
    if (FTargetIndex >= 0)
        pc = FTargetIndex;
    else
        page = nullptr;
}

void TComContinue::Execute(TCallMan& cm, TPage*& page, int32_t& pc) {
    ++pc;
    if (!condition(cm, FCondition))
        return;
    if (FTargetIndex >= 0)
        pc = FTargetIndex;
    else
        page = nullptr;
}

//==============================================================================
// Jumps, calls, returns
//==============================================================================

void TComJump::Execute(TCallMan& cm, TPage*& page, int32_t& pc) {
    ++pc;
    if (!condition(cm, FCondition) || !pageAvailable(cm, FPageFile))
        return;
    page = targetPage(cm, page, FPageFile);
    pc = FTargetIndex;
}

void TComCall::Execute(TCallMan& cm, TPage*& page, int32_t& pc) {
    ++pc;
    if (!condition(cm, FCondition) || !pageAvailable(cm, FPageFile))
        return;
    std::vector<std::string> arguments;
    for (const TExprPtr& e : FArguments)
        if (TCustomParam* v = evaluate(cm, e))
            arguments.push_back(v->AsString());

    auto frame = std::make_unique<TStack>();
    frame->PageName = page->Name();
    frame->ProgramCounter = pc;
    frame->ResultVar = FResultVar;
    frame->Continue = cm.Continue();
    frame->Sender = cm.Sender();
    frame->Arguments = cm.Arguments();
    TStack& pushed = cm.Stack().Push(std::move(frame));
    cm.Arguments() = std::move(arguments);

    TPage* target = targetPage(cm, page, FPageFile);
    page = target;
    pc = FTargetIndex;
    // A page whose result type is none or unknown gives no result value.
    if (target->ResultType() >= PT_INT && target->ResultType() <= PT_STR)
        pushed.Result = TCustomParam::CreateParam(target->ResultType());
}

void TComExit::Execute(TCallMan& cm, TPage*& page, int32_t& pc) {
    if (condition(cm, FCondition))
        page = nullptr;
    else
        ++pc;
}

//==============================================================================
// Waiting and yielding
//==============================================================================

void TComWait::Begin(TCallMan& cm) {
    TCustomParam* time = evaluate(cm, FTime);
    FRemainingTime = time ? time->AsInteger() : 0;
    FFramesToSkip = 1;
    TCustomParam* lock = evaluate(cm, FEventLock);
    FLocked = lock ? lock->AsBoolean() : false;
}

void TComWait::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    if (!condition(cm, FCondition, true)) {
        ++pc;
        return;
    }
    if (FRemainingTime != 0) {
        if (FFramesToSkip <= 0) {
            FRemainingTime -= cm.Env().LastFrameDuration;
            if (FRemainingTime <= 0) {
                ++pc;
                return;
            }
        } else {
            --FFramesToSkip;
        }
    }
    cm.SetContinue(false);
}

void TComDoEvent::Execute(TCallMan&, TPage*&, int32_t& pc) { ++pc; }

void TComTerminate::Execute(TCallMan& cm, TPage*&, int32_t&) {
    cm.Env().Terminating = true;
    if (cm.Env().RequestClose)
        cm.Env().RequestClose();
}

//==============================================================================
// Restarting
//==============================================================================

void TComReset::Execute(TCallMan& cm, TPage*& page, int32_t& pc) {
    TScriptEnv& env = cm.Env();
    if (env.Registry) {
        env.Registry->Reset();
        if (env.Registry->Histories)
            env.Registry->Histories->Reset();
    }
    if (env.Params)
        env.Params->ResetVariables();
    if (env.Funcs)
        env.Funcs->Tables().ResetTables();      // persistent tables survive a reset
    page = cm.Start(FPageFile);
    pc = FTargetIndex;
}

void TComPCReset::Execute(TCallMan& cm, TPage*& page, int32_t& pc) {
    TScriptEnv& env = cm.Env();
    TStackList& stack = cm.Stack();
    TTimerList* events = env.Registry ? &env.Registry->Events() : nullptr;
    if (env.Params)
        env.Params->DeleteOwned(stack.Count());

    if (FMode != 0) {
        for (int i = stack.Count() - 1; i >= 0; --i) {
            if (env.Params)
                env.Params->DeleteOwned(i);
            TStack& f = stack.Items(i);
            if (f.Sender || !f.Started)
                continue;
            try {
                TPage* p = cm.GetPage(f.PageName, false);
                if (TCommand* c = p->Command(f.ProgramCounter))
                    c->Abort();
            } catch (const EZunoError&) {
            }
        }
        page = cm.Start(FPageFile);
        pc = FTargetIndex;
        if (events)
            events->Clear();
        return;
    }

    // Mode 0: the main thread restarts at the target, wherever this runs.
    int j = -1;
    for (int i = 0; i < stack.Count(); ++i)
        if (stack.Items(i).Sender) {
            j = i;
            break;
        }
    if (j < 0 && !cm.SenderName().empty())
        j = stack.Count();
    int found = -1;
    for (int i = j - 1; i >= 0; --i)
        if (!stack.Items(i).Sender) {
            found = i;
            break;
        }
    if (found >= 0) {
        if (env.Params)
            env.Params->DeleteOwned(found);
        TStack& f = stack.Items(found);
        f.PageName = FPageFile.empty() ? page->Name() : FPageFile;
        f.ProgramCounter = FTargetIndex;
        f.Started = false;
        f.ResultVar.clear();
        f.Arguments.clear();
        f.State.reset();
        ++pc;
    } else {
        page = targetPage(cm, page, FPageFile);
        pc = FTargetIndex;
    }
    if (events)
        events->RemoveRunning();
}

} // namespace zuno
