#include "platform/posix/PosixServices.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/TextHelpers.h"

namespace zuno {

namespace {

std::string envOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : fallback;
}

// A field of /proc/mounts: spaces, tabs, newlines and backslashes are written
// as three octal digits after a backslash.
std::string decodeMountField(std::string_view field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        bool octal = field[i] == '\\';
        int value = 0;
        for (size_t k = 1; octal && k <= 3; ++k) {
            if (i + k >= field.size() || field[i + k] < '0' || field[i + k] > '7')
                octal = false;
            else
                value = value * 8 + (field[i + k] - '0');
        }
        if (octal && value < 256) {
            out += static_cast<char>(value);
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------- instance lock

std::string instanceLockPath(std::string_view mutexName) {
    static const char hex[] = "0123456789ABCDEF";
    std::string_view kept = mutexName;
    std::string suffix;
    if (mutexName.size() > 120) {
        uint64_t h = 1469598103934665603ull;
        for (unsigned char c : mutexName) {
            h ^= c;
            h *= 1099511628211ull;
        }
        kept = mutexName.substr(0, 80);
        for (int shift = 60; shift >= 0; shift -= 4)
            suffix += hex[(h >> shift) & 15];
        suffix = "~" + suffix;
    }
    std::string name = "zunoplay-";
    for (unsigned char c : kept) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_'
                     || c == '-';
        if (plain) {
            name += static_cast<char>(c);
        } else {
            name += '%';
            name += hex[c >> 4];
            name += hex[c & 15];
        }
    }
    return withSlash(envOr("XDG_RUNTIME_DIR", temporaryFolderPath())) + name + suffix + ".lock";
}

int lockInstanceFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void unlockInstanceFile(int fd) {
    if (fd >= 0) {
        ::flock(fd, LOCK_UN);
        ::close(fd);
    }
}

// ---------------------------------------------------------------- mounts

std::vector<std::string> parseCdRoots(std::string_view mountTable) {
    std::vector<std::string> roots;
    std::istringstream in{std::string(mountTable)};
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint, type;
        if (!(fields >> device >> mountPoint >> type))
            continue;
        if (type == "iso9660" || type == "udf")
            roots.push_back(withSlash(decodeMountField(mountPoint)));
    }
    return roots;
}

std::vector<std::string> mountedCdRoots() {
    std::ifstream in("/proc/mounts");
    std::ostringstream text;
    text << in.rdbuf();
    return parseCdRoots(text.str());
}

// ---------------------------------------------------------------- folders and shell

std::string temporaryFolderPath() {
    return withSlash(envOr("TMPDIR", "/tmp"));
}

std::string executableFolder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty())
        return "./";
    return withSlash(exe.parent_path().string());
}

std::string userConfigFolder() {
    std::string base = envOr("XDG_CONFIG_HOME", "");
    if (base.empty())
        base = withSlash(envOr("HOME", ".")) + ".config";
    return withSlash(base) + "zunoplay/";
}

std::string userDataFolder() {
    std::string base = envOr("XDG_DATA_HOME", "");
    if (base.empty())
        base = withSlash(envOr("HOME", ".")) + ".local/share";
    return withSlash(base) + "zunoplay/";
}

bool folderIsWritable(const std::string& folder) {
    struct stat st {};
    const std::string path = folder.empty() ? std::string(".") : folder;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

bool startShellOpen(const std::string& target) {
    // Two forks, so the opener is not our child and never becomes a zombie;
    // everything the child needs is prepared before the first fork.
    const char* argv[] = {"xdg-open", target.c_str(), nullptr};
    pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::execvp(argv[0], const_cast<char* const*>(argv));
            ::_exit(127);
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// ---------------------------------------------------------------- environment and time

const char* environmentValue(const char* name) { return std::getenv(name); }

std::tm localTimeOf(std::time_t moment) {
    std::tm local{};
    if (!localtime_r(&moment, &local))
        local = std::tm{};
    return local;
}

} // namespace zuno
