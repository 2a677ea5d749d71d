// The conversion of the engine formats (44100 or 22050 Hz, 8 or 16 bits,
// mono or stereo) into 44100 Hz 16-bit stereo: 22050 Hz frames are repeated,
// mono samples go to both channels, an 8-bit sample s becomes (s - 128) * 256.
#pragma once

#include <cstdint>

#include "media/MediaTypes.h"

namespace zuno {

// Source bytes that make `outFrames` output frames (0 for other formats).
int64_t                 engineSourceBytes(const TPcmFormat& f, int64_t outFrames);
// Converts `inBytes` source bytes (whole source frames) to out; returns the
// output frames written (0 for other formats).
int64_t                 convertEngineFormat(const TPcmFormat& f, const uint8_t* in, int64_t inBytes, int16_t* out);

} // namespace zuno
