// The bounded RIFF WAV reader: finds the format and data chunks without
// trusting any chunk size beyond the bytes the stream holds.
#pragma once

#include <cstdint>
#include <vector>

#include "core/TStream.h"
#include "media/MediaTypes.h"

namespace zuno {

enum TWavSampleType { wstInteger, wstFloat };

struct TWavInfo {
    TPcmFormat          Format;                 // as stored (bits 8, 16, 24 or 32; float 32 or 64)
    TWavSampleType      SampleType = wstInteger;
    int64_t             DataOffset = 0;         // of the first sample byte
    int64_t             DataSize = 0;           // whole frames, within the stream
};

// Reads the chunk list from position 0. Fails with badSoundDataError when the
// stream is not a WAV file of a format we decode.
TWavInfo                readWavInfo(TStream& stream);

// A complete 16-bit (or 8-bit) PCM WAV file holding `data`.
std::vector<uint8_t>    makeWavFile(const TPcmFormat& format, const void* data, int64_t bytes);

} // namespace zuno
