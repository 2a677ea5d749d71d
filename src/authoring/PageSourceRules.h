// The rules the page source reader and writer share. Each is written once
// here, so what the writer leaves out is exactly what the reader fills in
// and a page written as source builds back to the same bytes: the field a
// bare value fills, the conditions that default to TRUE, the names of
// variable types and scopes, and the index fields with the values they take
// when the source does not give them (While and WhileLoop pair up like
// brackets).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "script/TPage.h"

namespace zuno {

// Jump, Call, Exit, Break and Continue: their condition is TRUE when the
// source does not give one (a stored empty condition never holds).
bool                    conditionDefaultsTrue(TCommandType type);

// The identifier of a property field by its PR_ name (any case).
std::optional<int>      propertyIdByName(const std::string& name);

// The field the value right after the command name fills: a Jump's target,
// the page of Call, PCReset and Reset, a Wait's time, else the command's first
// field that is not a property. Empty when the command has no field.
std::string             positionalField(TCommand& c, int32_t version);

// The written names of a VarNew's value type (1 .. 4) and scope (0 .. 3).
const char*             byteFieldName(TCommandType type, const std::string& field, uint8_t value); // none: a number
std::optional<uint8_t>  byteFieldValue(const std::string& field, const std::string& name);        // none: not a name

// The int32 fields holding command indices (labels and loops resolve them).
bool                    isIndexField(const std::string& name);

// A command's index field: its name, the value, and the page the index
// points into (empty: this page).
struct TIndexField {
    const char*         name;
    int32_t&            value;
    const std::string&  pageFile;
};
std::optional<TIndexField> indexFieldOf(TCommand& c);

// The loops of a page: each WhileLoop closes the last While still open.
class TLoopPairing {
public:
    explicit            TLoopPairing(const TPage& page);

    // The value command k's index field takes when the source leaves it out;
    // none when it cannot be left out (a loop command without its partner)
    // or the command has no index field.
    std::optional<int32_t> AutomaticIndex(int k) const;

private:
    std::vector<TCommandType> FTypes;                       // by command index
    std::vector<int>    FWhileOf;                           // WhileLoop -> its While; -1
    std::vector<int>    FLoopOf;                            // While -> its WhileLoop; -1
    std::vector<int>    FEnclosing;                         // the innermost While open at a command; -1
};

} // namespace zuno
