#include "platform/posix/DiskFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace zuno {

// ---------------------------------------------------------------- TDiskFile

TDiskFile::TDiskFile(const std::string& path, TAccess access, int permissions) {
    int flags = O_CLOEXEC;
    switch (access) {
    case daRead:      flags |= O_RDONLY; break;
    case daReadWrite: flags |= O_RDWR; break;
    case daCreate:    flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    }
    FFd = ::open(path.c_str(), flags, static_cast<mode_t>(permissions));
}

TDiskFile::~TDiskFile() { close(); }

TDiskFile::TDiskFile(TDiskFile&& other) noexcept : FFd(std::exchange(other.FFd, -1)) {}

TDiskFile& TDiskFile::operator=(TDiskFile&& other) noexcept {
    if (this != &other) {
        close();
        FFd = std::exchange(other.FFd, -1);
    }
    return *this;
}

int64_t TDiskFile::size() const {
    struct stat st;
    return FFd >= 0 && ::fstat(FFd, &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
}

int64_t TDiskFile::readAt(void* buffer, int64_t count, int64_t offset) {
    auto* out = static_cast<uint8_t*>(buffer);
    int64_t done = 0;
    while (FFd >= 0 && done < count) {
        ssize_t r = ::pread(FFd, out + done, static_cast<size_t>(count - done), offset + done);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        done += r;
    }
    return done;
}

bool TDiskFile::writeAt(const void* buffer, int64_t count, int64_t offset) {
    const auto* in = static_cast<const uint8_t*>(buffer);
    int64_t done = 0;
    while (done < count) {
        if (FFd < 0)
            return false;
        ssize_t r = ::pwrite(FFd, in + done, static_cast<size_t>(count - done), offset + done);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        done += r;
    }
    return true;
}

bool TDiskFile::setPermissions(int permissions) {
    return FFd >= 0 && ::fchmod(FFd, static_cast<mode_t>(permissions)) == 0;
}

bool TDiskFile::sync() { return FFd >= 0 && ::fsync(FFd) == 0; }

bool TDiskFile::close() {
    if (FFd < 0)
        return true;
    int fd = std::exchange(FFd, -1);
    return ::close(fd) == 0;
}

// ---------------------------------------------------------------- queries

bool isDiskFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isDiskFolder(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isReadableFolder(const std::string& path) { return ::access(path.c_str(), R_OK | X_OK) == 0; }

std::optional<int64_t> diskFileTime(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return static_cast<int64_t>(st.st_mtime);
}

int diskFilePermissions(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return names;
    while (dirent* e = ::readdir(dir)) {
        std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(std::move(name));
    }
    ::closedir(dir);
    return names;
}

bool removeDiskFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

std::string makeUniqueFolder(const std::string& prefix) {
    std::string pattern = prefix + "XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return {};
    return pattern + "/";
}

std::string lastSystemError() { return std::strerror(errno); }

} // namespace zuno
