#include "archive/TKsBigStream.h"

#include <algorithm>
#include <new>
#include <vector>

#include "core/EZunoError.h"
#include "platform/posix/AtomicFile.h"

namespace zuno {

// ---------------------------------------------------------------- TKsBigStream

void TKsBigStream::ReadBuffer(void* buffer, int64_t count) {
    if (count < 0 || Read(buffer, count) != count)
        throw EZunoError::fromUtf8("ストリームの読み込みエラー");
}

void TKsBigStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count < 0 || Write(buffer, count) != count)
        throw EZunoError::fromUtf8("ストリームの書き込みエラー");
}

// ---------------------------------------------------------------- TKsBigMemoryStream

void TKsBigMemoryStream::SetPosition(int64_t p) {
    FMemory.SetPosition(std::clamp<int64_t>(p, 0, FMemory.GetSize()));
}

int64_t TKsBigMemoryStream::Write(const void* buffer, int64_t count) { return FMemory.Write(buffer, count); }

int64_t TKsBigMemoryStream::Read(void* buffer, int64_t count) { return FMemory.Read(buffer, count); }

int64_t TKsBigMemoryStream::CopyFromBig(TKsBigStream& source, int64_t count) {
    // Only another memory stream is a source here.
    auto* memory = dynamic_cast<TKsBigMemoryStream*>(&source);
    if (!memory)
        return 0;
    return CopyStream(FMemory, memory->FMemory, count);
}

int64_t TKsBigMemoryStream::CopyFrom(TStream& source, int64_t count) { return CopyStream(FMemory, source, count); }

int64_t TKsBigMemoryStream::CopyTo(TStream& target, int64_t count) {
    if (count <= 0)
        return 0;
    return CopyStream(target, FMemory, count);
}

void TKsBigMemoryStream::LoadFromFile(const std::string& path) { FMemory.LoadFromFile(path); }

void TKsBigMemoryStream::SaveToFile(const std::string& path) { writeFileAtomically(path, FMemory.Data()); }

// ---------------------------------------------------------------- TBigStreamView

int64_t TBigStreamView::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? FBig.GetPosition() : FBig.GetSize();
    FBig.SetPosition(std::max<int64_t>(0, base + offset));
    return FBig.GetPosition();
}

// ---------------------------------------------------------------- CopyStream

int64_t CopyStream(TStream& target, TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.GetSize();
    }
    if (count <= 0)
        return 0;

    // A memory source is written in one piece.
    if (auto* memory = dynamic_cast<TKsMemoryStream*>(&source)) {
        int64_t position = memory->GetPosition();
        int64_t n = std::min(count, std::max<int64_t>(0, memory->GetSize() - position));
        if (n <= 0)
            return 0;
        target.WriteBuffer(memory->Memory() + position, n);
        memory->SetPosition(position + n);
        return n;
    }

    // Otherwise through a buffer of up to 10 MiB that shrinks while memory is short.
    std::vector<uint8_t> buffer;
    int64_t size = std::min(count, kCopyBufferMax);
    for (;;) {
        try {
            buffer.resize(static_cast<size_t>(size));
            break;
        } catch (const std::bad_alloc&) {
            size -= kCopyBufferStep;
            if (size <= 0)
                throw;
        }
    }
    int64_t copied = 0;
    while (copied < count) {
        int64_t n = source.Read(buffer.data(), std::min(count - copied, size));
        if (n <= 0)
            break;
        target.WriteBuffer(buffer.data(), n);
        copied += n;
    }
    return copied;
}

} // namespace zuno
