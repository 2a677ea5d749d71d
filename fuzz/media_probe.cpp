// Fuzz target: bytes handed to the media layer as a sound whose kind is not
// known (Ogg Vorbis, WAV or anything FFmpeg takes), decoded for at most a
// second of sound, plus the probe a movie item makes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/EZunoError.h"
#include "core/TStream.h"
#include "media/FfmpegInput.h"
#include "media/TPcmDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zuno;
    const std::vector<uint8_t> bytes(data, data + size);
    try {
        auto decoder = toMixFormat(openPcmDecoder(std::make_unique<TKsMemoryStream>(bytes)));
        uint8_t buffer[4096];
        for (int64_t total = 0; total < kMixBytesPerSecond;) {
            const int64_t n = decoder->read(buffer, sizeof buffer);
            if (n <= 0)
                break;
            total += n;
        }
    } catch (const EZunoError&) {
    }
    TAvInput probe(std::make_unique<TKsMemoryStream>(bytes));
    (void)probe.bestStream(0);
    return 0;
}
