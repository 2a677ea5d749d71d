// A read buffer of 102,400 bytes over a big stream it does not own, for
// readers that take many small fields (archive directories). Releasing it
// moves the source back to the first byte that was buffered but not read.
#pragma once

#include <cstdint>
#include <vector>

#include "archive/TKsBigStream.h"

namespace zuno {

class TKsBuffBigStream {
public:
    static constexpr int32_t kBufferSize = 102400;

    explicit            TKsBuffBigStream(TKsBigStream& source) : FSource(source) {}
                        ~TKsBuffBigStream() { Release(); }
                        TKsBuffBigStream(const TKsBuffBigStream&) = delete;
    TKsBuffBigStream&   operator=(const TKsBuffBigStream&) = delete;

    int32_t             Read(void* buffer, int32_t count);      // bytes read; fewer only at the end
    int64_t             Remaining();                            // bytes left to read in the source
    void                Release();                              // gives back the unread bytes; once

private:
    TKsBigStream&       FSource;
    std::vector<uint8_t> FBuffer;
    size_t              FUsed = 0;                              // bytes of FBuffer already read
    bool                FReleased = false;
};

} // namespace zuno
