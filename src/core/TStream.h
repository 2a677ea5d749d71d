// The ordinary stream: one virtual read, write and seek; every typed field
// reader and writer (StreamFields.h) is built on them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zuno {

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream {
public:
    virtual             ~TStream() = default;

    virtual int64_t     Read(void* buffer, int64_t count) = 0;          // bytes read, 0 at the end
    virtual int64_t     Write(const void* buffer, int64_t count) = 0;   // bytes written
    virtual int64_t     Seek(int64_t offset, TSeekOrigin origin) = 0;   // new position
    virtual int64_t     GetSize();
    virtual void        SetSize(int64_t size);                          // not every stream can

    int64_t             GetPosition() { return Seek(0, soCurrent); }
    void                SetPosition(int64_t p) { Seek(p, soBeginning); }
    int64_t             Remaining() { return GetSize() - GetPosition(); }

    void                ReadBuffer(void* buffer, int64_t count);         // all or the read error
    void                WriteBuffer(const void* buffer, int64_t count);  // all or the write error
};

// A growable memory stream. Used for in-memory archive entries, project data
// and anything read whole.
class TKsMemoryStream : public TStream {
public:
                        TKsMemoryStream() = default;
    explicit            TKsMemoryStream(std::vector<uint8_t> data) : FData(std::move(data)) {}

    int64_t             Read(void* buffer, int64_t count) override;
    int64_t             Write(const void* buffer, int64_t count) override;
    int64_t             Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t             GetSize() override { return static_cast<int64_t>(FData.size()); }
    void                SetSize(int64_t size) override;

    void                Clear();                                        // size and position 0
    uint8_t*            Memory() { return FData.data(); }
    const uint8_t*      Memory() const { return FData.data(); }
    std::vector<uint8_t>& Data() { return FData; }                      // the bytes themselves
    void                LoadFromFile(const std::string& path);          // path in UTF-8

private:
    std::vector<uint8_t> FData;
    int64_t             FPosition = 0;
};

} // namespace zuno
