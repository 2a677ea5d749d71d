// Saving and loading a game state of 10 000 variables and 500 display objects
// (the backlog is not part of this build): the game save entry written into
// memory and loaded back into the running game. Reference in the same run:
// a plain copy of the same number of bytes into a fresh buffer and back.
// Counters: save_ms, load_ms, entry_bytes, and "save_vs_plain_copy" /
// "load_vs_plain_copy" = plain time / save (load) time.
#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "archive/TVrFileManager.h"
#include "core/TStream.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoSound.h"
#include "script/TCallMan.h"
#include "script/TGameSave.h"

using namespace zuno;

namespace {

double cpuSeconds() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

void BM_GameSaveLoad(benchmark::State& state) {
    TVrFileManager files;
    files.SetBaseFolder("/nonexistent-zuno-bench/");
    files.AddArchive("");
    TParamCollection params;
    TSysFuncMan funcs(params);
    TZunoBaseList registry;
    registry.SetSize(640, 480);
    TScriptEnv env;
    env.Files = &files;
    env.Params = &params;
    env.Funcs = &funcs;
    env.Registry = &registry;
    TCallMan cm(env);
    for (int i = 0; i < 10000; ++i) {
        TParamCollectionItem* v = params.CreateVariable("var" + std::to_string(i), i % 2 ? PT_INT : PT_STR, vsGlobal);
        if (i % 2)
            v->Value()->SetInteger(i);
        else
            v->Value()->SetString("text of variable " + std::to_string(i));
    }
    for (int i = 0; i < 500; ++i)
        registry.Create<TZunoSound>()->SetName("obj" + std::to_string(i));
    TGameSave game(env, cm);
    double save = 0, load = 0, plain = 0;
    int64_t bytes = 0, n = 0;
    for (auto _ : state) {
        TKsMemoryStream s;
        double t0 = cpuSeconds();
        game.Save(s, "caption", "", 0);
        double t1 = cpuSeconds();
        s.SetPosition(0);
        game.Load(s);
        double t2 = cpuSeconds();
        std::vector<uint8_t> copy(s.Data().size());
        std::memcpy(copy.data(), s.Data().data(), copy.size());
        std::vector<uint8_t> back(copy.size());
        std::memcpy(back.data(), copy.data(), back.size());
        benchmark::DoNotOptimize(back.data());
        double t3 = cpuSeconds();
        save += t1 - t0;
        load += t2 - t1;
        plain += t3 - t2;
        bytes = s.GetSize();
        ++n;
    }
    state.counters["save_ms"] = save * 1000 / double(n);
    state.counters["load_ms"] = load * 1000 / double(n);
    state.counters["entry_bytes"] = double(bytes);
    state.counters["save_vs_plain_copy"] = plain / save;
    state.counters["load_vs_plain_copy"] = plain / load;
}
BENCHMARK(BM_GameSaveLoad)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
