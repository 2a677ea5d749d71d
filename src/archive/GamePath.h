// Game file names and the disk.
//
// A game file name is a Shift-JIS byte string, relative, with `\` between
// folder and file names, compared without regard to ASCII case. A trail byte
// of a double-byte character may be 0x5C, so every split here is aware of
// lead bytes. On disk `\` becomes `/`, each component is matched without
// regard to case, and a component is tried as UTF-8 and as its original bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zuno {

// Position of the last folder separator `\` (never a trail byte), or npos.
size_t lastGameSeparator(std::string_view name);

// Folder part of a game name including its final `\`; "" without a folder.
std::string gameNameFolder(std::string_view name);

// Extension of a game name with its dot ("" when none); not upper-cased.
std::string gameNameExtension(std::string_view name);

// The components between `\` (and `/`) separators; empty components are dropped.
std::vector<std::string> splitGameName(std::string_view name);

// True when the name stays inside the folder it is unpacked into: not empty,
// not absolute, no drive letter, no "." or ".." component, no NUL byte.
bool isSafeGameName(std::string_view name);

// Disk form of one name component: UTF-8 when the bytes are valid code page
// 932 that converts back unchanged, else the bytes themselves.
std::string gameComponentToDisk(std::string_view component);

// Game form of a disk name component (the reverse of gameComponentToDisk).
std::string diskComponentToGame(std::string_view component);

// Relative disk path ('/' separators) of a safe game name.
std::string gameNameToDiskPath(std::string_view name);

// The existing regular file that the game name names below `folder` (a disk
// folder ending in '/'), or nothing. Exact spellings are tried before a
// case-insensitive match; names with "." or ".." components find nothing.
std::optional<std::string> findGameFile(const std::string& folder, std::string_view name);

// The existing folder that the game folder name names below `folder` (both
// as above), ending in '/'; "" names `folder` itself. Nothing when absent.
std::optional<std::string> findGameFolder(const std::string& folder, std::string_view name);

// An existing file named `name` in the disk folder `folder` (matched without
// regard to ASCII case, exact spelling first), or nothing.
std::optional<std::string> findDiskFileNoCase(const std::string& folder, const std::string& name);

// Disk path helpers ('/' separators, UTF-8).
bool diskFileExists(const std::string& path);          // a regular file
std::string diskFolderOf(const std::string& path);    // up to and including the last '/', or ""
std::string diskExtensionOf(const std::string& path); // with its dot, or ""

} // namespace zuno
