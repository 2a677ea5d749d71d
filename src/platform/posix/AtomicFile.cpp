#include "platform/posix/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "core/EZunoError.h"

namespace zuno {

namespace {

constexpr int kNewFilePermissions = 0644;

EZunoError writeError(const std::string& path, const std::string& reason) {
    return EZunoError::fromUtf8(path + ":書き込めません (" + reason + ")");
}

// The folder part of a path, "." when it has none.
std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Flushes a folder's entries, so a rename in it survives a power cut. File
// systems that cannot flush a folder refuse with EINVAL; the rename has
// happened all the same, so that is no failure.
bool syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return ok;
}

} // namespace

TAtomicFile::TAtomicFile(std::string target) : FTarget(std::move(target)) {
    size_t slash = FTarget.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string() : FTarget.substr(0, slash + 1);
    std::string name = FTarget.substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.empty())
        throw writeError(FTarget, "no file name");
    FTemporary = folder + "." + name + ".tmpXXXXXX";
    int fd = ::mkstemp(FTemporary.data());
    if (fd < 0) {
        FDone = true;
        throw writeError(FTarget, lastSystemError());
    }
    FFile = TDiskFile(fd);
    // The new file keeps the permissions of the one it replaces.
    int permissions = diskFilePermissions(FTarget);
    if (!FFile.setPermissions(permissions >= 0 ? permissions : kNewFilePermissions))
        fail();
}

TAtomicFile::~TAtomicFile() {
    if (!FDone) {
        FFile.close();
        std::remove(FTemporary.c_str());
    }
}

void TAtomicFile::fail() {
    std::string reason = lastSystemError();
    FFile.close();
    std::remove(FTemporary.c_str());
    FDone = true;
    throw writeError(FTarget, reason);
}

void TAtomicFile::write(const void* data, size_t size) {
    if (FDone)
        throw writeError(FTarget, "already closed");
    if (!FFile.writeAt(data, static_cast<int64_t>(size), FWritten))
        fail();
    FWritten += static_cast<int64_t>(size);
}

void TAtomicFile::commit() {
    if (FDone)
        throw writeError(FTarget, "already closed");
    if (!FFile.sync() || !FFile.close() || std::rename(FTemporary.c_str(), FTarget.c_str()) != 0)
        fail();
    FDone = true;
    // The new contents are in place now; a folder that cannot be flushed only
    // leaves the rename to the system's own write-back.
    syncFolder(folderOf(FTarget));
}

void writeFileAtomically(const std::string& path, const void* data, size_t size) {
    TAtomicFile file(path);
    file.write(data, size);
    file.commit();
}

} // namespace zuno
