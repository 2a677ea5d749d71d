// Shared facts of the media layer: the one output format every sound is mixed
// into, the PCM format descriptor of decoded sources, the millisecond clock,
// and the error raised for sound data that cannot be decoded.
#pragma once

#include <cstdint>
#include <functional>

#include "core/EZunoError.h"

namespace zuno {

constexpr int32_t kMixRate = 44100;            // output: 44100 Hz, 16-bit, stereo
constexpr int32_t kMixChannels = 2;
constexpr int32_t kMixBytesPerFrame = 4;
constexpr int32_t kMixBytesPerSecond = kMixRate * kMixBytesPerFrame;   // 176400

// Milliseconds of the platform clock (the virtual clock in headless runs).
using TMediaClock = std::function<uint32_t()>;

// A PCM format: channels, samples per second and bits per sample.
struct TPcmFormat {
    int32_t             Channels = 0;
    int32_t             SamplesPerSec = 0;
    int32_t             BitsPerSample = 0;

    int32_t             blockAlign() const { return Channels * BitsPerSample / 8; }
    int32_t             bytesPerSecond() const { return blockAlign() * SamplesPerSec; }
    bool                valid() const { return Channels > 0 && SamplesPerSec > 0 && BitsPerSample > 0; }
    bool                operator==(const TPcmFormat&) const = default;
};

constexpr TPcmFormat kMixFormat{kMixChannels, kMixRate, 16};

// "サウンドデータが不正です": a sound whose data cannot be decoded.
EZunoError              badSoundDataError();

// Adds b to a, saturating at the 16-bit range.
inline int16_t          addSaturated(int16_t a, int32_t b) {
    int32_t s = int32_t(a) + b;
    return int16_t(s > 32767 ? 32767 : (s < -32768 ? -32768 : s));
}

} // namespace zuno
