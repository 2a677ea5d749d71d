// Object and property commands: the component commands that create display
// objects from a property block, cabinets, Flip, statements, variables,
// property access and property motions.
#pragma once

#include <utility>
#include <vector>

#include "objects/ObjectKinds.h"
#include "objects/PropertyIds.h"
#include "script/ComFlow.h"

namespace zuno {

class TZunoBaseList;
class TZunoControl;
class TZunoObject;
struct TScriptEnv;

// A command that creates a component: one expression per property identifier
// in the page's property set for its type, kept by identifier.
class TComComponent : public TCommand {
public:
    using TCommand::TCommand;
    void                Fields(TRecordFields& f) override;        // the property block

    TZunoParser*        Property(int id) const;                   // none when not carried
    void                SetProperty(int id, TExprPtr e);          // also adds id to the page's set

    // Creates the command's object kind in the registry and applies the
    // property block in the application order (the creation commands).
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    // The kind this command creates; LT_NONE for commands that create nothing.
    virtual uint8_t     CreatedKind() const { return LT_NONE; }
    // After the properties: what a kind starts with (sounds and movies play).
    virtual void        AfterCreate(TZunoObject& object);

    // The expressions by identifier, in ascending order of identifiers. Kept
    // sparse: a page holds many component commands and each carries few
    // properties, so a damaged page cannot make small records cost much memory.
    std::vector<std::pair<uint8_t, TExprPtr>> FProperties;

private:
    TExprPtr*           slot(int id);                             // none when not carried
};

class TComControl : public TComComponent {
public:
    using TComComponent::TComComponent;
};

#define ZUNO_COMPONENT_COMMAND(cls, base, code, kind)                    \
    class cls : public base {                                            \
    public:                                                              \
        using base::base;                                                \
        ZUNO_COMMAND_TYPE(code)                                          \
        uint8_t CreatedKind() const override { return kind; }            \
    };

ZUNO_COMPONENT_COMMAND(TComBoxNew, TComControl, ctBoxNew, LT_BOX)
ZUNO_COMPONENT_COMMAND(TComImgNew, TComControl, ctImgNew, LT_IMAGES)
ZUNO_COMPONENT_COMMAND(TComMesNew, TComControl, ctMesNew, LT_MES)
ZUNO_COMPONENT_COMMAND(TComTimer, TComComponent, ctTimer, LT_TIMER)
ZUNO_COMPONENT_COMMAND(TComCinema, TComControl, ctCinema, LT_CINEMA)
ZUNO_COMPONENT_COMMAND(TComCaption, TComControl, ctCaption, LT_LABEL)
ZUNO_COMPONENT_COMMAND(TComBtnNew, TComControl, ctButton, LT_BUTTON)
ZUNO_COMPONENT_COMMAND(TComParticleNew, TComControl, ctParticleNew, LT_PARTICLE)
ZUNO_COMPONENT_COMMAND(TComFireNew, TComControl, ctFireNew, LT_FIRE)
ZUNO_COMPONENT_COMMAND(TComEditNew, TComControl, ctEditNew, LT_EDIT)
ZUNO_COMPONENT_COMMAND(TComMemoNew, TComControl, ctMemoNew, LT_MEMO)
ZUNO_COMPONENT_COMMAND(TComMapImgNew, TComControl, ctMapImgNew, LT_MAPIMG)
ZUNO_COMPONENT_COMMAND(TComWaveNew, TComControl, ctWaveNew, LT_WAVE)
ZUNO_COMPONENT_COMMAND(TComTileNew, TComControl, ctTileNew, LT_TILE)
ZUNO_COMPONENT_COMMAND(TComSliderNew, TComControl, ctSliderNew, LT_SLIDER)
ZUNO_COMPONENT_COMMAND(TComScrollbarNew, TComControl, ctScrollbarNew, LT_SCROLLBAR)
ZUNO_COMPONENT_COMMAND(TComGaugeNew, TComControl, ctGaugeNew, LT_GAUGE)
ZUNO_COMPONENT_COMMAND(TComCGCaption, TComControl, ctCGCaption, LT_CGLABEL)
ZUNO_COMPONENT_COMMAND(TComPrevMenuNew, TComControl, ctPrevMenuNew, LT_PREVMENU)

// Movie and Sound start playing: with a fade-in over PR_DELAY when it is not 0.
class TComMovie : public TComControl {
public:
    using TComControl::TComControl;
    ZUNO_COMMAND_TYPE(ctMovie)
    uint8_t             CreatedKind() const override { return LT_VIDEO; }
    void                AfterCreate(TZunoObject& object) override;
};

class TComSound : public TComComponent {
public:
    using TComComponent::TComComponent;
    ZUNO_COMMAND_TYPE(ctSound)
    uint8_t             CreatedKind() const override { return LT_SOUND; }
    void                AfterCreate(TZunoObject& object) override;
};

// Menu remembers the menu it created and opens it with its animation.
class TComMenu : public TComControl {
public:
    using TComControl::TComControl;
    ZUNO_COMMAND_TYPE(ctMenu)
    uint8_t             CreatedKind() const override { return LT_MENU; }
    void                AfterCreate(TZunoObject& object) override;

    std::string         FMenuName;                                // the menu it created (run time)
};

// Moves objects into or out of a cabinet object.
class TComCabinet : public TComComponent {
public:
    using TComComponent::TComComponent;
    void                Fields(TRecordFields& f) override;        // property block, mode, names

    TExprPtr            FMode;                                    // selection mode
    std::vector<TExprPtr> FNames;                                 // name list

protected:
    // Moves the chosen children of `from` (last to first) to `to`: with mode
    // true those whose name is none of the names, with mode false those whose
    // name is one of them.
    void                moveChildren(TCallMan& callMan, TZunoControl& from, TZunoControl& to);
};

// Moves children of the inactive screen into a cabinet (made when missing).
class TComCabinetSave : public TComCabinet {
public:
    using TComCabinet::TComCabinet;
    ZUNO_COMMAND_TYPE(ctSaveCabinet)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
};

// Moves children of a cabinet back to the inactive screen.
class TComCabinetLoad : public TComCabinet {
public:
    using TComCabinet::TComCabinet;
    ZUNO_COMMAND_TYPE(ctLoadCabinet)
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
};

class TComFlip : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctFlip)
    bool                LocksEvents() const override { return FLocked; }
    bool                Waits() const override { return FWaits; }
    bool                KeepsState() const override { return true; }
    void                SaveState(TStream& s) const override;
    void                LoadState(TStream& s) override;
    void                Fields(TRecordFields& f) override;
    void                Begin(TCallMan& callMan) override;
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    void                Abort() override;

    // The name of the screen snapshot shown while the flip runs.
    static const std::string SnapshotName;
    // Transition kinds above this one play as no transition.
    static constexpr int32_t kLastTransitionKind = 38;

    TExprPtr            FKind;                                    // transition kind
    TExprPtr            FDuration;                                // milliseconds
    TExprPtr            FParam;                                   // transition parameter
    TExprPtr            FMode;                                    // selection mode
    std::vector<TExprPtr> FNames;                                 // name list
    TExprPtr            FClearBack;                               // clear the back screen
    TExprPtr            FWipeParam0;
    TExprPtr            FWipeParam1;
    TExprPtr            FWipeText;                                // page version > 100
    TExprPtr            FEventLock;                               // page version > 106

    // State while the transition runs.
    enum TPhase : int32_t { fpBegun = 0, fpStarting = 1, fpRunning = 2, fpNoTransition = 3 };
    int32_t             FPhase = fpBegun;
    int32_t             FStart = 0;                               // game clock at the start
    bool                FWaits = false;                           // the duration is above 0
    bool                FLocked = false;                          // the event lock in force
    bool                FClearing = false;                        // clear back in force
    TZunoBaseList*      FRegistry = nullptr;                      // where it runs (for Abort)
    TScriptEnv*         FEnv = nullptr;

private:
    void                finish(bool aborting);
};

class TComCalc : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctCalc)
    void                Fields(TRecordFields& f) override;
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;

    TExprPtr            FStatement;
};

class TComVarNew : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctVarNew)
    void                Fields(TRecordFields& f) override;
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;

    std::string         FName;
    uint8_t             FValueType = 1;                           // 1 int, 2 real, 3 flag, 4 text
    TExprPtr            FInitValue;
    uint8_t             FScope = 0;                               // 0 global, 1 auto-destroy, 2 local, 3 status
};

class TComVarDel : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctVarDel)
    void                Fields(TRecordFields& f) override;
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;

    std::string         FName;
};

class TComGetProp : public TCommand {
public:
    using TCommand::TCommand;
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    ZUNO_COMMAND_TYPE(ctGetProp)
    void                Fields(TRecordFields& f) override;

    TExprPtr            FObjectName;
    TExprPtr            FPropertyId;
    std::string         FTargetVar;
};

class TComSetProp : public TCommand {
public:
    using TCommand::TCommand;
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    ZUNO_COMMAND_TYPE(ctSetProp)
    void                Fields(TRecordFields& f) override;

    TExprPtr            FObjectName;
    TExprPtr            FPropertyId;
    TExprPtr            FValue;
};

class TComObjDel : public TCommand {
public:
    using TCommand::TCommand;
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    ZUNO_COMMAND_TYPE(ctObjDel)
    void                Fields(TRecordFields& f) override;

    TExprPtr            FObjectName;
};

class TComPropMotion : public TCommand {
public:
    using TCommand::TCommand;
    void                Execute(TCallMan& callMan, TPage*& page, int32_t& pc) override;
    ZUNO_COMMAND_TYPE(ctPropMotion)
    void                Fields(TRecordFields& f) override;

    TExprPtr            FMotionName;
    TExprPtr            FTargetName;
    TExprPtr            FPropertyId;
    TExprPtr            FEndValue;                                // real
    TExprPtr            FDuration;                                // integer, milliseconds
    TExprPtr            FCurve;                                   // byte
    TExprPtr            FPaused;                                  // flag, page version > 107
};

} // namespace zuno
