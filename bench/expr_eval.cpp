// Evaluation speed of compiled expressions: a mix of statements (arithmetic,
// comparisons, text concatenation, array elements, built-in calls) run against
// the variable table, and the same loop in Lua 5.4 as the reference. Prints
// operations and statements per second and the time ratio to Lua. Then the
// same for single statement shapes: a loop over a 1000-element array, text
// building and nested built-in calls.
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

// --------------------------------------------------------------- statement shapes
// Each shape is one or two statements run kShapeRuns times per iteration
// after a reset statement, on both sides.
constexpr int kShapeRuns = 1000;

struct Shape {
    const char* name;
    const char* reset;          // run once per iteration
    std::vector<const char*> statements;    // run kShapeRuns times, in order
    const char* lua;            // function body of the same loop, `count` passes
};

const Shape kShapes[] = {
    {"array_loop", "k = 0", {"sum = (sum + big[k]) % 100000", "k = k + 1"},
     "k = 0 for _ = 1, count do sum = (sum + big[k + 1]) % 100000 k = k + 1 end"},
    {"text_building", "t = \"\"", {"t = t ++ \"ab\""}, "t = '' for _ = 1, count do t = t .. 'ab' end"},
    {"nested_calls", "", {"n = Max(Min(a, b), Abs(Length(IntToStr(x)) - 3))"},
     "for _ = 1, count do n = math.max(math.min(a, b), math.abs(#tostring(x) - 3)) end"},
};

struct ShapeFixture {
    TParamCollection params;
    TSysFuncMan funcs{params};
    std::unique_ptr<TZunoParser> reset;
    std::vector<std::unique_ptr<TZunoParser>> body;

    explicit ShapeFixture(const Shape& shape) {
        installCalc(funcs);
        for (const char* name : {"k", "sum", "n", "a", "b", "x"})
            params.CreateVariable(name, PT_INT, vsGlobal);
        params.CreateVariable("t", PT_STR, vsGlobal);
        TCustomParam* big = params.CreateVariable("big", PT_INT, vsGlobal)->Value();
        big->SetDims({kShapeRuns});
        for (int k = 0; k < kShapeRuns; ++k)
            big->SetIntegerAt(k, k * 7);
        params.Find("a")->Value()->SetInteger(17);
        params.Find("b")->Value()->SetInteger(4);
        params.Find("x")->Value()->SetInteger(123456);
        if (*shape.reset)
            reset = compileExpression(shape.reset);
        for (const char* text : shape.statements)
            body.push_back(compileExpression(text));
    }
    void iteration() {
        if (reset)
            reset->Execute(funcs);
        for (int r = 0; r < kShapeRuns; ++r)
            for (auto& p : body)
                p->Execute(funcs);
    }
};

void BM_ZunoShape(benchmark::State& state) {
    const Shape& shape = kShapes[state.range(0)];
    ShapeFixture fx(shape);
    for (auto _ : state)
        fx.iteration();
    for (auto& p : fx.body)
        if (!p->LastError().empty())
            state.SkipWithError("the statement failed");
    state.SetLabel(shape.name);
}
BENCHMARK(BM_ZunoShape)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

#ifdef ZUNO_HAVE_LUA
void BM_LuaShape(benchmark::State& state) {
    const Shape& shape = kShapes[state.range(0)];
    std::string program = R"(
k, sum, n, a, b, x, t = 0, 0, 0, 17, 4, 123456, ""
big = {}
for i = 1, 1000 do big[i] = (i - 1) * 7 end
function shape(count)
)";
    program += shape.lua;
    program += "\nend\n";
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    if (luaL_dostring(L, program.c_str()) != LUA_OK) {
        state.SkipWithError(lua_tostring(L, -1));
        lua_close(L);
        return;
    }
    for (auto _ : state) {
        lua_getglobal(L, "shape");
        lua_pushinteger(L, kShapeRuns);
        if (lua_pcall(L, 1, 0, 0) != LUA_OK) {
            state.SkipWithError(lua_tostring(L, -1));
            break;
        }
    }
    lua_close(L);
    state.SetLabel(shape.name);
}
BENCHMARK(BM_LuaShape)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
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
    for (int i = 0; i < int(sizeof(kShapes) / sizeof(kShapes[0])); ++i) {
        auto z = reporter.timePerIteration.find("BM_ZunoShape/" + std::to_string(i));
        auto l = reporter.timePerIteration.find("BM_LuaShape/" + std::to_string(i));
        if (z != reporter.timePerIteration.end() && l != reporter.timePerIteration.end() && l->second > 0)
            std::printf("%s: %.2f x the CPU time of Lua 5.4\n", kShapes[i].name, z->second / l->second);
    }
    benchmark::Shutdown();
    return 0;
}
