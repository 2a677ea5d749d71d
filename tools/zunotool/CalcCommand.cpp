// zunotool calc: compiles and evaluates expressions against a fresh variable
// table and prints each result and then the variables.
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "expr/ParamConvert.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "expr/VariableDump.h"
#include "expr/ZunoCalc.h"
#include "ToolCommand.h"

namespace zuno::tool {

namespace {

struct Declaration {
    std::string name;                       // code page 932
    uint8_t type = PT_INT;
    std::vector<int32_t> dims;              // empty: a scalar
    bool hasValue = false;
    std::string value;                      // code page 932
};

uint8_t typeByName(const std::string& t) {
    if (t == "int") return PT_INT;
    if (t == "float") return PT_FLOAT;
    if (t == "flag") return PT_BOOL;
    if (t == "str") return PT_STR;
    throw UsageError("unknown type '" + t + "' (int, float, flag or str)");
}

// NAME:TYPE[=VALUE] or NAME[D1,D2,...]:TYPE[=VALUE]
Declaration parseDeclaration(const std::string& decl) {
    Declaration d;
    std::string head = decl;
    size_t eq = decl.find('=');
    if (eq != std::string::npos) {
        head = decl.substr(0, eq);
        d.hasValue = true;
        d.value = utf8ToCp932(decl.substr(eq + 1));
    }
    size_t colon = head.rfind(':');
    if (colon == std::string::npos || colon == 0)
        throw UsageError("declaration '" + decl + "' is not NAME:TYPE[=VALUE] or NAME[D1,...]:TYPE");
    d.type = typeByName(head.substr(colon + 1));
    std::string name = head.substr(0, colon);
    size_t open = name.find('[');
    if (open != std::string::npos) {
        if (name.back() != ']' || open == 0)
            throw UsageError("declaration '" + decl + "': dimensions are written NAME[D1,D2,...]");
        std::string list = name.substr(open + 1, name.size() - open - 2);
        name.resize(open);
        size_t from = 0;
        for (;;) {
            size_t comma = list.find(',', from);
            std::string item = list.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
            std::optional<int32_t> n = tryStrToInt(item);
            if (!n)
                throw UsageError("declaration '" + decl + "': '" + item + "' is not a dimension size");
            d.dims.push_back(*n);
            if (comma == std::string::npos)
                break;
            from = comma + 1;
        }
    }
    d.name = utf8ToCp932(name);
    return d;
}

void declare(TParamCollection& params, const Declaration& d) {
    TParamCollectionItem* item = params.CreateVariable(d.name, d.type, vsGlobal);
    if (!item)
        throw EZunoError(d.name + sjis(":不正な変数です"));
    TCustomParam& v = *item->Value();
    if (!d.dims.empty()) {
        v.SetDims(d.dims);
        if (d.hasValue)
            for (int i = 0; i < v.Count(); ++i)
                v.SetStringAt(i, d.value);
    } else if (d.hasValue) {
        v.SetString(d.value);
    }
}

int runCalc(const std::vector<std::string>& args) {
    std::vector<Declaration> decls;
    bool haveSeed = false;
    uint32_t seed = 0;
    // Arguments that start with '-' but are no option are expressions ("-1").
    const ToolArgs parsed = parseToolArgs(*findToolCommand("calc"), args, true);
    for (const ToolArgs::Given& g : parsed.options) {
        if (g.option->names[0] == std::string("--decl")) {
            decls.push_back(parseDeclaration(g.value));
        } else {
            std::optional<int32_t> n = tryStrToInt(g.value);
            if (!n)
                throw UsageError("--seed needs a number");
            haveSeed = true;
            seed = static_cast<uint32_t>(*n);
        }
    }
    std::vector<std::string> exprs;
    for (const std::string& a : parsed.operands)
        exprs.push_back(utf8ToCp932(a));

    TParamCollection params;
    TSysFuncMan funcs(params);
    installCalc(funcs);
    if (haveSeed)
        funcs.SetRandomSeed(seed);
    for (const Declaration& d : decls)
        declare(params, d);

    for (const std::string& text : exprs) {
        std::unique_ptr<TZunoParser> parser;
        try {
            parser = compileExpression(text);
        } catch (const EZunoError& e) {
            writeStdout("!\t" + escapeForPrint(e.message()) + "\n");
            continue;
        }
        parser->Execute(funcs);
        if (const TCustomParam* r = parser->Result())
            writeStdout("=\t" + std::to_string(r->ParamType()) + "\t" + formatValueForDump(*r) + "\n");
        else
            writeStdout("=\tnone\n");
    }
    writeStdout(dumpVariables(params));
    return 0;
}

const ToolCommandRegistrar registrar({
    "calc",
    {{"calc [-d DECL]... [--seed N] [--] [EXPR]...",
      "A fresh variable table with the system variables; each DECL creates a global variable, then each EXPR "
      "is compiled and evaluated in order. Prints one line per EXPR: =<TAB>TYPE<TAB>VALUE, =<TAB>none when it "
      "yields no result, or !<TAB>MESSAGE when it does not compile; then the variables in the variable-dump "
      "format. The exit status is 0 even when an expression failed."}},
    runCalc,
    {{{"--decl", "-d"}, "DECL",
      "NAME:TYPE[=VALUE] or NAME[D1,D2,...]:TYPE[=VALUE], TYPE int, float, flag or str; a VALUE given to an "
      "array fills every element"},
     {{"--seed"}, "N", "seed of the generator of Random()"},
     {{"--"}, nullptr, "every argument after it is an EXPR"}},
});

} // namespace

} // namespace zuno::tool
