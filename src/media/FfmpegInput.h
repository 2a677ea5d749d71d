// An FFmpeg demuxer reading from one of our streams through a custom I/O
// context, so files inside archives are read without a copy on disk. Probing
// is bounded, so a hostile file costs at most a few megabytes of reading.
#pragma once

#include <memory>

#include "core/TStream.h"

struct AVFormatContext;
struct AVIOContext;

namespace zuno {

class TAvInput {
public:
    // Opens and probes; false when FFmpeg takes the bytes for no format.
    explicit            TAvInput(std::unique_ptr<TStream> stream);
                        ~TAvInput();
                        TAvInput(const TAvInput&) = delete;
    TAvInput&           operator=(const TAvInput&) = delete;

    bool                ok() const { return FFormat != nullptr; }
    AVFormatContext*    context() const { return FFormat; }
    int                 bestStream(int mediaType) const;     // AVMEDIA_TYPE_*; -1 when none

private:
    std::unique_ptr<TStream> FStream;
    AVIOContext*        FIo = nullptr;
    AVFormatContext*    FFormat = nullptr;
};

} // namespace zuno
