#include "media/PcmConvert.h"

#include <cstring>

#include "core/StreamFields.h"
#include "media/TPcmDecoder.h"

namespace zuno {

bool isEngineFormat(const TPcmFormat& f) {
    return (f.SamplesPerSec == 44100 || f.SamplesPerSec == 22050) && (f.BitsPerSample == 8 || f.BitsPerSample == 16) &&
           (f.Channels == 1 || f.Channels == 2);
}

int64_t engineSourceBytes(const TPcmFormat& f, int64_t outFrames) {
    if (!isEngineFormat(f))
        return 0;
    const int64_t repeat = kMixRate / f.SamplesPerSec;          // 1 or 2
    return outFrames / repeat * f.blockAlign();
}

int64_t convertEngineFormat(const TPcmFormat& f, const uint8_t* in, int64_t inBytes, int16_t* out) {
    if (!isEngineFormat(f))
        return 0;
    const int repeat = kMixRate / f.SamplesPerSec;
    const int channels = f.Channels;
    const int64_t frames = inBytes / f.blockAlign();
    int16_t* o = out;
    for (int64_t i = 0; i < frames; ++i) {
        int16_t l, r;
        if (f.BitsPerSample == 16) {
            const uint8_t* p = in + i * 2 * channels;
            l = int16_t(getLE16(p));
            r = channels == 2 ? int16_t(getLE16(p + 2)) : l;
        } else {
            const uint8_t* p = in + i * channels;
            l = int16_t((int(p[0]) - 128) * 256);
            r = channels == 2 ? int16_t((int(p[1]) - 128) * 256) : l;
        }
        for (int k = 0; k < repeat; ++k) {
            *o++ = l;
            *o++ = r;
        }
    }
    return frames * repeat;
}

} // namespace zuno
