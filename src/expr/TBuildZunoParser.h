// The expression compiler. Parse rewrites the source text step by step into a
// flat list of three-address operations (string literals, calls, element
// references and parenthesised groups are lifted into temporaries first, then
// the operator sequence is reduced by precedence), and removes copies between
// temporaries. SaveToStream writes the compiled form that command records
// embed and that TZunoParser loads; it resolves function names and checks
// argument counts.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/TStream.h"

namespace zuno {

// One operation under construction. For ocFunc, Operands[0] is the function
// name and the arguments follow.
struct TBuildOpeData {
    uint8_t                  Code = 0;
    std::string              ResultName;
    std::vector<std::string> Operands;
};

class TBuildZunoParser {
public:
    void                Parse(const std::string& text);     // compile, appending; EZunoError on a syntax error
    void                SaveToStream(TStream& s) const;     // compiled form; EZunoError on unknown function / bad count
    void                Clear();                            // no operations, counter 0

    int                 Count() const { return static_cast<int>(FItems.size()); }
    const TBuildOpeData& Items(int index) const { return *FItems[index]; }

private:
    void                build(const std::string& text);     // the seven rewriting steps
    void                copyPropagation();
    std::string         newTemp();                          // "____%d"
    std::string         newElementRef();                    // "____d_%d"
    void                append(uint8_t code, std::string result, std::vector<std::string> operands);
    std::string         compileArgument(std::string arg);   // operand text of a call argument or index

    bool                liftStringLiteral(std::string& text);
    bool                liftFunctionCall(std::string& text);
    bool                liftArrayReference(std::string& text);
    bool                liftGroup(std::string& text);
    void                reduce(const std::string& text);

    std::vector<std::unique_ptr<TBuildOpeData>> FItems;
    int32_t             FTempCount = 0;
};

// Operand kind of an operand text in the compiled form (TOperandKind): integer,
// real, TRUE/FALSE, quoted text, else a variable name. Numbers are recognised by
// the same parsers as the text conversions (ParamConvert.h).
uint8_t                 operandKindOf(const std::string& text);

} // namespace zuno
