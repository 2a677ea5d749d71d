// The 50 system variables ("@Result" ... "@IsDebug"). Each is an item of the
// variable table whose value is a TParamSystem. The value asks its table's
// access hooks (TSystemVarAccess) for the variable's own-type value and hands
// stores to them; conversions to and from other types happen here. The table
// installs defaults for every variable; the parts of the player that own the
// real state replace them with TParamCollection::SetSystemAccess.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "expr/TCustomParam.h"

namespace zuno {

class TParamCollection;

constexpr int kSystemVarCount = 50;

// Numbers of the system variables.
enum TSystemVarId : uint8_t {
    SV_RESULT = 0, SV_LCLICK, SV_RCLICK, SV_LPUSH, SV_RPUSH, SV_MOUSEX, SV_MOUSEY, SV_TEXTDELAY,
    SV_HISTORYCOUNT, SV_PARAMCOUNT, SV_PARAMSTR, SV_SENDER, SV_SCRWIDTH, SV_SCRHEIGHT, SV_TICKCOUNT,
    SV_PCTICKCOUNT, SV_UPDATECOUNT, SV_YEAR, SV_MONTH, SV_DAY, SV_WEEK, SV_HOUR, SV_MIN, SV_SEC,
    SV_FONTS, SV_FIXEDFONTS, SV_FULLSCR, SV_CURSOR, SV_SELSTR, SV_SELINDEX, SV_PI, SV_CGDITHER,
    SV_1HOUR, SV_1MIN, SV_1SEC, SV_KEYPUSH, SV_KEYCLICK, SV_DISPLAYMODECOUNT, SV_DISPLAYMODEINDEX,
    SV_TITLE, SV_SOUNDON, SV_ACTIVECOMPO, SV_KEYREPEAT, SV_HISTORYMAXCOUNT, SV_TEMP, SV_MIDIPORT,
    SV_MIDIPORTS, SV_WHEELDOWN, SV_WHEELUP, SV_ISDEBUG
};

struct TSystemVarInfo {
    const char*         Name;           // "@Result", ...
    uint8_t             Type;           // PT_ code; PT_NONE for the forwarding "@Result" and "@Temp"
    bool                Writable;       // RW; stores into read-only variables are ignored
    bool                IsArray;        // "@ParamStr", "@KeyPush", "@KeyClick", "@KeyRepeat", "@MidiPorts"
};
extern const TSystemVarInfo kSystemVars[kSystemVarCount];

// One value of a system variable in its own type (only that field is used).
struct TSysValue {
    int32_t             Int = 0;
    TReal               Float = 0;
    bool                Flag = false;
    std::string         Str;

    static TSysValue    ofInt(int32_t v) { TSysValue r; r.Int = v; return r; }
    static TSysValue    ofFloat(TReal v) { TSysValue r; r.Float = v; return r; }
    static TSysValue    ofFlag(bool v) { TSysValue r; r.Flag = v; return r; }
    static TSysValue    ofStr(std::string v) { TSysValue r; r.Str = std::move(v); return r; }
};

// How one system variable reaches the rest of the player. Empty members mean:
// get — own-type default; set — stores ignored; count/getAt — not an array
// (Count 1, element reads give the scalar).
struct TSystemVarAccess {
    std::function<TSysValue()>          get;
    std::function<void(const TSysValue&)> set;      // given the own-type value (already converted)
    std::function<int()>                count;      // arrays: number of elements
    std::function<TSysValue(int)>       getAt;      // arrays: element i (0 <= i < count())
};

class TParamSystem : public TCustomParam {
public:
                        TParamSystem(TParamCollection& owner, uint8_t systemId);

    uint8_t             SystemId() const { return FSystemId; }

    int                 Count() const override;
    void                SetCount(int n) override;
    uint8_t             ParamType() const override;
    bool                AsBoolean() const override;
    TReal               AsFloat() const override;
    int32_t             AsInteger() const override;
    std::string         AsString() const override;
    void                SetBoolean(bool b) override;
    void                SetFloat(TReal x) override;
    void                SetInteger(int32_t i) override;
    void                SetString(const std::string& s) override;
    int32_t             GetIntegerAt(int i) const override;
    void                SetIntegerAt(int i, int32_t v) override;
    TReal               GetFloatAt(int i) const override;
    void                SetFloatAt(int i, TReal x) override;
    bool                GetBooleanAt(int i) const override;
    void                SetBooleanAt(int i, bool b) override;
    std::string         GetStringAt(int i) const override;
    void                SetStringAt(int i, const std::string& s) override;
    int                 DimCount() const override;
    int                 DimSize(int k) const override;
    void                Assign(const TCustomParam& other) override;
    void                SetDims(const std::vector<int32_t>& sizes) override;
    void                FillInteger(int32_t v) override;
    void                FillFloat(TReal x) override;
    void                FillBoolean(bool b) override;
    void                FillString(const std::string& s) override;
    void                CopyFrom(const TCustomParam& other) override;
    void                SaveToStream(TStream& s) const override;      // system variables are never saved: error
    void                LoadFromStream(TStream& s) override;
    void                ClearDims() override;
    int                 IndexOfString(const std::string& s, bool caseSensitive, bool partial) const override;
    TCustomParam*       Storage() override { return forwarded(); }
    std::unique_ptr<TCustomParam> Clone() const override;

private:
    TCustomParam*       forwarded() const;              // "@Result"/"@Temp" target, else nullptr
    bool                isForwarding() const { return FSystemId == SV_RESULT || FSystemId == SV_TEMP; }
    TSysValue           read() const;                   // own-type scalar
    TSysValue           readAt(int i) const;            // own-type element (scalar for non-arrays)
    void                store(const TSysValue& v);      // own-type store (ignored when read-only)
    bool                isArray() const;

    TParamCollection&   FOwner;
    uint8_t             FSystemId;
};

} // namespace zuno
