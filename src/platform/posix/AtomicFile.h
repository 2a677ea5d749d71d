// The one way a file is written: a uniquely named temporary in the target's
// folder is written and flushed to the medium, renamed over the target, and
// the folder is flushed too. A crash or a power cut leaves either the old
// file or the new one, never a damaged or empty one; a failed write removes
// the temporary and leaves the old file untouched.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/DiskFile.h"

namespace zuno {

class TAtomicFile {
public:
    // Makes the temporary ("." + the target's name + ".tmp" + six unique
    // characters, beside the target). EZunoError when it cannot be made.
    explicit            TAtomicFile(std::string target);
                        ~TAtomicFile();          // removes the temporary unless committed
                        TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile&        operator=(const TAtomicFile&) = delete;

    TDiskFile&          file() { return FFile; }                    // the temporary, for positioned access
    void                write(const void* data, size_t size);       // appends; EZunoError on failure
    // Puts the temporary in the target's place. On failure (EZunoError) the
    // temporary is gone and the target is as it was.
    void                commit();

    const std::string&  target() const { return FTarget; }
    const std::string&  temporaryPath() const { return FTemporary; }

private:
    [[noreturn]] void   fail();                  // removes the temporary, throws the write error

    std::string         FTarget;
    std::string         FTemporary;
    TDiskFile           FFile;
    int64_t             FWritten = 0;            // where write() appends
    bool                FDone = false;           // committed or given up
};

// Writes `size` bytes as the whole new contents of `path`, atomically as above.
void                    writeFileAtomically(const std::string& path, const void* data, size_t size);
inline void             writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    writeFileAtomically(path, bytes.data(), bytes.size());
}
inline void             writeFileAtomically(const std::string& path, std::string_view bytes) {
    writeFileAtomically(path, bytes.data(), bytes.size());
}

} // namespace zuno
