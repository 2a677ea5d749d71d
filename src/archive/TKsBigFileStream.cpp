#include "archive/TKsBigFileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "core/EZunoError.h"

namespace zuno {

namespace {

bool fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int64_t sizeOfFd(int fd) {
    struct stat st;
    return ::fstat(fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
}

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
            if (!fileExists(name))
                break;
            ::unlink(name.c_str());
        }
        return;
    }
    int flags = (access == fmOpenRead ? O_RDONLY : O_RDWR) | O_CLOEXEC;
    for (int k = 0;; ++k) {
        std::string name = volumeFileName(FFileName, k);
        if (!fileExists(name))
            break;
        int fd = ::open(name.c_str(), flags);
        if (fd < 0)
            break;
        FVolumes.push_back({fd, sizeOfFd(fd)});
        if (singleFile)
            break;
    }
}

TKsBigFileStream::~TKsBigFileStream() {
    bool flush = writable();
    for (Volume& v : FVolumes) {
        if (flush)
            ::fsync(v.fd);
        ::close(v.fd);
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
        int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            throw writeError(name);
        FVolumes.push_back({fd, 0});
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
        int64_t done = 0;
        while (done < n) {
            ssize_t r = ::pread(vol.fd, out + total + done, static_cast<size_t>(n - done), at + done);
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                break;
            done += r;
        }
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
        int64_t done = 0;
        while (done < n) {
            ssize_t r = ::pwrite(vol.fd, in + total + done, static_cast<size_t>(n - done), at + done);
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                throw writeError(volumeFileName(FFileName, static_cast<int>(v)));
            done += r;
        }
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
    if (!fileExists(path))
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
