// The variable-table work of one evaluation: create eight temporaries, store
// into them, look each up by name, delete them newest first. Reference: the
// same with a std::unordered_map of freshly allocated values (the usual
// hash-map approach, without case-insensitive names or scopes). The counter
// "ratio" is table time / reference time.
#include <benchmark/benchmark.h>

#include <ctime>
#include <string>
#include <unordered_map>

#include "expr/TParamCollection.h"

using namespace zuno;

namespace {

// Thread CPU time: the machines are shared, wall time is noisy.
double cpuSeconds() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

const char* const kNames[8] = {"____0", "____1", "____2", "____3", "____4", "____5", "____6", "____7"};

void fillGlobals(TParamCollection& t, std::unordered_map<std::string, std::unique_ptr<TCustomParam>>& m) {
    for (int i = 0; i < 200; ++i) {
        std::string name = "var" + std::to_string(i);
        t.CreateVariable(name, PT_INT, vsGlobal);
        m.emplace(name, std::make_unique<TParamInt>());
    }
}

double runTable(TParamCollection& t, int rounds) {
    double start = cpuSeconds();
    TParamCollectionItem* items[8];
    for (int r = 0; r < rounds; ++r) {
        for (int i = 0; i < 8; ++i) {
            items[i] = t.AddNamed(PT_INT, kNames[i]);
            items[i]->Value()->SetInteger(i + r);
        }
        int32_t sum = 0;
        for (int i = 0; i < 8; ++i)
            sum += t.Find(kNames[i])->Value()->AsInteger();
        benchmark::DoNotOptimize(sum);
        for (int i = 7; i >= 0; --i)
            t.DeleteItem(items[i]);
    }
    return cpuSeconds() - start;
}

double runReference(std::unordered_map<std::string, std::unique_ptr<TCustomParam>>& m, int rounds) {
    double start = cpuSeconds();
    for (int r = 0; r < rounds; ++r) {
        for (int i = 0; i < 8; ++i) {
            auto v = std::make_unique<TParamInt>();
            v->SetInteger(i + r);
            m.emplace(kNames[i], std::move(v));
        }
        int32_t sum = 0;
        for (int i = 0; i < 8; ++i)
            sum += m.find(kNames[i])->second->AsInteger();
        benchmark::DoNotOptimize(sum);
        for (int i = 7; i >= 0; --i)
            m.erase(kNames[i]);
    }
    return cpuSeconds() - start;
}

void BM_Temporaries(benchmark::State& state) {
    TParamCollection t;
    std::unordered_map<std::string, std::unique_ptr<TCustomParam>> m;
    fillGlobals(t, m);
    const int rounds = 2000;
    double table = 0, reference = 0;
    for (auto _ : state) {
        table += runTable(t, rounds);
        reference += runReference(m, rounds);
    }
    state.counters["ratio"] = table / reference;
    state.counters["ns_per_temp_table"] = table * 1e9 / (double(state.iterations()) * rounds * 8);
    state.counters["ns_per_temp_ref"] = reference * 1e9 / (double(state.iterations()) * rounds * 8);
}
BENCHMARK(BM_Temporaries)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
