// Loading a 100 000-row TSV table the way DBLoadTsvFile does (read the file,
// split it into lines, build the table), and a look-up by key the way
// DBLocate does. References in the same run: a plain C++ read-and-split of
// the same file (ifstream, getline, cells split at tabs into strings) and a
// linear search of those cells. Counters: rows per second for both loads,
// "load_speed_vs_plain" = plain time / table time (1 = as fast as the plain
// split), and look-ups per second for both searches.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "expr/TCustomParam.h"
#include "expr/TDBTable.h"
#include "expr/TsvReader.h"

using namespace zuno;

namespace {

constexpr int kRows = 100000;

// Thread CPU time: the machines are shared, wall time is noisy.
double cpuSeconds() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// A table of items: an id, a name, a price, a flag and a note with an escape now and then.
std::string makeTsv() {
    std::string s = "id int\tname str 32\tprice float\tsold bool\tnote\r\n";
    for (int i = 0; i < kRows; ++i) {
        s += std::to_string(i) + "\titem" + std::to_string(i * 7919 % 100000) + "\t" + std::to_string(i % 1000) + ".25\t" +
             (i % 3 ? "TRUE" : "FALSE") + "\t" + (i % 10 ? "a plain note of some length" : "two\\nlines") + "\r\n";
    }
    return s;
}

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

double loadTable(const std::string& path, TDBTable& table) {
    const double start = cpuSeconds();
    table.LoadTsv(tsvTextLines(readWhole(path)));
    return cpuSeconds() - start;
}

double loadPlain(const std::string& path, std::vector<std::vector<std::string>>& rows) {
    const double start = cpuSeconds();
    rows.clear();
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> cells;
        size_t from = 0, tab;
        while ((tab = line.find('\t', from)) != std::string::npos) {
            cells.emplace_back(line, from, tab - from);
            from = tab + 1;
        }
        cells.emplace_back(line, from);
        rows.push_back(std::move(cells));
    }
    return cpuSeconds() - start;
}

void BM_TableLoad(benchmark::State& state) {
    const std::string path = (std::filesystem::temp_directory_path() / "zuno_bench_table.tsv").string();
    {
        const std::string tsv = makeTsv();
        std::ofstream(path, std::ios::binary).write(tsv.data(), static_cast<std::streamsize>(tsv.size()));
    }
    double table = 0, plain = 0;
    TDBTable t("items", false);
    std::vector<std::vector<std::string>> rows;
    for (auto _ : state) {
        table += loadTable(path, t);
        plain += loadPlain(path, rows);
    }
    if (t.RecordCount() != kRows || rows.size() != kRows + 1)
        state.SkipWithError("the file did not load whole");
    const double n = double(state.iterations()) * kRows;
    state.counters["rows_per_s_table"] = n / table;
    state.counters["rows_per_s_plain"] = n / plain;
    state.counters["load_speed_vs_plain"] = plain / table;
    std::filesystem::remove(path);
}
BENCHMARK(BM_TableLoad)->Unit(benchmark::kMillisecond);

// Look-ups of keys spread over the table: the first record whose int32 id
// equals the key, and the first record whose name equals a text.
void BM_TableLookup(benchmark::State& state) {
    TDBTable t("items", false);
    t.LoadTsv(tsvTextLines(makeTsv()));
    std::vector<std::vector<std::string>> rows;
    {
        std::istringstream in(makeTsv());
        std::string line;
        while (std::getline(in, line)) {
            std::vector<std::string> cells;
            std::istringstream cs(line);
            std::string cell;
            while (std::getline(cs, cell, '\t'))
                cells.push_back(cell);
            rows.push_back(std::move(cells));
        }
    }
    TParamStr idName, nameName;
    idName.SetString("id");
    nameName.SetString("name");
    TParamInt id;
    TParamStr name;
    const int kLookups = 20;
    double table = 0, plain = 0;
    int64_t found = 0;
    for (auto _ : state) {
        double start = cpuSeconds();
        for (int k = 0; k < kLookups; ++k) {
            std::vector<int32_t> hits;
            id.SetInteger((k * 4999) % kRows);
            t.SelectRecords(hits, &idName, false, false, &id);
            name.SetString("item" + std::to_string((k * 4999) % kRows * 7919 % 100000));
            t.SelectRecords(hits, &nameName, false, false, &name);
            found += static_cast<int64_t>(hits.size());
        }
        table += cpuSeconds() - start;
        start = cpuSeconds();
        for (int k = 0; k < kLookups; ++k) {
            const int key = (k * 4999) % kRows;
            const std::string text = "item" + std::to_string((k * 4999) % kRows * 7919 % 100000);
            for (size_t r = 1; r < rows.size(); ++r)
                found += std::atoi(rows[r][0].c_str()) == key;
            for (size_t r = 1; r < rows.size(); ++r)
                found += rows[r][1] == text;
        }
        plain += cpuSeconds() - start;
    }
    benchmark::DoNotOptimize(found);
    const double n = double(state.iterations()) * kLookups * 2;
    state.counters["lookups_per_s_table"] = n / table;
    state.counters["lookups_per_s_plain"] = n / plain;
    state.counters["lookup_speed_vs_plain"] = plain / table;
}
BENCHMARK(BM_TableLookup)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
