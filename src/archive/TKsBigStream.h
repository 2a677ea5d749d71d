// The 64-bit stream family that archives are read and written through.
//
// TKsBigStream is its own small family beside the ordinary TStream: eight
// virtual operations whose base versions do nothing and return 0. The file
// variant (TKsBigFileStream.h) spans volume files, the memory variant lives
// here, the resource variant reads embedded data (TKsBigResourceStream.h).
// TBigStreamView lets the ordinary field readers (core/StreamFields.h) work on
// any big stream.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/TStream.h"

namespace zuno {

class TKsBigStream {
public:
    virtual             ~TKsBigStream() = default;

    virtual int64_t     GetSize() { return 0; }
    virtual int64_t     GetPosition() { return 0; }
    virtual void        SetPosition(int64_t) {}                                 // past the end: at the end
    virtual int64_t     Write(const void*, int64_t) { return 0; }               // bytes written
    virtual int64_t     Read(void*, int64_t) { return 0; }                      // bytes read
    virtual int64_t     CopyFromBig(TKsBigStream&, int64_t) { return 0; }       // 0: whole source from 0
    virtual int64_t     CopyFrom(TStream&, int64_t) { return 0; }               // 0: whole source from 0
    virtual int64_t     CopyTo(TStream&, int64_t) { return 0; }                 // from the position

    int64_t             Remaining() { return GetSize() - GetPosition(); }
    void                ReadBuffer(void* buffer, int64_t count);                // all or the read error
    void                WriteBuffer(const void* buffer, int64_t count);         // all or the write error
};

// A big stream over one owned memory stream; loads itself from a file and
// saves itself to one (through the atomic write).
class TKsBigMemoryStream : public TKsBigStream {
public:
                        TKsBigMemoryStream() = default;
    explicit            TKsBigMemoryStream(std::vector<uint8_t> data) : FMemory(std::move(data)) {}

    int64_t             GetSize() override { return FMemory.GetSize(); }
    int64_t             GetPosition() override { return FMemory.GetPosition(); }
    void                SetPosition(int64_t p) override;
    int64_t             Write(const void* buffer, int64_t count) override;
    int64_t             Read(void* buffer, int64_t count) override;
    int64_t             CopyFromBig(TKsBigStream& source, int64_t count) override;  // memory sources only
    int64_t             CopyFrom(TStream& source, int64_t count) override;
    int64_t             CopyTo(TStream& target, int64_t count) override;

    void                LoadFromFile(const std::string& path);                  // path in UTF-8
    void                SaveToFile(const std::string& path);            // through the atomic write
    TKsMemoryStream&    Memory() { return FMemory; }

private:
    TKsMemoryStream     FMemory;
};

// An ordinary stream that reads and writes through a big stream it does not
// own, so the field readers and writers work on it.
class TBigStreamView : public TStream {
public:
    explicit            TBigStreamView(TKsBigStream& big) : FBig(big) {}

    int64_t             Read(void* buffer, int64_t count) override { return FBig.Read(buffer, count); }
    int64_t             Write(const void* buffer, int64_t count) override { return FBig.Write(buffer, count); }
    int64_t             Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t             GetSize() override { return FBig.GetSize(); }

private:
    TKsBigStream&       FBig;
};

// The general copy between ordinary streams. A count of 0 copies the whole
// source from position 0. Returns the count copied.
int64_t CopyStream(TStream& target, TStream& source, int64_t count);

// Largest buffer CopyStream takes, and the step by which it shrinks when
// memory is short.
constexpr int64_t kCopyBufferMax = 10 * 1024 * 1024;
constexpr int64_t kCopyBufferStep = 1024 * 1024;

} // namespace zuno
