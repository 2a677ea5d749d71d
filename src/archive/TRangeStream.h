// Read-only window streams over part of a big stream, handed to media players
// that read on their own threads. Each range stream owns its source and its
// lock: Seek and Read hold the lock while they move and read the source.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "archive/TKsBigStream.h"
#include "core/TStream.h"

namespace zuno {

class TRangeStream : public TStream {
public:
    // The window [start, start + length) of `source`; a length of 0 means the
    // source's whole size unless `exactLength` asks for an empty window.
                        TRangeStream(std::unique_ptr<TKsBigStream> source, int64_t start, int64_t length,
                                     bool exactLength = false);

    int64_t             Read(void* buffer, int64_t count) override;
    int64_t             Write(const void* buffer, int64_t count) override;   // writes nothing, 0
    int64_t             Seek(int64_t offset, TSeekOrigin origin) override;   // clamped into the window
    int64_t             GetSize() override { return FLength; }

    int64_t             Start() const { return FStart; }
    int64_t             Length() const { return FLength; }

private:
    std::unique_ptr<TKsBigStream> FSource;
    int64_t             FStart;
    int64_t             FLength;
    std::mutex          FLock;
};

// Over a volume file opened for reading with writes denied to others.
class TFileRangeStream : public TRangeStream {
public:
    // With `singleFile` the file's own bytes only (a loose file), else all its volumes.
                        TFileRangeStream(const std::string& fileName, int64_t length, int64_t start,
                                         bool exactLength = false, bool singleFile = false);
};

// Over an embedded resource of the player (or of the named module).
class TResourceRangeStream : public TRangeStream {
public:
                        TResourceRangeStream(const std::string& resourceName, int64_t length, int64_t start,
                                             const std::string& resourceType, const std::string& module = "",
                                             bool exactLength = false);
};

} // namespace zuno
