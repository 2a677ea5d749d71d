// The root of the display-object tree and its first layer.
//
// TZunoObject     name, tag, priority, registry link, the property accessors
//                 by identifier with the table's defaults, event posting,
//                 the object save record.
// TZunoComponent  an object that can be registered and send queued events;
//                 non-visual kinds (sound, timer, property motion, HTTP)
//                 derive from it directly.
//
// Property access: GetProp answers a value of the property's declared type;
// SetProp takes one. A kind implements a property when the table lists it
// (ImplementsProperty); classes handle their own identifiers with fields and
// pass the others on, and what no class handles is kept in a small per-object
// store, so every kind reads back what scripts wrote into its properties.
// Reading a property a kind does not implement gives the table's default;
// writing it does nothing.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "objects/ObjectKinds.h"
#include "objects/PropertyTable.h"
#include "objects/TPropValue.h"
#include "objects/TZunoNamedObject.h"

namespace zuno {

class TStream;
class TZunoParser;
class TZunoBase;
class TZunoBaseList;
class TZunoControl;

class TZunoObject : public TZunoNamedObject {
public:
                        TZunoObject() = default;
                        ~TZunoObject() override = default;
                        TZunoObject(const TZunoObject&) = delete;
    TZunoObject&        operator=(const TZunoObject&) = delete;

    // --- identity ---------------------------------------------------------------
    virtual uint8_t     GetCompoType() const { return LT_NONE; }
    virtual bool        IsComponent() const { return false; }
    virtual TZunoControl* AsControl() { return nullptr; }
    const TZunoControl* AsControl() const { return const_cast<TZunoObject*>(this)->AsControl(); }
    bool                IsSystemName() const { return !FName.empty() && FName[0] == '\x01'; }
    TZunoBaseList*      Owner() const { return FOwner; }

    // Naming rules: a clash with another registered object schedules that one
    // for deletion (non-controls) or gives it a numbered name (controls).
    void                SetName(const std::string& name) override;
    const std::string&  Tag() const { return FTag; }
    void                SetTag(const std::string& tag) { FTag = tag; }
    int32_t             Priority() const { return FPriority; }
    int32_t             PriorityBias() const { return FPriorityBias; }
    void                SetPriority(int32_t value);      // bias back to 0, siblings re-sorted
    void                SetPriorityBias(int32_t bias);
    int64_t             SortKey() const { return int64_t(FPriority) + FPriorityBias; }

    // --- properties ---------------------------------------------------------------
    virtual bool        ImplementsProperty(int id) const { return kindImplements(GetCompoType(), id); }
    virtual TPropValue  GetProp(int id);                              // declared type
    virtual void        SetProp(int id, const TPropValue& value);     // value of the declared type
    int32_t             propInt(int id) { return GetProp(id).Int; }
    bool                propBool(int id) { return GetProp(id).Bool; }
    std::string         propStr(int id) { return GetProp(id).Str; }

    // Common accessors the registry reads; kinds answer them through their properties.
    virtual bool        Visible() { return false; }
    virtual bool        Paused() { return propBool(PR_PAUSED); }
    bool                AutoScrap() { return propBool(PR_AUTOSCRAP); }
    bool                RClickScrap() { return propBool(PR_RCLICKSCRAP); }
    std::string         OnIdle() { return propStr(PR_ONIDLE); }
    virtual bool        EventsSuppressed() { return false; }          // true: queued events are not posted
    virtual bool        IsPlaying() { return false; }
    virtual TZunoBase*  GetBase() { return nullptr; }                 // the screen the object is on
    virtual bool        IsInCabinet() { return false; }
    bool                IsPendingDelete() const;
    void                ScheduleDelete();

    // Posts the event of handler property `id` when the handler is set and
    // events are not suppressed; the mouse, wheel, idle and key ids are not
    // posted again while one of this object is pending. True when posted.
    bool                PostEvent(uint8_t id, const std::vector<std::string>* arguments = nullptr);

    // Creation commands hand some kinds a copy of a property expression that
    // the object evaluates itself whenever it needs a value (the loop wait of
    // an image surface, the appear point and delay of a particle surface).
    // Kinds without such a use ignore it.
    virtual void        AssignPropertyExpression(int id, const TZunoParser& expression) { (void)id; (void)expression; }

    // Play state of the kinds that play (sounds, movies, menus): what the
    // creation commands start them with. Kinds that do not play ignore it.
    virtual void        SetPlayState(int32_t state) { (void)state; }

    // Items of list-like kinds (menu checks, preview-menu entries, button
    // groups), as the built-in item functions read and write them. Kinds
    // without items read 0 and ignore writes.
    enum TItemState : uint8_t { isCheck, isEnabled, isVisible, isSelected, isGroupIndex };
    virtual int32_t     GetItemState(TItemState what, int32_t item) { (void)what; (void)item; return 0; }
    virtual void        SetItemState(TItemState what, int32_t item, int32_t value) { (void)what; (void)item; (void)value; }
    // The number of the first item whose name equals `name` byte for byte, -1 when none.
    virtual int32_t     ItemIndexOfName(const std::string& name) { (void)name; return -1; }

    // --- life -------------------------------------------------------------------------
    virtual int         Update() { return 0; }                        // non-zero: delete me
    virtual bool        WantsAutoName() const { return true; }
    virtual void        ReleaseSurfaces() {}
    virtual void        RestoreSurfaces() {}

    // Save record: Name, Priority, priority bias (version > 103), Tag (version >= 120).
    virtual void        SaveToStream(TStream& s);
    virtual void        LoadFromStream(TStream& s, int32_t version);

    // Every property in identifier order as (PR_ name, value text); a debugging aid.
    virtual void        ListProperties(std::vector<std::pair<std::string, std::string>>& rows);

protected:
    // Value of an implemented property that was never written.
    virtual TPropValue  InitialValue(int id);
    TPropValue*         storedProp(int id);

    TZunoBaseList*      FOwner = nullptr;
    std::string         FTag;
    int32_t             FPriority = 0;
    int32_t             FPriorityBias = 0;

private:
    friend class TZunoBaseList;
    std::vector<std::pair<uint8_t, TPropValue>> FStored;     // written kind properties without a field
};

class TZunoComponent : public TZunoObject {
public:
    bool                IsComponent() const override { return true; }
};

// The text form of a property value, as the property list shows it.
std::string             propValueText(const TPropValue& v);

} // namespace zuno
