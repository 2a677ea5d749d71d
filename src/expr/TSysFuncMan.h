// The built-in functions of the expression language: the table of the 155
// functions (the order is part of the compiled-page format) and the
// dispatcher. Arguments arrive as the operation's operand array: literals as
// value objects, variables as bound TParamVar references ("var" arguments are
// written back through them). The result goes into R through R's setters.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "expr/TCustomParam.h"

namespace zuno {

class TDBManager;
class TParamCollection;
class TSysFuncMan;

constexpr int kSysFuncCount = 155;

struct TSysFuncInfo {
    const char*         Name;           // matched exactly, case-sensitive
    int8_t              MinArgs;
    int8_t              MaxArgs;        // -1: unlimited
    uint8_t             ResultType;     // PT_INT, PT_FLOAT, PT_BOOL or PT_STR
};
extern const TSysFuncInfo kSysFuncs[kSysFuncCount];

// Function number by exact name, -1 when there is none.
int                     sysFuncIndexOf(std::string_view name);

using TParamArgs = std::vector<std::unique_ptr<TCustomParam>>;
using TSysFunc = std::function<void(TSysFuncMan& man, TCustomParam& R, const TParamArgs& args)>;

class TSysFuncMan {
public:
    explicit            TSysFuncMan(TParamCollection& params);
                        ~TSysFuncMan();

    TParamCollection&   Params() const { return FParams; }
    // The tables of the DB functions (one database for the whole player).
    TDBManager&         Tables() const { return *FTables; }

    // Runs function `number` (0-154) with result variable R. Errors are
    // EZunoError; functions that need parts of the player not plugged in yet
    // raise "%s:この関数は使用できません".
    void                Call(TCustomParam& R, int number, const TParamArgs& args);

    // Replaces (or supplies) the implementation of one function; used by the
    // parts of the player that own objects, files, saves, backlogs and tables.
    void                SetFunction(int number, TSysFunc f);
    // True when function `number` runs a replacement given by SetFunction.
    bool                HasOverride(int number) const {
        return number >= 0 && static_cast<size_t>(number) < FOverrides.size() && FOverrides[static_cast<size_t>(number)];
    }

    // True when function `number` has an implementation, built in or supplied.
    bool                IsAvailable(int number) const;

    // Calc: compiles and runs a text against this table; true when it compiled
    // and ran. Set by the expression compiler's side; unset, Calc fails.
    std::function<bool(const std::string& text)> CalcHook;

    // Reads a whole game file (DBLoadTsvFile): false when the file is not
    // available. Set by the part that owns the game's files; unset, no game
    // file is available.
    std::function<bool(const std::string& name, std::string& bytes)> ReadGameFile;

    // --- the random generator of Random() (one seed for the whole player) ---
    void                SetRandomSeed(uint32_t seed) { FRandSeed = seed; }
    uint32_t            RandomSeed() const { return FRandSeed; }
    int32_t             Random(int32_t n);                 // 0 <= r < n (n as unsigned)
    static uint32_t     timeOfDaySeed();                   // ((h*60+m)*60+s)*1000+ms, local time

private:
    TParamCollection&   FParams;
    std::unique_ptr<TDBManager> FTables;
    std::vector<TSysFunc> FOverrides;                      // empty entries: the built-in or "not available"
    uint32_t            FRandSeed;
};

// Helpers for function implementations (also for later plug-ins).
namespace sysfunc {
    // The argument as a bound variable; nullptr for a literal or expression value.
    TParamCollectionItem* variableOf(const TCustomParam& arg);
    // Argument i converted (missing optional arguments give def).
    int32_t             intArg(const TParamArgs& a, size_t i, int32_t def = 0);
    TReal               floatArg(const TParamArgs& a, size_t i, TReal def = 0);
    bool                boolArg(const TParamArgs& a, size_t i, bool def = false);
    std::string         strArg(const TParamArgs& a, size_t i, const std::string& def = {});
    // Raises the "not available" error for function `number`.
    [[noreturn]] void   notAvailable(int number);
}

} // namespace zuno
