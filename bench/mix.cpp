// Mixing and decoding against references measured in the same iterations:
// 16 playing sources mixed for 10 s of sound by the wave-out engine and by
// the device-path voices, against SDL_MixAudioFormat doing the same sums; an
// Ogg Vorbis file decoded by our decoder against a plain ov_read loop. Each
// benchmark reports ratio = reference time / our time (above 1: we are
// faster) and share = our processor time / the sound's duration.
#include <benchmark/benchmark.h>

#include <SDL.h>
#include <vorbis/vorbisfile.h>

#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#define ZUNO_HAVE_VORBISENC 1
#include "../tests/media/MediaTestKit.h"
#include "media/TAudioMixer.h"
#include "media/TPcmDecoder.h"
#include "media/TStreamVoice.h"
#include "media/TWavOut.h"

using namespace zuno;
using namespace zuno::test;

namespace {

constexpr int kSources = 16;
constexpr int kSeconds = 10;
constexpr int kPull = 1024;                     // frames per pull, like a sound device

double cpuNow() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// 10 s of a different ramp for each source.
std::vector<Bytes> sourceData() {
    std::vector<Bytes> data;
    for (int i = 0; i < kSources; ++i) {
        std::vector<int16_t> s = ramp(kMixRate * kSeconds, 2);
        for (int16_t& v : s)
            v = int16_t(v / 4 + i * 11);
        data.push_back(pcm16(s));
    }
    return data;
}

// The reference: every source's next samples added with SDL's saturating mixer at 3/4 volume.
double mixWithSdl(const std::vector<Bytes>& data, std::vector<int16_t>& out) {
    const double t0 = cpuNow();
    const int total = kMixRate * kSeconds;
    for (int at = 0; at < total; at += kPull) {
        const int n = std::min(kPull, total - at);
        int16_t* o = out.data() + size_t(at) * 2;
        std::memset(o, 0, size_t(n) * 4);
        for (const Bytes& d : data)
            SDL_MixAudioFormat(reinterpret_cast<Uint8*>(o), d.data() + size_t(at) * 4, AUDIO_S16LSB, Uint32(n * 4), 96);
    }
    return cpuNow() - t0;
}

void report(benchmark::State& state, double ours, double reference) {
    state.counters["share"] = ours / kSeconds / double(state.iterations());
    state.counters["ratio"] = reference / ours;
}

void BM_WaveOutEngine16(benchmark::State& state) {
    const std::vector<Bytes> data = sourceData();
    std::vector<int16_t> out(size_t(kMixRate) * kSeconds * 2);
    double ours = 0, reference = 0;
    for (auto _ : state) {
        uint32_t now = 0;
        TWavOut engine(100, [&now] { return now; });
        engine.OpenDevice(true);
        std::vector<std::unique_ptr<TKsMemoryStream>> streams;
        for (const Bytes& d : data) {
            streams.push_back(std::make_unique<TKsMemoryStream>(d));
            TWavBuffer* b = engine.AddSource(kMixFormat, *streams.back());
            b->SetGain(192);
            b->StartSource();
        }
        const double t0 = cpuNow();
        const int total = kMixRate * kSeconds;
        for (int at = 0; at < total; at += kPull) {
            int16_t* o = out.data() + size_t(at) * 2;
            const int n = std::min(kPull, total - at);
            std::memset(o, 0, size_t(n) * 4);
            engine.mixInto(o, n);
            now += 23;
        }
        ours += cpuNow() - t0;
        reference += mixWithSdl(data, out);
        benchmark::DoNotOptimize(out.data());
    }
    report(state, ours, reference);
}
BENCHMARK(BM_WaveOutEngine16)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_DeviceVoices16(benchmark::State& state) {
    const std::vector<Bytes> data = sourceData();
    std::vector<int16_t> out(size_t(kMixRate) * kSeconds * 2);
    double ours = 0, reference = 0;
    for (auto _ : state) {
        TAudioMixer mixer;
        std::vector<std::unique_ptr<TStreamVoice>> voices;
        for (const Bytes& d : data) {
            voices.push_back(std::make_unique<TStreamVoice>(openWavDecoder(memoryStream(wavFile(kMixFormat, d)))));
            voices.back()->setVolume(-250);
            voices.back()->setPan(300);
            voices.back()->play();
            mixer.addVoice(voices.back().get());
        }
        const double t0 = cpuNow();
        const int total = kMixRate * kSeconds;
        for (int at = 0; at < total; at += kPull)
            mixer.pull(out.data() + size_t(at) * 2, std::min(kPull, total - at));
        ours += cpuNow() - t0;
        reference += mixWithSdl(data, out);
        benchmark::DoNotOptimize(out.data());
    }
    report(state, ours, reference);
}
BENCHMARK(BM_DeviceVoices16)->Unit(benchmark::kMillisecond)->Iterations(5);

size_t ovRead(void* p, size_t size, size_t n, void* src) {
    auto* s = static_cast<std::pair<const Bytes*, size_t>*>(src);
    const size_t want = std::min(size * n, s->first->size() - s->second);
    std::memcpy(p, s->first->data() + s->second, want);
    s->second += want;
    return size ? want / size : 0;
}

void BM_OggDecode(benchmark::State& state) {
    const Bytes ogg = oggSine(kSeconds);
    std::vector<uint8_t> buffer(1 << 16);
    double ours = 0, reference = 0;
    for (auto _ : state) {
        double t0 = cpuNow();
        auto d = openVorbisDecoder(memoryStream(ogg));
        while (d->read(buffer.data(), int64_t(buffer.size())) > 0) {
        }
        ours += cpuNow() - t0;

        t0 = cpuNow();
        std::pair<const Bytes*, size_t> src{&ogg, 0};
        OggVorbis_File vf;
        ov_callbacks cb{ovRead, nullptr, nullptr, nullptr};
        ov_open_callbacks(&src, &vf, nullptr, 0, cb);
        int section;
        while (ov_read(&vf, reinterpret_cast<char*>(buffer.data()), int(buffer.size()), 0, 2, 1, &section) > 0) {
        }
        ov_clear(&vf);
        reference += cpuNow() - t0;
    }
    report(state, ours, reference);
}
BENCHMARK(BM_OggDecode)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
