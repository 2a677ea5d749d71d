// Fuzz target: a WAV file read by our bounded RIFF reader, decoded whole,
// seeked and converted to the mix format.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/EZunoError.h"
#include "core/TStream.h"
#include "media/TPcmDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zuno;
    try {
        auto decoder = toMixFormat(openWavDecoder(std::make_unique<TKsMemoryStream>(std::vector<uint8_t>(data, data + size))));
        uint8_t buffer[4096];
        while (decoder->read(buffer, sizeof buffer) > 0) {
        }
        decoder->seek(decoder->size() / 3);
        decoder->read(buffer, sizeof buffer);
    } catch (const EZunoError&) {
    }
    return 0;
}
