// Object and property commands: the component commands that create display
// objects from a property block, cabinets, Flip, statements, variables,
// property access and property motions.
#pragma once

#include <utility>
#include <vector>

#include "objects/PropertyIds.h"
#include "script/ComFlow.h"

namespace zuno {

// A command that creates a component: one expression per property identifier
// in the page's property set for its type, kept by identifier.
class TComComponent : public TCommand {
public:
    using TCommand::TCommand;
    void                Fields(TRecordFields& f) override;        // the property block

    TZunoParser*        Property(int id) const;                   // none when not carried
    void                SetProperty(int id, TExprPtr e);          // also adds id to the page's set

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

#define ZUNO_COMPONENT_COMMAND(cls, base, code)   \
    class cls : public base {                     \
    public:                                       \
        using base::base;                         \
        ZUNO_COMMAND_TYPE(code)                   \
    };

ZUNO_COMPONENT_COMMAND(TComBoxNew, TComControl, ctBoxNew)
ZUNO_COMPONENT_COMMAND(TComImgNew, TComControl, ctImgNew)
ZUNO_COMPONENT_COMMAND(TComMesNew, TComControl, ctMesNew)
ZUNO_COMPONENT_COMMAND(TComTimer, TComComponent, ctTimer)
ZUNO_COMPONENT_COMMAND(TComMovie, TComControl, ctMovie)
ZUNO_COMPONENT_COMMAND(TComCinema, TComControl, ctCinema)
ZUNO_COMPONENT_COMMAND(TComCaption, TComControl, ctCaption)
ZUNO_COMPONENT_COMMAND(TComBtnNew, TComControl, ctButton)
ZUNO_COMPONENT_COMMAND(TComParticleNew, TComControl, ctParticleNew)
ZUNO_COMPONENT_COMMAND(TComFireNew, TComControl, ctFireNew)
ZUNO_COMPONENT_COMMAND(TComSound, TComComponent, ctSound)
ZUNO_COMPONENT_COMMAND(TComEditNew, TComControl, ctEditNew)
ZUNO_COMPONENT_COMMAND(TComMemoNew, TComControl, ctMemoNew)
ZUNO_COMPONENT_COMMAND(TComMapImgNew, TComControl, ctMapImgNew)
ZUNO_COMPONENT_COMMAND(TComWaveNew, TComControl, ctWaveNew)
ZUNO_COMPONENT_COMMAND(TComTileNew, TComControl, ctTileNew)
ZUNO_COMPONENT_COMMAND(TComSliderNew, TComControl, ctSliderNew)
ZUNO_COMPONENT_COMMAND(TComScrollbarNew, TComControl, ctScrollbarNew)
ZUNO_COMPONENT_COMMAND(TComGaugeNew, TComControl, ctGaugeNew)
ZUNO_COMPONENT_COMMAND(TComCGCaption, TComControl, ctCGCaption)
ZUNO_COMPONENT_COMMAND(TComPrevMenuNew, TComControl, ctPrevMenuNew)

class TComMenu : public TComControl {
public:
    using TComControl::TComControl;
    ZUNO_COMMAND_TYPE(ctMenu)

    std::string         FMenuName;                                // the menu it created (run time)
};

// Moves objects into or out of a cabinet object.
class TComCabinet : public TComComponent {
public:
    using TComComponent::TComComponent;
    void                Fields(TRecordFields& f) override;        // property block, mode, names

    TExprPtr            FMode;                                    // selection mode
    std::vector<TExprPtr> FNames;                                 // name list
};

ZUNO_COMPONENT_COMMAND(TComCabinetSave, TComCabinet, ctSaveCabinet)
ZUNO_COMPONENT_COMMAND(TComCabinetLoad, TComCabinet, ctLoadCabinet)

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
    int32_t             FPhase = 0;
    int32_t             FStart = 0;                               // game clock at the start
    bool                FWaits = false;                           // the duration is above 0
    bool                FLocked = false;                          // the event lock in force
    bool                FClearing = false;                        // clear back in force
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
    ZUNO_COMMAND_TYPE(ctGetProp)
    void                Fields(TRecordFields& f) override;

    TExprPtr            FObjectName;
    TExprPtr            FPropertyId;
    std::string         FTargetVar;
};

class TComSetProp : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctSetProp)
    void                Fields(TRecordFields& f) override;

    TExprPtr            FObjectName;
    TExprPtr            FPropertyId;
    TExprPtr            FValue;
};

class TComObjDel : public TCommand {
public:
    using TCommand::TCommand;
    ZUNO_COMMAND_TYPE(ctObjDel)
    void                Fields(TRecordFields& f) override;

    TExprPtr            FObjectName;
};

class TComPropMotion : public TCommand {
public:
    using TCommand::TCommand;
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
