// The operating-system services of the player, as plain functions so they
// can be tested without a window: the single-instance lock, the mounted
// discs, the temporary and configuration folders, the environment, local
// time and the shell's "open".
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace zuno {

// The lock file of a single-instance name: a file in the user's runtime folder
// ($XDG_RUNTIME_DIR, else the temporary folder) named "zunoplay-" + the name
// with every byte outside [A-Za-z0-9._-] written as %XX; names longer than
// 120 bytes keep their first 80 bytes and add a 64-bit FNV-1a hash of the whole.
std::string             instanceLockPath(std::string_view mutexName);

// Takes an exclusive advisory lock (flock) on the file; returns the open file
// descriptor, or -1 when another process holds it or the file cannot be made.
int                     lockInstanceFile(const std::string& path);
void                    unlockInstanceFile(int fd);

// The roots of the mounted iso9660 and udf file systems in a mount table in
// the format of /proc/mounts (octal escapes such as \040 decoded), each with a
// trailing '/', in table order.
std::vector<std::string> parseCdRoots(std::string_view mountTable);

// The roots of the discs mounted now (parseCdRoots of the system's mount table).
std::vector<std::string> mountedCdRoots();

// $TMPDIR or /tmp, with a trailing '/'.
std::string             temporaryFolderPath();

// Starts "xdg-open TARGET" without waiting for it; false when it cannot start.
bool                    startShellOpen(const std::string& target);

// The folder of the running executable, with a trailing '/' ("./" when unknown).
std::string             executableFolder();

// $XDG_CONFIG_HOME/zunoplay/ (or ~/.config/zunoplay/), with a trailing '/'.
std::string             userConfigFolder();

// $XDG_DATA_HOME/zunoplay/ (or ~/.local/share/zunoplay/), with a trailing '/'.
std::string             userDataFolder();

// Whether files can be made in the folder (false when it is missing).
bool                    folderIsWritable(const std::string& folder);

// The value of an environment variable; nullptr when it is not set.
const char*             environmentValue(const char* name);

// The broken-down local time of a moment (all fields 0 when it cannot be had).
std::tm                 localTimeOf(std::time_t moment);

} // namespace zuno
