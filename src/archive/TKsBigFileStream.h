// A big stream over a file that is split into volumes of exactly 1 GiB each
// (the last one shorter): volume 0 is the file itself, volume k >= 1 is the
// file name without its extension followed by ".%03d" (game.dat, game.001,
// game.002, ...). Positions run across the volumes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/TKsBigStream.h"
#include "platform/posix/AtomicFile.h"
#include "platform/posix/DiskFile.h"

namespace zuno {

// File modes: the low 4 bits are the access, bits 4-7 the sharing.
constexpr int32_t fmOpenRead = 0x00;
constexpr int32_t fmOpenWrite = 0x01;
constexpr int32_t fmOpenReadWrite = 0x02;
constexpr int32_t fmCreate = 0x0F;
constexpr int32_t fmShareCompat = 0x00;
constexpr int32_t fmShareExclusive = 0x10;
constexpr int32_t fmShareDenyWrite = 0x20;
constexpr int32_t fmShareDenyRead = 0x30;
constexpr int32_t fmShareDenyNone = 0x40;

class TKsBigFileStream : public TKsBigStream {
public:
    static constexpr int64_t kVolumeSize = 1073741824;     // 1 GiB
    static constexpr int32_t BufferSize = 1048576;          // copy buffer of CopyFromBig

    // Read (0) and read/write (2) open every existing volume; any other access
    // deletes the old volumes and creates them as the writes reach them. A
    // missing volume 0 opened for reading gives an empty stream. With
    // `singleFile` only the file itself is opened (loose files, never split).
                        TKsBigFileStream(std::string fileName, int32_t mode, bool singleFile = false);
                        ~TKsBigFileStream() override;
    // A new file of that name whose volumes are written as temporaries
    // beside their targets (the atomic write) and replace the old file only
    // at Commit; freed without Commit, it leaves the old file as it was.
    static std::unique_ptr<TKsBigFileStream> CreateReplacing(std::string fileName);
    // Puts the written volumes in place, one after the other, and removes the
    // old file's further volumes; the stream is empty afterwards. EZunoError
    // when it fails (volumes already put in place stay).
    void                Commit();
                        TKsBigFileStream(const TKsBigFileStream&) = delete;
    TKsBigFileStream&   operator=(const TKsBigFileStream&) = delete;

    int64_t             GetSize() override;
    int64_t             GetPosition() override { return FPosition; }
    void                SetPosition(int64_t p) override;
    int64_t             Write(const void* buffer, int64_t count) override;
    int64_t             Read(void* buffer, int64_t count) override;
    int64_t             CopyFromBig(TKsBigStream& source, int64_t count) override;
    int64_t             CopyFrom(TStream& source, int64_t count) override;
    int64_t             CopyTo(TStream& target, int64_t count) override;

    const std::string&  FileName() const { return FFileName; }
    int32_t             Mode() const { return FMode; }
    int                 VolumeCount() const { return static_cast<int>(FVolumes.size()); }

    // Name of volume `index` of the file `fileName` (index 0 is the file itself).
    static std::string  volumeFileName(const std::string& fileName, int index);

private:
    struct TReplacing {};
                        TKsBigFileStream(std::string fileName, TReplacing)
                            : FFileName(std::move(fileName)), FMode(fmCreate), FReplacing(true) {}

    struct Volume {
        TDiskFile       file;                                   // the volume, or the temporary standing for it
        std::unique_ptr<TAtomicFile> replacing;                 // set when written through the atomic write
        int64_t         size = 0;
        TDiskFile&      disk() { return replacing ? replacing->file() : file; }
    };

    Volume&             volume(size_t index);                  // creates missing volumes up to index
    bool                writable() const;

    std::string         FFileName;
    int32_t             FMode;
    bool                FReplacing = false;
    int64_t             FPosition = 0;
    std::vector<Volume> FVolumes;
};

// Reads a whole disk file into `out` from its position; a memory output is
// filled in one read. Fails with "%s:ファイルがありません" when it cannot be read.
void loadDiskFile(const std::string& path, TStream& out);

} // namespace zuno
