#include "archive/TKsBuffBigStream.h"

#include <algorithm>
#include <cstring>

namespace zuno {

int32_t TKsBuffBigStream::Read(void* buffer, int32_t count) {
    auto* out = static_cast<uint8_t*>(buffer);
    int32_t total = 0;
    while (count > 0) {
        if (FUsed >= FBuffer.size()) {
            int64_t want = std::min<int64_t>(kBufferSize, FSource.GetSize() - FSource.GetPosition());
            FBuffer.resize(static_cast<size_t>(std::max<int64_t>(0, want)));
            FUsed = 0;
            if (FBuffer.empty())
                break;
            int64_t got = FSource.Read(FBuffer.data(), static_cast<int64_t>(FBuffer.size()));
            FBuffer.resize(static_cast<size_t>(std::max<int64_t>(0, got)));
            if (FBuffer.empty())
                break;
        }
        size_t n = std::min(static_cast<size_t>(count), FBuffer.size() - FUsed);
        std::memcpy(out + total, FBuffer.data() + FUsed, n);
        FUsed += n;
        total += static_cast<int32_t>(n);
        count -= static_cast<int32_t>(n);
    }
    FReleased = false;
    return total;
}

int64_t TKsBuffBigStream::Remaining() {
    return FSource.GetSize() - FSource.GetPosition() + static_cast<int64_t>(FBuffer.size() - FUsed);
}

void TKsBuffBigStream::Release() {
    if (FReleased)
        return;
    FReleased = true;
    size_t left = FBuffer.size() - FUsed;
    if (left > 0)
        FSource.SetPosition(FSource.GetPosition() - static_cast<int64_t>(left));
    FBuffer.clear();
    FUsed = 0;
}

} // namespace zuno
