// Evaluation speed of compiled expressions: a mix of statements (arithmetic,
// comparisons, text concatenation, array elements, built-in calls) run against
// the variable table, and the same loop in Lua 5.4 as the reference. Prints
// operations and statements per second and the time ratio to Lua.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "expr/TZunoParser.h"
#include "expr/ZunoCalc.h"

#if __has_include(<lua.hpp>)
#include <lua.hpp>
#define ZUNO_HAVE_LUA 1
#elif __has_include(<lua5.4/lua.hpp>)
#include <lua5.4/lua.hpp>
#define ZUNO_HAVE_LUA 1
#endif

namespace {

using namespace zuno;

constexpr int kRounds = 1000;      // rounds of the statement mix per benchmark iteration

const char* const kStatements[] = {
    "x = (a * 3 + b) % 1000 - 7 / 2",
    "f = x >= 500 & a <> b",
    "s = \"n=\" ++ x",
    "arr[i % 10] = arr[(i + 1) % 10] + 1",
    "n = Length(s) + Max(a, b)",
    "i = i + 1",
};
constexpr int kStatementCount = sizeof(kStatements) / sizeof(kStatements[0]);

struct ZunoFixture {
    TParamCollection params;
    TSysFuncMan funcs{params};
    std::vector<std::unique_ptr<TZunoParser>> parsers;
    int operations = 0;

    ZunoFixture() {
        installCalc(funcs);
        for (const char* name : {"x", "a", "b", "i", "n"})
            params.CreateVariable(name, PT_INT, vsGlobal);
        params.CreateVariable("f", PT_BOOL, vsGlobal);
        params.CreateVariable("s", PT_STR, vsGlobal);
        params.CreateVariable("arr", PT_INT, vsGlobal)->Value()->SetDims({10});
        params.Find("a")->Value()->SetInteger(17);
        params.Find("b")->Value()->SetInteger(4);
        for (const char* text : kStatements) {
            parsers.push_back(compileExpression(text));
            operations += parsers.back()->Count();
        }
    }
    void round() {
        for (auto& p : parsers)
            p->Execute(funcs);
    }
};

void BM_ZunoExpr(benchmark::State& state) {
    ZunoFixture fx;
    for (auto _ : state)
        for (int r = 0; r < kRounds; ++r)
            fx.round();
    if (!fx.parsers[0]->LastError().empty() || fx.params.Find("i")->Value()->AsInteger() == 0)
        state.SkipWithError("the statements did not run");
    state.counters["ops/s"] = benchmark::Counter(double(fx.operations) * kRounds * double(state.iterations()),
                                                 benchmark::Counter::kIsRate);
    state.counters["stmts/s"] = benchmark::Counter(double(kStatementCount) * kRounds * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ZunoExpr)->Unit(benchmark::kMicrosecond);

#ifdef ZUNO_HAVE_LUA
// The same statements on Lua globals (looked up by name, like the variable table).
const char* const kLuaProgram = R"(
x, a, b, i, n, f, s = 0, 17, 4, 0, 0, false, ""
arr = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}
function rounds(count)
  for _ = 1, count do
    x = (a * 3 + b) % 1000 - 7 // 2
    f = (x >= 500) and (a ~= b)
    s = "n=" .. x
    arr[i % 10 + 1] = arr[(i + 1) % 10 + 1] + 1
    n = #s + math.max(a, b)
    i = i + 1
  end
end
)";

void BM_Lua(benchmark::State& state) {
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    if (luaL_dostring(L, kLuaProgram) != LUA_OK) {
        state.SkipWithError(lua_tostring(L, -1));
        lua_close(L);
        return;
    }
    for (auto _ : state) {
        lua_getglobal(L, "rounds");
        lua_pushinteger(L, kRounds);
        if (lua_pcall(L, 1, 0, 0) != LUA_OK) {
            state.SkipWithError(lua_tostring(L, -1));
            break;
        }
    }
    lua_close(L);
    state.counters["stmts/s"] = benchmark::Counter(double(kStatementCount) * kRounds * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Lua)->Unit(benchmark::kMicrosecond);
#endif

// Keeps the time per iteration of every run to print the ratio at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> timePerIteration;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                timePerIteration[r.benchmark_name()] = r.GetAdjustedCPUTime();   // CPU time: the machines are shared
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto zuno = reporter.timePerIteration.find("BM_ZunoExpr");
    auto lua = reporter.timePerIteration.find("BM_Lua");
    if (zuno != reporter.timePerIteration.end() && lua != reporter.timePerIteration.end() && lua->second > 0)
        std::printf("expression mix: %.2f x the CPU time of Lua 5.4 for the same statements\n", zuno->second / lua->second);
    else
        std::printf("expression mix: no Lua reference in this run\n");
    benchmark::Shutdown();
    return 0;
}
