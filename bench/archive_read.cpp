// Reading archive entries against the same work done without the archive
// layer, in the same run:
//   stored entries      vs  pread of the same byte ranges of the same file
//   compressed entries  vs  pread + zlib uncompress of the same bytes
//   name look-up        vs  std::unordered_map over the lower-cased names
// Each benchmark reports `vs_reference` = reference time / archive time
// (1.0 is as fast as the reference; the target for stored entries is >= 0.8).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <unordered_map>

#include "archive/TKsBigFileStream.h"
#include "archive/TVrFileCollection.h"
#include "core/Cp932.h"
#include "platform/posix/AtomicFile.h"

namespace {

using namespace zuno;
using Clock = std::chrono::steady_clock;

constexpr int kStoredEntries = 150;          // 1 MiB of noise each: stored unchanged
constexpr int kCompressedEntries = 200;      // 1 MiB of text-like bytes each: about 1/4 after deflate
constexpr size_t kEntrySize = 1 << 20;

struct Fixture {
    std::string dir;
    std::string path;
    std::vector<std::string> stored, compressed;

    Fixture() {
        char pattern[] = "/tmp/zuno-bench-XXXXXX";
        dir = ::mkdtemp(pattern);
        path = dir + "/bench.dat";
        std::mt19937 gen(42);
        TVrFileCollection c;
        std::vector<uint8_t> bytes(kEntrySize);
        for (int i = 0; i < kStoredEntries; ++i) {
            for (uint8_t& b : bytes)
                b = uint8_t(gen());
            stored.push_back("bgm\\noise" + std::to_string(i) + ".ogg");
            c.AddMemoryEntry(stored.back())->Data->WriteBuffer(bytes.data(), int64_t(bytes.size()));
        }
        for (int i = 0; i < kCompressedEntries; ++i) {
            for (size_t k = 0; k < bytes.size(); ++k)
                bytes[k] = uint8_t('a' + (gen() % 8 == 0 ? gen() % 26 : k % 7));
            compressed.push_back("script\\page" + std::to_string(i) + ".zsb");
            TVrFile* e = c.AddMemoryEntry(compressed.back());
            e->Data->WriteBuffer(bytes.data(), int64_t(bytes.size()));
        }
        // Stored entries must be stored: the writer stores only 5 MiB or more
        // from memory, so give those their bytes through the disk-file rule.
        for (int i = 0; i < kStoredEntries; ++i) {
            TVrFile* e = c.FindEntry(stored[size_t(i)]);
            std::string disk = dir + "/bgm/noise" + std::to_string(i) + ".ogg";
            std::filesystem::create_directories(dir + "/bgm");
            writeFileAtomically(disk, e->Data->Data());
            e->Data.reset();
        }
        c.SetFolder(dir);
        TKsBigFileStream out(path, fmCreate);
        c.SaveToStream(out);
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void preadAll(int fd, uint8_t* to, int64_t size, int64_t offset) {
    while (size > 0) {
        ssize_t n = ::pread(fd, to, size_t(size), offset);
        if (n <= 0)
            std::abort();
        to += n;
        size -= n;
        offset += n;
    }
}

void BM_ReadStoredEntries(benchmark::State& state) {
    Fixture& f = fixture();
    TVrFileCollection archive;
    archive.Open(f.path);
    int fd = ::open(f.path.c_str(), O_RDONLY);
    TKsMemoryStream out;
    std::vector<uint8_t> raw;
    double archiveTime = 0, referenceTime = 0;
    int64_t bytes = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (const std::string& name : f.stored) {
            archive.ReadEntry(name, out);
            bytes += out.GetSize();
        }
        auto t1 = Clock::now();
        for (const std::string& name : f.stored) {
            const TVrFile* e = archive.FindEntry(name);
            raw.resize(size_t(e->Size));   // a fresh buffer per file, as ReadEntry fills a fresh stream
            preadAll(fd, raw.data(), e->Size, e->Offset);
            benchmark::DoNotOptimize(raw.data());
            raw.clear();
            raw.shrink_to_fit();
        }
        auto t2 = Clock::now();
        archiveTime += seconds(t1 - t0);
        referenceTime += seconds(t2 - t1);
        state.SetIterationTime(seconds(t1 - t0));
    }
    ::close(fd);
    state.SetBytesProcessed(bytes);
    state.counters["vs_reference"] = referenceTime / archiveTime;
}
BENCHMARK(BM_ReadStoredEntries)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_ReadCompressedEntries(benchmark::State& state) {
    Fixture& f = fixture();
    TVrFileCollection archive;
    archive.Open(f.path);
    int fd = ::open(f.path.c_str(), O_RDONLY);
    TKsMemoryStream out;
    std::vector<uint8_t> packed, plain;
    double archiveTime = 0, referenceTime = 0;
    int64_t bytes = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (const std::string& name : f.compressed) {
            archive.ReadEntry(name, out);
            bytes += out.GetSize();
        }
        auto t1 = Clock::now();
        for (const std::string& name : f.compressed) {
            const TVrFile* e = archive.FindEntry(name);
            packed.resize(size_t(e->Size));
            preadAll(fd, packed.data(), e->Size, e->Offset);
            plain.resize(kEntrySize);          // the reference knows the size in advance
            uLongf size = uLongf(plain.size());
            if (uncompress(plain.data(), &size, packed.data(), uLong(packed.size())) != Z_OK)
                std::abort();
            benchmark::DoNotOptimize(plain.data());
        }
        auto t2 = Clock::now();
        archiveTime += seconds(t1 - t0);
        referenceTime += seconds(t2 - t1);
        state.SetIterationTime(seconds(t1 - t0));
    }
    ::close(fd);
    state.SetBytesProcessed(bytes);
    state.counters["vs_reference"] = referenceTime / archiveTime;
}
BENCHMARK(BM_ReadCompressedEntries)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

// 100,000 entries of varied folders, lengths and extensions; every name is
// looked up once per iteration.
void BM_NameLookup(benchmark::State& state) {
    static const char* folders[] = {"bg\\", "chara\\face\\", "se\\", "bgm\\", "script\\", "", "cg\\event\\", "sys\\"};
    static const char* extensions[] = {".png", ".drl", ".ogg", ".wav", ".zsb", ".zmt"};
    std::mt19937 gen(7);
    std::vector<std::string> names;
    TVrFileCollection archive;
    std::unordered_map<std::string, int> reference;
    for (int i = 0; i < 100000; ++i) {
        std::string name = std::string(folders[gen() % 8]) + char('a' + gen() % 26) + std::to_string(i) +
                           std::string(gen() % 6, '_') + extensions[gen() % 6];
        archive.AddEntry(name);
        reference[lowerCaseSjis(name)] = i;
        names.push_back(upperCaseSjis(name));
    }
    double archiveTime = 0, referenceTime = 0;
    int64_t found = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (const std::string& n : names)
            found += archive.IndexOf(n) >= 0;
        auto t1 = Clock::now();
        for (const std::string& n : names)
            found += reference.count(lowerCaseSjis(n));
        auto t2 = Clock::now();
        archiveTime += seconds(t1 - t0);
        referenceTime += seconds(t2 - t1);
        state.SetIterationTime(seconds(t1 - t0));
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(names.size()));
    state.counters["vs_reference"] = referenceTime / archiveTime;
}
BENCHMARK(BM_NameLookup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
