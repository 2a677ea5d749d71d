// The compiled expression as the player holds and runs it: a list of loaded
// operations whose operands are value objects (literals, or unbound
// references carrying a variable name). Execute runs the operations against
// the variable table; temporaries ("____..." names) are created in the table
// as the operations need them and removed when the evaluation ends. Any error
// ends the evaluation silently; the effects of earlier operations remain.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "expr/TSysFuncMan.h"

namespace zuno {

class TStream;
class TParamCollection;
class TParamCollectionItem;

// One loaded operation.
struct TOpeData {
    uint8_t             Code = 0;           // TOpeCode
    std::string         ResultName;
    uint8_t             FunctionNo = 0;     // ocFunc only
    TParamArgs          Operands;           // owned value objects

    // Prepared when the operation is loaded or copied:
    std::vector<uint16_t> VarOperands;      // indexes of the TParamVar operands (bound per operation)
    std::vector<std::string> VarKeys;       // their names lower-cased (the table's look-up key)
    std::string         ResultKey;          // ResultName lower-cased
    bool                ResultIsTemp = false;   // "____..."
    std::vector<uint8_t> VarIsTemp;         // per name operand: a temporary's name
    std::vector<int16_t> VarTempSlot;       // per name operand: its temporary's slot, -1 for other names
    int16_t             ResultTempSlot = -1;

    // The items the names resolved to in the last evaluation, kept while the
    // table, its look-up generation and the call depth stay those recorded.
    // Temporaries come and go within each evaluation: their names are looked
    // up every time. A nullptr item is a name that was not found.
    std::vector<TParamCollectionItem*> VarItems;
    TParamCollectionItem* ResultItem = nullptr;
    const TParamCollection* ResolvedTable = nullptr;
    uint64_t            ResolvedGeneration = 0;
    int32_t             ResolvedDepth = 0;
};

class TZunoParser {
public:
                        TZunoParser();
                        ~TZunoParser();
                        TZunoParser(const TZunoParser&) = delete;
    TZunoParser&        operator=(const TZunoParser&) = delete;

    void                LoadFromStream(TStream& s);         // compiled form; EZunoError on bad data (parser left empty)
    void                SaveToStream(TStream& s) const;     // the same form back
    void                CopyFrom(const TZunoParser& other); // literals by value, references by name
    void                Clear();                            // no operations, no result

    // Runs every operation. Afterwards Result() is the expression's value, or
    // nullptr for an assignment or when the evaluation failed.
    void                Execute(TSysFuncMan& funcs);
    TCustomParam*       Result() const { return FResult.get(); }
    std::unique_ptr<TCustomParam> TakeResult() { return std::move(FResult); }

    // The error that ended the last Execute (empty when it ran through). Only
    // for diagnostics: evaluations fail silently.
    const std::string&  LastError() const { return FLastError; }

    int                 Count() const { return static_cast<int>(FItems.size()); }
    bool                Empty() const { return FItems.empty(); }
    const TOpeData&     Items(int index) const { return *FItems[static_cast<size_t>(index)]; }

    // Declared type (PT_ code) of a display-object property, for the result of
    // GetProp. Unset, GetProp results are text.
    static std::function<uint8_t(uint8_t propId)> PropertyType;

private:
    // A temporary kept by the parser itself, reused from one run to the next.
    struct TTempSlot {
        std::string     Key;                // lower-cased name
        std::unique_ptr<TParamCollectionItem> Item;
        bool            Live = false;       // made by the current run
    };

    void                prepareTemporaries();
    void                executeInTable(TSysFuncMan& funcs);
    void                executeWithOwnTemporaries(TSysFuncMan& funcs);

    std::vector<std::unique_ptr<TOpeData>> FItems;
    std::unique_ptr<TCustomParam> FResult;
    std::string         FLastError;
    std::vector<TTempSlot> FTemps;
    std::vector<TParamCollectionItem*> FLiveTemps;  // per slot: the item made by the current run, or nullptr
    std::vector<uint8_t> FFunctions;                // the function numbers the expression calls
    bool                FOwnTemporaries = false;    // the expression may keep its temporaries out of the table
    int16_t             FArgSlot = -1;              // the slot of "____arg" when the last operation stores it
};

} // namespace zuno
