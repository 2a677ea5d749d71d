// Media, text, history and save commands.
#pragma once

#include "script/ComFlow.h"

namespace zuno {

class TZunoObject;

class TComTextIns : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctTextIns)
    void                Begin(TCallMan& callMan) override;
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    bool                LocksEvents() const override { return FLocked; }
    bool                Waits() const override { return FWaiting; }
    bool                KeepsState() const override { return true; }
    void                SaveState(TStream& s) const override;
    void                LoadState(TStream& s) override;
    void                Fields(TRecordFields& f) override;

    std::string         FText;                                  // marked-up message source
    TExprPtr            FBoxName;                               // message box
    TExprPtr            FReadTracking;
    TExprPtr            FWaitFlag;
    TExprPtr            FEventLock;                             // page version > 106

    // State while the text shows.
    std::string         FTargetName;                            // the target box, empty: none
    bool                FWaiting = false;
    bool                FLocked = false;
};

class TComTextClr : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctTextClr)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    void                Fields(TRecordFields& f) override;

    TExprPtr            FBoxName;
};

class TComMovieStop : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctMovieStop)
    void                Begin(TCallMan& callMan) override;
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    bool                LocksEvents() const override { return FLocked; }
    bool                Waits() const override { return FWaiting; }
    bool                KeepsState() const override { return true; }
    void                SaveState(TStream& s) const override;
    void                LoadState(TStream& s) override;
    void                Fields(TRecordFields& f) override;

    TExprPtr            FObjectName;
    TExprPtr            FFadeTime;                              // milliseconds
    TExprPtr            FWaitFlag;
    TExprPtr            FEventLock;                             // page version > 106

    // State while the media fades.
    std::string         FTargetName;                            // the target object, empty: none
    bool                FWaiting = false;
    bool                FLocked = false;
    TZunoObject*        FTarget = nullptr;                      // not owned; looked up by name after a load
};

class TComMediaPlay : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctMediaPlay)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    void                Fields(TRecordFields& f) override;

    TExprPtr            FObjectName;
};

class TComMenuClose : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctMenuClose)
    void                Fields(TRecordFields& f) override;

    TExprPtr            FMenuName;
};

class TComCallHist : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctCallHist)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    void                Fields(TRecordFields& f) override;

    TExprPtr            FBoxName;
    TExprPtr            FFirst;                                 // first entry
    TExprPtr            FCount;                                 // entry count
    TExprPtr            FFlag;
    TExprPtr            FFormatName;                            // page version > 110
};

class TComEntryHist : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctFormatHist)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    void                Fields(TRecordFields& f) override;

    TExprPtr            FTemplateName;
    TExprPtr            FFormatName;                            // page version > 110
};

class TComClrHist : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctClrHist)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
};

class TComClrRead : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctClrRead)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
};

class TComGameSave : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctGameSave)
    bool                ContinueFlag() const override { return false; }
    void                Fields(TRecordFields& f) override;

    TExprPtr            FSlot;
    std::string         FResumePage;
    int32_t             FResumeIndex = 0;                       // page version > 104
    TExprPtr            FCaption;
};

class TComGameLoad : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctGameLoad)
    bool                ContinueFlag() const override { return false; }
    void                Fields(TRecordFields& f) override;

    TExprPtr            FSlot;
};

} // namespace zuno
