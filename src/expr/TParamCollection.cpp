#include "expr/TParamCollection.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <ctime>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "platform/posix/PosixServices.h"

namespace zuno {

// ---------------------------------------------------------------------------
// TParamCollectionItem
// ---------------------------------------------------------------------------
void TParamCollectionItem::SetValue(std::unique_ptr<TCustomParam> v) {
    FValue = std::move(v);
    if (!FValue)
        FKind = kOtherKind;
    else if (dynamic_cast<const TParamSystem*>(FValue.get()))
        FKind = kSystemKind;
    else if (dynamic_cast<const TParamVar*>(FValue.get()))
        FKind = PT_NONE;
    else if (FValue->Storage() == FValue.get() && FValue->ParamType() >= PT_INT && FValue->ParamType() <= PT_STR)
        FKind = FValue->ParamType();
    else
        FKind = kOtherKind;
}

uint8_t TParamCollectionItem::ValueType() const {
    if (FKind <= PT_STR)
        return FKind;
    return FValue ? FValue->ParamType() : PT_NONE;
}

bool TParamCollectionItem::IsTemporary() const { return Name().compare(0, 4, "____") == 0; }

void TParamCollectionItem::SetName(std::string name) {
    if (name.empty() || name.find(' ') != std::string::npos || (name[0] >= '0' && name[0] <= '9'))
        throw EZunoError(sjis("\"") + name + sjis("\"：変数名が不正です"));
    THashCollectionItem::SetName(std::move(name));
}

// ---------------------------------------------------------------------------
// default system variable hooks
// ---------------------------------------------------------------------------
struct TParamCollection::TDefaultSystemState {
    std::array<TSysValue, kSystemVarCount> stored;      // RW variables without an owner yet
    bool        haveTime = false;
    int32_t     timeClock = 0;
    std::tm     time{};
};

void TParamCollection::installDefaultSystemAccess() {
    TDefaultSystemState* d = FDefaults.get();
    auto stored = [this, d](int id) {
        TSystemVarAccess a;
        a.get = [d, id] { return d->stored[static_cast<size_t>(id)]; };
        if (kSystemVars[id].Writable)
            a.set = [d, id](const TSysValue& v) { d->stored[static_cast<size_t>(id)] = v; };
        FSystemAccess[static_cast<size_t>(id)] = std::move(a);
    };
    auto constant = [this](int id, TSysValue v) {
        TSystemVarAccess a;
        a.get = [v] { return v; };
        FSystemAccess[static_cast<size_t>(id)] = std::move(a);
    };
    auto array = [this](int id, int count) {
        TSystemVarAccess a;
        a.get = [] { return TSysValue{}; };
        a.count = [count] { return count; };
        a.getAt = [](int) { return TSysValue{}; };
        FSystemAccess[static_cast<size_t>(id)] = std::move(a);
    };
    for (int id = 0; id < kSystemVarCount; ++id)
        stored(id);
    d->stored[SV_SCRWIDTH] = TSysValue::ofInt(640);
    d->stored[SV_SCRHEIGHT] = TSysValue::ofInt(480);
    d->stored[SV_SOUNDON] = TSysValue::ofFlag(true);

    FSystemAccess[SV_TEXTDELAY] = {[this] { return TSysValue::ofInt(TextDelay); },
                                   [this](const TSysValue& v) { TextDelay = v.Int; }, {}, {}};
    FSystemAccess[SV_CURSOR] = {[this] { return TSysValue::ofStr(Cursor); },
                                [this](const TSysValue& v) { Cursor = v.Str; }, {}, {}};
    FSystemAccess[SV_SELSTR] = {[this] { return TSysValue::ofStr(SelStr); },
                                [this](const TSysValue& v) { SelStr = v.Str; }, {}, {}};
    FSystemAccess[SV_SELINDEX] = {[this] { return TSysValue::ofInt(SelIndex); },
                                  [this](const TSysValue& v) { SelIndex = v.Int; }, {}, {}};
    FSystemAccess[SV_TICKCOUNT] = {[this] { return TSysValue::ofInt(FrameClock ? FrameClock() : 0); }, {}, {}, {}};
    FSystemAccess[SV_PCTICKCOUNT] = {[] {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch()).count();
        return TSysValue::ofInt(static_cast<int32_t>(static_cast<uint32_t>(ms)));
    }, {}, {}, {}};

    // One clock reading per frame for the date and time variables.
    auto now = [this, d]() -> const std::tm& {
        int32_t clock = FrameClock ? FrameClock() : 0;
        if (!FrameClock || !d->haveTime || clock != d->timeClock) {
            d->time = localTimeOf(WallClock ? WallClock() : std::time(nullptr));
            d->haveTime = true;
            d->timeClock = clock;
        }
        return d->time;
    };
    FSystemAccess[SV_YEAR] = {[now] { return TSysValue::ofInt(now().tm_year + 1900); }, {}, {}, {}};
    FSystemAccess[SV_MONTH] = {[now] { return TSysValue::ofInt(now().tm_mon + 1); }, {}, {}, {}};
    FSystemAccess[SV_DAY] = {[now] { return TSysValue::ofInt(now().tm_mday); }, {}, {}, {}};
    FSystemAccess[SV_WEEK] = {[now] { return TSysValue::ofInt(now().tm_wday + 1); }, {}, {}, {}};
    FSystemAccess[SV_HOUR] = {[now] { return TSysValue::ofInt(now().tm_hour); }, {}, {}, {}};
    FSystemAccess[SV_MIN] = {[now] { return TSysValue::ofInt(now().tm_min); }, {}, {}, {}};
    FSystemAccess[SV_SEC] = {[now] { return TSysValue::ofInt(std::min(now().tm_sec, 59)); }, {}, {}, {}};

    constant(SV_PI, TSysValue::ofFloat(std::acos(TReal(-1))));
    constant(SV_1HOUR, TSysValue::ofFloat(TReal(1) / 24));
    constant(SV_1MIN, TSysValue::ofFloat(TReal(1) / 1440));
    constant(SV_1SEC, TSysValue::ofFloat(TReal(1) / 86400));
    constant(SV_ISDEBUG, TSysValue::ofFlag(false));
    constant(SV_ACTIVECOMPO, TSysValue{});       // no objects: nobody has the focus
    constant(SV_MIDIPORT, TSysValue{});          // no MIDI manager
    array(SV_PARAMSTR, 0);
    array(SV_KEYPUSH, 258);
    array(SV_KEYCLICK, 258);
    array(SV_KEYREPEAT, 258);
    array(SV_MIDIPORTS, 0);
}

// ---------------------------------------------------------------------------
// TParamCollection
// ---------------------------------------------------------------------------
namespace {
// Look-up generations of different tables never meet: a look-up cached for a
// table that is gone cannot pass as valid for a new one at the same address.
std::atomic<uint64_t> gNextGenerationBase{0};
} // namespace

TParamCollection::TParamCollection()
    : FDefaults(std::make_unique<TDefaultSystemState>()), FGeneration(gNextGenerationBase.fetch_add(1) << 32) {
    for (int id = 0; id < kSystemVarCount; ++id) {
        auto item = std::make_unique<TParamCollectionItem>();
        item->SetValue(std::make_unique<TParamSystem>(*this, static_cast<uint8_t>(id)));
        Add(std::move(item), kSystemVars[id].Name);
    }
    installDefaultSystemAccess();
}

TParamCollection::~TParamCollection() {
    Clear();    // values may refer to the table's hooks while they go
}

void TParamCollection::SetSystemAccess(int id, TSystemVarAccess access) {
    if (id < 0 || id >= kSystemVarCount)
        throw EZunoError::fromUtf8("内部エラー");
    FSystemAccess[static_cast<size_t>(id)] = std::move(access);
}

// mode 0: the look-up rule of Find; 1: local variables of the current depth
// only; 2: non-local variables only.
TParamCollectionItem* TParamCollection::walk(std::string_view key, int mode) const {
    TParamCollectionItem* last = nullptr;
    for (THashCollectionItem* p = BucketHead(HashOf(key)); p; p = p->NextInBucket()) {
        if (p->Key() != key)
            continue;
        auto* item = static_cast<TParamCollectionItem*>(p);
        if (item->Local) {
            if (mode != 2 && item->Owner == CurrentDepth)
                return item;
        } else if (mode != 1) {
            last = item;
        }
    }
    return last;
}

TParamCollectionItem* TParamCollection::Find(std::string_view name) const {
    return walk(lowerCaseSjis(name), 0);
}

int TParamCollection::IndexOf(std::string_view name) const {
    TParamCollectionItem* item = Find(name);
    return item ? item->Index() : -1;
}

TParamCollectionItem* TParamCollection::FindScoped(std::string_view name, bool local) const {
    return walk(lowerCaseSjis(name), local ? 1 : 2);
}

TParamCollectionItem* TParamCollection::AddVariable(uint8_t type) {
    std::unique_ptr<TCustomParam> v = TCustomParam::CreateParam(type);
    if (!v)
        return nullptr;
    auto item = std::make_unique<TParamCollectionItem>();
    item->SetValue(std::move(v));
    return static_cast<TParamCollectionItem*>(Add(std::move(item), std::string()));
}

void TParamCollection::chainsChanged(std::string_view key, TChainChange change) {
    if (change == TChainChange::Cleared) {
        FTemporaries = 0;
        ++FGeneration;
    } else if (key.compare(0, 4, "____") == 0) {
        FTemporaries += change == TChainChange::Linked ? 1 : -1;
    } else {
        ++FGeneration;
    }
}

void TParamCollection::RenewTemporary(TParamCollectionItem& item, uint8_t type) {
    if (item.FKind != type || !item.Value()) {
        item.SetValue(TCustomParam::CreateParam(type));
    } else {
        TCustomParam* v = item.Value();
        switch (type) {
        case PT_NONE:  *static_cast<TParamVar*>(v) = TParamVar(); break;
        case PT_INT:   static_cast<TParamInt*>(v)->Reset(); break;
        case PT_FLOAT: static_cast<TParamFloat*>(v)->Reset(); break;
        case PT_BOOL:  static_cast<TParamFlag*>(v)->Reset(); break;
        case PT_STR:   static_cast<TParamStr*>(v)->Reset(); break;
        default: break;
        }
    }
    item.Status = 0;
    item.Reserved = 0;
    item.Owner = -1;
    item.Local = 0;
}

namespace {
constexpr size_t kPoolLimit = 64;
} // namespace

TParamCollectionItem* TParamCollection::AddNamed(uint8_t type, std::string_view name) {
    return AddNamed(type, name, lowerCaseSjis(name));
}

TParamCollectionItem* TParamCollection::AddNamed(uint8_t type, std::string_view name, std::string_view lowerKey) {
    type &= 0x7F;
    if (type > PT_STR)
        return nullptr;
    std::unique_ptr<TParamCollectionItem> item;
    auto& pool = FPool[type];
    if (!pool.empty()) {
        item = std::move(pool.back());
        pool.pop_back();
        RenewTemporary(*item, type);
    } else {
        item = std::make_unique<TParamCollectionItem>();
        item->SetValue(TCustomParam::CreateParam(type));
    }
    return static_cast<TParamCollectionItem*>(Add(std::move(item), std::string(name), std::string(lowerKey)));
}

TParamCollectionItem* TParamCollection::CreateVariable(std::string_view name, uint8_t type, TVarScope scope,
                                                       bool* created) {
    if (created)
        *created = false;
    if (TParamCollectionItem* item = FindScoped(name, scope == vsLocal))
        return item;
    TParamCollectionItem* item = AddVariable(type);
    if (!item)
        throw EZunoError::fromUtf8("内部エラー");
    try {
        item->SetName(std::string(name));
    } catch (...) {
        DeleteItem(item);
        throw;
    }
    if (scope == vsAutoDestroy || scope == vsLocal)
        item->Owner = CurrentDepth;
    item->Local = scope == vsLocal ? 1 : 0;
    item->Status = scope == vsStatus ? 1 : 0;
    if (created)
        *created = true;
    return item;
}

void TParamCollection::DeleteItem(TParamCollectionItem* item) {
    if (!item || item->Collection() != this || item->IsSystem())
        return;
    uint8_t kind = item->FKind;
    std::unique_ptr<THashCollectionItem> owned = Extract(item->Index());
    if (kind <= PT_STR && FPool[kind].size() < kPoolLimit)
        FPool[kind].push_back(std::unique_ptr<TParamCollectionItem>(static_cast<TParamCollectionItem*>(owned.release())));
}

void TParamCollection::DeleteOwned(int32_t depth) {
    if (depth < 0)
        return;
    for (int i = Count() - 1; i >= 0; --i) {
        TParamCollectionItem* item = Items(i);
        if (item->Owner == depth && !item->IsSystem())
            DeleteItem(item);
    }
}

void TParamCollection::ResetVariables() {
    for (int i = Count() - 1; i >= 0; --i) {
        TParamCollectionItem* item = Items(i);
        if (!item->IsSystem() && item->Status != 1)
            DeleteItem(item);
    }
    TextDelay = 50;
    Cursor.clear();
}

std::unique_ptr<TCustomParam> TParamCollection::CopyValue(std::string_view name) const {
    TParamCollectionItem* item = Find(name);
    return item ? CopyItemValue(*item, name) : nullptr;
}

std::unique_ptr<TCustomParam> TParamCollection::CopyItemValue(const TParamCollectionItem& item, std::string_view name) {
    TCustomParam* v = item.Value();
    uint8_t type = v ? v->ParamType() : PT_NONE;
    if (type < PT_INT || type > PT_STR)
        throw EZunoError(std::string(name) + sjis(":不正な変数です"));
    if (v->Storage() == v)
        return v->Clone();
    if (TCustomParam* s = v->Storage(); s && !v->BoundItem())
        return s->Clone();          // "@Result" / "@Temp": the value they stand for
    std::unique_ptr<TCustomParam> r = TCustomParam::CreateParam(type);
    if (v->BoundItem()) {           // an element reference: the element it refers to
        switch (type) {
        case PT_INT:   r->SetInteger(v->AsInteger()); break;
        case PT_FLOAT: r->SetFloat(v->AsFloat()); break;
        case PT_BOOL:  r->SetBoolean(v->AsBoolean()); break;
        default:       r->SetString(v->AsString()); break;
        }
        return r;
    }
    return v->Clone();
}

} // namespace zuno
