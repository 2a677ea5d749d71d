// Files and folders on the host disk: an open file with positioned reads and
// writes, and the few queries the file layer needs. Paths are UTF-8 (or the
// raw bytes of a disk name) with '/' separators.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zuno {

class TDiskFile {
public:
    enum TAccess {
        daRead,                                  // an existing file, read only
        daReadWrite,                             // an existing file
        daCreate,                                // made or emptied, read/write
    };

                        TDiskFile() = default;
                        TDiskFile(const std::string& path, TAccess access, int permissions = 0644);
                        ~TDiskFile();            // closes without a sync
                        TDiskFile(TDiskFile&& other) noexcept;
    TDiskFile&          operator=(TDiskFile&& other) noexcept;
                        TDiskFile(const TDiskFile&) = delete;
    TDiskFile&          operator=(const TDiskFile&) = delete;

    bool                isOpen() const { return FFd >= 0; }
    int64_t             size() const;                                           // 0 when unknown
    int64_t             readAt(void* buffer, int64_t count, int64_t offset);    // fewer bytes at the end or on an error
    bool                writeAt(const void* buffer, int64_t count, int64_t offset); // all bytes, or false
    bool                setPermissions(int permissions);
    bool                sync();                                                 // contents on the medium
    bool                close();                                                // false when closing failed

private:
    friend class TAtomicFile;
    explicit            TDiskFile(int fd) : FFd(fd) {}

    int                 FFd = -1;
};

// ---- queries (symbolic links are followed)
bool                    isDiskFile(const std::string& path);             // a regular file
bool                    isDiskFolder(const std::string& path);
bool                    isReadableFolder(const std::string& path);       // a folder we may list and enter
std::optional<int64_t>  diskFileTime(const std::string& path);           // modification time, seconds since 1970
int                     diskFilePermissions(const std::string& path);    // -1 when there is no such file

// The names in a folder ("" is the current folder), without "." and "..", in
// the folder's own order; empty when it cannot be read.
std::vector<std::string> folderEntries(const std::string& folder);

bool                    removeDiskFile(const std::string& path);

// Makes a new folder named `prefix` + six unique characters, readable by its
// owner only; returns its path with a trailing '/', or "" when it cannot.
std::string             makeUniqueFolder(const std::string& prefix);

// The text of the last failed system call (errno), for error messages.
std::string             lastSystemError();

} // namespace zuno
