#include "expr/ZunoCalc.h"

#include "core/EZunoError.h"
#include "core/TStream.h"
#include "expr/TBuildZunoParser.h"
#include "expr/TSysFuncMan.h"

namespace zuno {

namespace {

std::string trimBlanks(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<uint8_t>(s[b]) <= 0x20)
        ++b;
    while (e > b && static_cast<uint8_t>(s[e - 1]) <= 0x20)
        --e;
    return s.substr(b, e - b);
}

// Depth of nested compile-and-run calls on this thread: a text that runs
// itself through Calc would otherwise recurse until the stack is gone.
thread_local int tCalcDepth = 0;

} // namespace

std::unique_ptr<TZunoParser> compileExpression(const std::string& text) {
    TBuildZunoParser builder;
    builder.Parse(text);
    TKsMemoryStream stream;
    builder.SaveToStream(stream);
    stream.SetPosition(0);
    auto parser = std::make_unique<TZunoParser>();
    parser->LoadFromStream(stream);
    return parser;
}

bool compileAndRun(const std::string& text, TSysFuncMan& funcs) {
    std::string source = trimBlanks(text);
    if (source.empty() || tCalcDepth >= kMaxCalcDepth)
        return false;
    std::unique_ptr<TZunoParser> parser;
    try {
        parser = compileExpression(source);
    } catch (const EZunoError&) {
        return false;
    }
    ++tCalcDepth;
    struct Leave { ~Leave() { --tCalcDepth; } } leave;
    parser->Execute(funcs);
    return true;
}

void installCalc(TSysFuncMan& funcs) {
    TSysFuncMan* man = &funcs;
    funcs.CalcHook = [man](const std::string& text) { return compileAndRun(text, *man); };
}

} // namespace zuno
