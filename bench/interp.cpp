// The interpreter's own cost: a page whose While loop runs 100 000 commands
// (statements, If, While and its loop-back) through the frame loop, as a
// game runs them. Reports commands per second of processor time. Argument 1
// runs one of the statements through Calc (compiled at every pass).
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdio>
#include <filesystem>

#include "ScriptTestGame.h"

namespace {

using namespace zuno;
using namespace zuno::test;

constexpr int kCommands = 100000;
// Commands run by one pass of the loop below: While, two statements, If and
// (every third pass) its statement, the loop-back; on average 5 + 1/3.
constexpr int kPasses = kCommands * 3 / 16;

double threadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void BM_InterpreterLoop(benchmark::State& state) {
    TTempFolder folder;
    TPageBuilder main("main.zsb");
    main.Let("i = 0");                                          // 0
    auto& loop = main.Add<TComWhile>();                         // 1
    loop.FCondition = compileExpr("i < " + std::to_string(kPasses));
    main.Let("i = i + 1", 1);                                   // 2
    if (state.range(0))
        main.Let("Calc(\"x = x + i * 2\")", 1);                  // 3
    else
        main.Let("x = x + i * 2", 1);
    main.If(ctIf, "i % 3 == 0", 1);                             // 4
    main.Let("n = n + 1", 2);                                   // 5
    auto& back = main.Add<TComWhileLoop>();                     // 6
    back.FLoopBackIndex = 1;
    loop.FExitIndex = 7;
    main.Let("done = 1");                                       // 7
    TGameSetup setup;
    setup.Pages = {&main};
    setup.Variables = {intVar("i", 0), intVar("x", 0), intVar("n", 0), intVar("done", 0)};
    writeGame(folder.folder(), setup);

    double seconds = 0;
    int64_t frames = 0;
    for (auto _ : state) {
        std::filesystem::remove(folder.folder() + "save.dat");
        TScriptGame game(folder.folder());
        if (!game.Start()) {
            state.SkipWithError("the game did not start");
            return;
        }
        TParamCollectionItem* done = game.Params.Find("done");
        double t0 = threadSeconds();
        while (done && done->Value()->AsInteger() != 1 && frames < 100000000) {
            game.Frame();
            ++frames;
        }
        seconds += threadSeconds() - t0;
        const int64_t x = int64_t(kPasses) * (kPasses + 1);       // the sum of 2 i
        if (game.Var("n") != std::to_string(kPasses / 3) || game.Var("x") != std::to_string(int32_t(x))) {
            state.SkipWithError("the loop did not run as written");
            return;
        }
    }
    const double commands = double(kPasses) * 16.0 / 3.0 * double(state.iterations());
    state.counters["commands/s"] = commands / seconds;
    state.counters["frames"] = double(frames) / double(state.iterations());
}
BENCHMARK(BM_InterpreterLoop)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
