#include "media/TOggStream.h"

#include <algorithm>

namespace zuno {

int64_t TOggStream::Read(void* buffer, int64_t count) {
    if (count <= 0)
        return 0;
    return FDecoder->read(buffer, count);
}

int64_t TOggStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = 0;
    if (origin == soCurrent)
        base = FDecoder->position();
    else if (origin == soEnd)
        base = FDecoder->size();
    const int64_t target = std::clamp<int64_t>(base + offset, 0, FDecoder->size());
    // Decoders seek by decoding again: a seek to where the stream is costs nothing.
    if (target != FDecoder->position())
        FDecoder->seek(target);
    return FDecoder->position();
}

} // namespace zuno
