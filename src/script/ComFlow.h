// Control-flow commands: conditions and blocks, loops, labels, jumps and
// calls, returns, waiting, yielding, ending and restarting the script.
#pragma once

#include "script/TCommand.h"

namespace zuno {

class TComIf : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctIf)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    void                Fields(TRecordFields& f) override;

    TExprPtr            FCondition;
};

class TComElseif : public TComIf {
public:
    using TComIf::TComIf;
    ZUNO_COMMAND_TYPE(ctElseif)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
};

class TComElse : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctElse)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    bool                ContinueFlag() const override { return true; }
};

class TComLabel : public TCommand {
public:
    explicit            TComLabel(TPage* page);                 // continue byte preset to 1
    ZUNO_COMMAND_TYPE(ctLabel)
    bool                IsLabel(const std::string& name) const override; // exact, case-sensitive
    void                Fields(TRecordFields& f) override;

    std::string         FName;                                  // label name; a Comment's text
};

class TComComment : public TComLabel {
public:
    using TComLabel::TComLabel;
    ZUNO_COMMAND_TYPE(ctComment)
    bool                ContinueFlag() const override { return false; }
    bool                DisabledFlag() const override { return true; }  // never runs
    void                Fields(TRecordFields& f) override;          // the text; still answers IsLabel as a label
};

class TComJump : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctJump)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    void                Fields(TRecordFields& f) override;

    std::string         FPageFile;                              // empty: this page
    int32_t             FTargetIndex = 0;
    TExprPtr            FCondition;
};

class TComCall : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctCall)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    void                Fields(TRecordFields& f) override;

    std::string         FPageFile;
    int32_t             FTargetIndex = 0;
    std::string         FResultVar;                             // receives the called page's result
    TExprPtr            FCondition;
    std::vector<TExprPtr> FArguments;
};

class TComExit : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctExit)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    void                Fields(TRecordFields& f) override;

    TExprPtr            FCondition;
};

class TComBreak : public TComExit {
public:
    using TComExit::TComExit;
    ZUNO_COMMAND_TYPE(ctBreak)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    void                Fields(TRecordFields& f) override;

    int32_t             FTargetIndex = -1;                      // -1: end the page
};

class TComContinue : public TComExit {
public:
    using TComExit::TComExit;
    ZUNO_COMMAND_TYPE(ctContinue)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    void                Fields(TRecordFields& f) override;

    int32_t             FTargetIndex = -1;                      // -1: end the page
};

class TComWhile : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctWhile)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    void                Fields(TRecordFields& f) override;

    TExprPtr            FCondition;
    int32_t             FExitIndex = 0;                         // index after the loop
};

class TComWhileInit : public TComRuntime {
public:
    using TComRuntime::TComRuntime;
    ZUNO_COMMAND_TYPE(ctWhileInit)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    bool                ContinueFlag() const override { return true; }
    void                Fields(TRecordFields& f) override;

    TExprPtr            FExpression;                            // initialisation; the step of a WhileLoop
};

class TComWhileLoop : public TComWhileInit {
public:
    using TComWhileInit::TComWhileInit;
    ZUNO_COMMAND_TYPE(ctWhileLoop)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    void                Fields(TRecordFields& f) override;

    int32_t             FLoopBackIndex = 0;                     // index of the While
};

class TComWait : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctWait)
    void                Begin(TCallMan& callMan) override;
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    bool                LocksEvents() const override { return FLocked; }
    bool                Waits() const override { return true; }
    bool                KeepsState() const override { return true; }
    void                SaveState(TStream& s) const override;
    void                LoadState(TStream& s) override;
    void                Fields(TRecordFields& f) override;

    TExprPtr            FCondition;
    TExprPtr            FTime;                                  // milliseconds
    TExprPtr            FEventLock;                             // page version > 106

    // State while waiting.
    int32_t             FRemainingTime = 0;
    int32_t             FFramesToSkip = 0;
    bool                FLocked = false;                        // the event lock in force
};

class TComDoEvent : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctDoEvent)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    bool                ContinueFlag() const override { return false; }
    bool                Waits() const override { return true; }
};

class TComTerminate : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctTerminate)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
};

class TComPCReset : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctPCReset)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    void                Fields(TRecordFields& f) override;

    std::string         FPageFile;
    int32_t             FTargetIndex = 0;
    uint8_t             FMode = 0;                              // non-zero: reset every thread
};

class TComReset : public TComPCReset {
public:
    using TComPCReset::TComPCReset;
    ZUNO_COMMAND_TYPE(ctReset)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
};

} // namespace zuno
