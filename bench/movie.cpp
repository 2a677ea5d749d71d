// A 1280 x 720 movie (MPEG-1 with MP2 sound, made by the ffmpeg tool) played
// through the video manager's item as a movie control does: the clock moves
// one picture at a time, the item decodes and converts the frame due, and the
// frame is copied into a picture of the display depth. Reported: "realtime",
// the movie's duration over our processor time (above 1: faster than it
// plays), and "ratio", a bare libavcodec decode of the same file (no
// conversion, no copy) over our time.
#include <benchmark/benchmark.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <ctime>

#include "../tests/media/MediaTestKit.h"
#include "archive/TVrFileManager.h"
#include "imaging/TDIBX.h"
#include "media/TMediaSystem.h"
#include "support/ProgramRunner.h"

using namespace zuno;
using namespace zuno::test;

namespace {

constexpr int kSeconds = 5;
constexpr int kFps = 25;

double cpuNow() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Makes the movie once; empty when the ffmpeg tool is missing.
const std::string& moviePath() {
    static TempFolder dir;
    static std::string path;
    if (path.empty()) {
        const std::string file = dir.path("hd.mpg");
        const std::string input = "testsrc=size=1280x720:rate=" + std::to_string(kFps) +
                                  ":duration=" + std::to_string(kSeconds);
        const std::string sound = "sine=frequency=440:duration=" + std::to_string(kSeconds);
        if (runProgram("ffmpeg", {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i", input, "-f", "lavfi",
                                  "-i", sound, "-c:v", "mpeg1video", "-q:v", "4", "-c:a", "mp2", file})
                .status == 0)
            path = file;
    }
    return path;
}

// The reference: every picture of the file decoded by libavcodec alone.
double decodeBare(const std::string& file) {
    const double t0 = cpuNow();
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, file.c_str(), nullptr, nullptr) < 0)
        return 0;
    avformat_find_stream_info(fmt, nullptr);
    const int index = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const AVCodec* codec = avcodec_find_decoder(fmt->streams[index]->codecpar->codec_id);
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(ctx, fmt->streams[index]->codecpar);
    avcodec_open2(ctx, codec, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto drain = [&] {
        while (avcodec_receive_frame(ctx, frame) == 0)
            benchmark::DoNotOptimize(frame->data[0]);
    };
    while (av_read_frame(fmt, packet) >= 0) {
        if (packet->stream_index == index && avcodec_send_packet(ctx, packet) == 0)
            drain();
        av_packet_unref(packet);
    }
    avcodec_send_packet(ctx, nullptr);
    drain();
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&ctx);
    avformat_close_input(&fmt);
    return cpuNow() - t0;
}

void BM_Movie720p(benchmark::State& state) {
    const std::string& file = moviePath();
    if (file.empty()) {
        state.SkipWithError("no ffmpeg tool to make the movie");
        return;
    }
    const std::string folder = file.substr(0, file.find_last_of('/'));
    double ours = 0, reference = 0;
    for (auto _ : state) {
        TVrFileManager files;
        files.SetBaseFolder(folder);
        ManualClock clock;
        TMediaSystem media(files, TMediaSettings{}, clock.fn());
        std::vector<int16_t> sound(size_t(kMixRate / kFps) * 2);
        const double t0 = cpuNow();
        TVideoItem* v = media.AddVideo("hd.mpg", true);
        if (!v || v->GetSourceWidth() != 1280) {
            state.SkipWithError("the movie did not open");
            return;
        }
        TDIBX shown(v->GetSourceWidth(), v->GetSourceHeight(), 32);
        v->Play();
        for (int i = 0; i < kSeconds * kFps; ++i) {
            if (v->NeedPaint())
                if (TDIBX* frame = v->GetFrame()) {
                    shown.Draw(0, 0, false, false, false, TRect(0, 0, frame->GetWidth(), frame->GetHeight()), *frame);
                    v->FramePainted();
                }
            // The sound of one picture's time, as the output pulls it.
            media.Mixer().pull(sound.data(), kMixRate / kFps);
            clock.now += 1000 / kFps;
        }
        ours += cpuNow() - t0;
        reference += decodeBare(file);
    }
    state.counters["realtime"] = kSeconds * double(state.iterations()) / ours;
    state.counters["ratio"] = reference / ours;
}
BENCHMARK(BM_Movie720p)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
