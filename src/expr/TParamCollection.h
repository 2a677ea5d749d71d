// The variable table: every named variable of the running game, the 50 system
// variables first, then globals, auto-destroy, local and status variables and
// the temporaries of running evaluations ("____..." names).
//
// Look-up by name ignores case. Find/IndexOf walk the name's hash chain: a
// local variable of the current depth wins at once; otherwise the non-local
// match added earliest; local variables of other depths never match.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/THashCollection.h"
#include "expr/TCustomParam.h"
#include "expr/TParamSystem.h"

namespace zuno {

class TStream;

// Scope codes of variable creation.
enum TVarScope : uint8_t { vsGlobal = 0, vsAutoDestroy = 1, vsLocal = 2, vsStatus = 3 };

class TParamCollectionItem : public THashCollectionItem {
public:
    TCustomParam*       Value() const { return FValue.get(); }
    void                SetValue(std::unique_ptr<TCustomParam> v);
    uint8_t             ValueType() const;           // record type: 0 for a TParamVar, else ParamType
    bool                IsSystem() const { return FKind == kSystemKind; }   // value is a TParamSystem
    bool                IsTemporary() const;         // name begins with "____"

    // Renames after checking the name: not empty, no blank, first byte not a
    // digit; else "\"%s\"：変数名が不正です".
    void                SetName(std::string name);
    // Renames without checks (loading, temporaries).
    void                SetNameRaw(std::string name) { THashCollectionItem::SetName(std::move(name)); }

    uint8_t             Status = 0;                  // 1 for status variables
    uint8_t             Reserved = 0;                // stored and restored as read
    int32_t             Owner = -1;                  // call depth that owns it, -1 for none
    uint8_t             Local = 0;                   // 1 for local variables

private:
    friend class TParamCollection;
    static constexpr uint8_t kSystemKind = 0xFE, kOtherKind = 0xFF;
    std::unique_ptr<TCustomParam> FValue;
    uint8_t             FKind = kOtherKind;          // class of the value: 0 TParamVar, 1-4 storage, system, other
};

class TParamCollection : public THashCollection {
public:
                        TParamCollection();         // empty table, then the 50 system variables
                        ~TParamCollection() override;

    TParamCollectionItem* Items(int index) const { return static_cast<TParamCollectionItem*>(Item(index)); }

    // --- look-up ---
    int                 IndexOf(std::string_view name) const;               // -1 when none
    TParamCollectionItem* Find(std::string_view name) const;                // nullptr when none
    // The same for a name already lower-cased with lowerCaseSjis (no copy made).
    TParamCollectionItem* FindKey(std::string_view lowerKey) const { return walk(lowerKey, 0); }
    TParamCollectionItem* FindScoped(std::string_view name, bool local) const;
    TParamCollectionItem* SystemItem(int id) const { return Items(id); }   // items 0..49

    // --- creation and deletion ---
    // A new unnamed item holding a fresh value of that type (0: unbound
    // TParamVar); nullptr for an unknown type. The caller names it.
    TParamCollectionItem* AddVariable(uint8_t type);
    // A new named item (name not checked) with a fresh value; cheap: reuses
    // recycled items. Used for temporaries of evaluations.
    TParamCollectionItem* AddNamed(uint8_t type, std::string_view name);
    TParamCollectionItem* AddNamed(uint8_t type, std::string_view name, std::string_view lowerKey);
    // VarNew's creation rule, see the .cpp: find in scope, create or reuse.
    // Returns the variable (new or existing) and whether it was created.
    TParamCollectionItem* CreateVariable(std::string_view name, uint8_t type, TVarScope scope, bool* created = nullptr);
    // Removes and frees an item (temporaries are recycled).
    void                DeleteItem(TParamCollectionItem* item);
    // Frees every item whose Owner equals depth.
    void                DeleteOwned(int32_t depth);
    // Frees every item that is neither a system nor a status variable;
    // "@TextDelay" 50, "@Cursor" empty.
    void                ResetVariables();

    // A detached copy of the named variable's value (nullptr when none);
    // a variable whose type is not 1-4 fails with "%s:不正な変数です".
    std::unique_ptr<TCustomParam> CopyValue(std::string_view name) const;

    // --- the stored blocks ---
    void                SaveVariables(TStream& s) const;
    void                LoadVariables(TStream& s, int32_t version);
    void                SaveStatus(TStream& s) const;
    void                LoadStatus(TStream& s);

    // Advanced whenever the look-up of a name that is not a temporary's
    // ("____...") could find another item: an item added, renamed or removed.
    // The look-up also depends on CurrentDepth; with both unchanged, a name
    // resolved earlier still resolves to the same item. (Owner and Local are
    // set before an item is in use and never change afterwards.)
    uint64_t            LookupGeneration() const { return FGeneration; }
    // Number of items in the table whose name is a temporary's.
    int                 TemporaryCount() const { return FTemporaries; }
    // Gives a temporary item (one of the pool, or one kept outside the
    // table) the state of a new one: a fresh value of that type (1-4, or 0
    // for an unbound TParamVar), no owner, not local, not status.
    static void         RenewTemporary(TParamCollectionItem& item, uint8_t type);
    // CopyValue of an item found by name (name only for the error message).
    static std::unique_ptr<TCustomParam> CopyItemValue(const TParamCollectionItem& item, std::string_view name);

    // --- state beside the table ---
    int32_t             CurrentDepth = 0;            // number of frames on the call stack
    std::string         SelStr;                      // "@SelStr"
    int32_t             SelIndex = 0;                // "@SelIndex"
    int32_t             TextDelay = 50;              // "@TextDelay"
    std::string         Cursor;                      // "@Cursor"
    std::string         TempName;                    // the variable "@Temp" stands for

    // Old save data (versions 113-134) carried six backlog display settings;
    // LoadVariables hands them to this hook (ignored when unset).
    std::function<void(const std::array<int32_t, 6>&)> OnLegacyHistorySettings;

    // --- system variables ---
    void                SetSystemAccess(int id, TSystemVarAccess access);   // replace the default hooks
    const TSystemVarAccess& SystemAccess(int id) const { return FSystemAccess[static_cast<size_t>(id)]; }
    // "@Result": the value of the topmost call frame, nullptr with no frame.
    std::function<TCustomParam*()> ResultProvider;
    // The frame clock; the date and time variables re-read the clock only
    // when it changed. Unset: they read the clock on every access.
    std::function<int32_t()> FrameClock;
    // The wall clock the date and time variables show in local time (seconds
    // since the epoch). Unset: the system's clock.
    std::function<std::time_t()> WallClock;

protected:
    void                chainsChanged(std::string_view key, TChainChange change) override;

private:
    void                installDefaultSystemAccess();
    TParamCollectionItem* walk(std::string_view lowerName, int mode) const;

    std::array<TSystemVarAccess, kSystemVarCount> FSystemAccess;
    std::vector<std::unique_ptr<TParamCollectionItem>> FPool[5];    // recycled temporaries per type
    struct TDefaultSystemState;
    std::unique_ptr<TDefaultSystemState> FDefaults;                 // storage of the default hooks
    uint64_t            FGeneration;                                // starts apart from every other table's
    int                 FTemporaries = 0;
};

} // namespace zuno
