#include "archive/TKsBigFileStream.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/EZunoError.h"

namespace zuno {

namespace {

EZunoError writeError(const std::string& path) { return EZunoError::fromUtf8(path + ":書き込めません"); }

} // namespace

std::string TKsBigFileStream::volumeFileName(const std::string& fileName, int index) {
    if (index == 0)
        return fileName;
    size_t slash = fileName.find_last_of('/');
    size_t dot = fileName.find_last_of('.');
    std::string stem = (dot != std::string::npos && (slash == std::string::npos || dot > slash)) ? fileName.substr(0, dot) : fileName;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%.3d", index);
    return stem + suffix;
}

TKsBigFileStream::TKsBigFileStream(std::string fileName, int32_t mode, bool singleFile)
    : FFileName(std::move(fileName)), FMode(mode) {
    int access = mode & 0x0F;
    if (access != fmOpenRead && access != fmOpenReadWrite) {
        // Writing from scratch: the old volumes go; new ones come with the writes.
        for (int k = 0;; ++k) {
            std::string name = volumeFileName(FFileName, k);
            if (!isDiskFile(name))
                break;
            removeDiskFile(name);
        }
        return;
    }
    for (int k = 0;; ++k) {
        std::string name = volumeFileName(FFileName, k);
        if (!isDiskFile(name))
            break;
        TDiskFile file(name, access == fmOpenRead ? TDiskFile::daRead : TDiskFile::daReadWrite);
        if (!file.isOpen())
            break;
        int64_t size = file.size();
        FVolumes.push_back({std::move(file), nullptr, size});
        if (singleFile)
            break;
    }
}

std::unique_ptr<TKsBigFileStream> TKsBigFileStream::CreateReplacing(std::string fileName) {
    return std::unique_ptr<TKsBigFileStream>(new TKsBigFileStream(std::move(fileName), TReplacing{}));
}

TKsBigFileStream::~TKsBigFileStream() {
    // Volumes still written through temporaries are given up with them.
    if (writable() && !FReplacing)
        for (Volume& v : FVolumes)
            v.file.sync();
}

void TKsBigFileStream::Commit() {
    if (!FReplacing)
        return;           // other streams write in place
    volume(0);            // even an empty stream replaces the file
    const int count = VolumeCount();
    for (Volume& v : FVolumes)
        if (v.replacing)
            v.replacing->commit();
    FVolumes.clear();
    FPosition = 0;
    for (int k = std::max(count, 1);; ++k) {
        std::string stale = volumeFileName(FFileName, k);
        if (!isDiskFile(stale))
            break;
        removeDiskFile(stale);
    }
}

bool TKsBigFileStream::writable() const {
    int access = FMode & 0x0F;
    return access == fmOpenWrite || access == fmOpenReadWrite || access == fmCreate;
}

int64_t TKsBigFileStream::GetSize() {
    int64_t size = 0;
    for (const Volume& v : FVolumes)
        size += v.size;
    return size;
}

void TKsBigFileStream::SetPosition(int64_t p) { FPosition = std::clamp<int64_t>(p, 0, GetSize()); }

TKsBigFileStream::Volume& TKsBigFileStream::volume(size_t index) {
    while (FVolumes.size() <= index) {
        std::string name = volumeFileName(FFileName, static_cast<int>(FVolumes.size()));
        Volume v;
        if (FReplacing) {
            v.replacing = std::make_unique<TAtomicFile>(name);
        } else {
            v.file = TDiskFile(name, TDiskFile::daCreate);
            if (!v.file.isOpen())
                throw writeError(name);
        }
        FVolumes.push_back(std::move(v));
    }
    return FVolumes[index];
}

int64_t TKsBigFileStream::Read(void* buffer, int64_t count) {
    auto* out = static_cast<uint8_t*>(buffer);
    int64_t total = 0;
    size_t v = static_cast<size_t>(FPosition / kVolumeSize);
    while (count > 0 && v < FVolumes.size()) {
        Volume& vol = FVolumes[v];
        int64_t at = FPosition % kVolumeSize;
        int64_t n = std::min(count, vol.size - at);
        if (n <= 0)
            break;
        int64_t done = vol.disk().readAt(out + total, n, at);
        FPosition += done;
        total += done;
        count -= done;
        if (done < n)
            break;
        ++v;
    }
    return total;
}

int64_t TKsBigFileStream::Write(const void* buffer, int64_t count) {
    if (!writable())
        return 0;
    const auto* in = static_cast<const uint8_t*>(buffer);
    int64_t total = 0;
    while (count > 0) {
        size_t v = static_cast<size_t>(FPosition / kVolumeSize);
        Volume& vol = volume(v);
        int64_t at = FPosition % kVolumeSize;
        int64_t n = std::min(count, kVolumeSize - at);
        if (!vol.disk().writeAt(in + total, n, at))
            throw writeError(volumeFileName(FFileName, static_cast<int>(v)));
        vol.size = std::max(vol.size, at + n);
        FPosition += n;
        total += n;
        count -= n;
    }
    return total;
}

int64_t TKsBigFileStream::CopyFromBig(TKsBigStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.GetSize();
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(std::clamp<int64_t>(count, 0, BufferSize)));
    int64_t copied = 0;
    while (copied < count) {
        int64_t n = source.Read(buffer.data(), std::min<int64_t>(count - copied, BufferSize));
        if (n <= 0)
            break;
        WriteBuffer(buffer.data(), n);
        copied += n;
    }
    return copied;
}

int64_t TKsBigFileStream::CopyFrom(TStream& source, int64_t count) {
    TBigStreamView view(*this);
    return CopyStream(view, source, count);
}

int64_t TKsBigFileStream::CopyTo(TStream& target, int64_t count) {
    std::vector<uint8_t> buffer(static_cast<size_t>(std::clamp<int64_t>(count, 0, BufferSize)));
    int64_t copied = 0;
    while (copied < count) {
        int64_t n = Read(buffer.data(), std::min<int64_t>(count - copied, BufferSize));
        if (n <= 0)
            break;
        target.WriteBuffer(buffer.data(), n);
        copied += n;
    }
    return copied;
}

void loadDiskFile(const std::string& path, TStream& out) {
    if (!isDiskFile(path))
        throw EZunoError::fromUtf8(path + ":ファイルがありません");
    TKsBigFileStream file(path, fmOpenRead | fmShareDenyWrite, true);
    int64_t size = file.GetSize();
    if (auto* memory = dynamic_cast<TKsMemoryStream*>(&out)) {
        int64_t at = memory->GetPosition();
        if (memory->GetSize() < at + size)
            memory->SetSize(at + size);
        file.ReadBuffer(memory->Memory() + at, size);
        memory->SetPosition(at + size);
        return;
    }
    if (file.CopyTo(out, size) != size)
        throw EZunoError::fromUtf8("ストリームの読み込みエラー");
}

} // namespace zuno
