// A read-only byte stream over a decoder: the decoded PCM of an Ogg or WAV
// file as the wave-out engine reads it. Seeks are clamped to 0..size.
#pragma once

#include <memory>

#include "core/TStream.h"
#include "media/TPcmDecoder.h"

namespace zuno {

class TOggStream : public TStream {
public:
    explicit            TOggStream(std::unique_ptr<TPcmDecoder> decoder) : FDecoder(std::move(decoder)) {}

    int64_t             Read(void* buffer, int64_t count) override;
    int64_t             Write(const void*, int64_t) override { return 0; }
    int64_t             Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t             GetSize() override { return FDecoder->size(); }
    TPcmFormat          Format() const { return FDecoder->format(); }

private:
    std::unique_ptr<TPcmDecoder> FDecoder;
};

} // namespace zuno
