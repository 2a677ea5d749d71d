#include "archive/GamePath.h"

#include <algorithm>
#include <cstdint>

#include "core/Cp932.h"
#include "platform/posix/DiskFile.h"

namespace zuno {

namespace {

std::string asciiLower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return r;
}

// Finds `want` (a component in disk form or raw bytes) in `folder` without
// regard to ASCII case; `wantSjis` is compared in the Shift-JIS sense.
std::optional<std::string> scanFolder(const std::string& folder, const std::string& utf8, const std::string& raw,
                                      bool wantDirectory) {
    std::string utf8Key = asciiLower(utf8);
    std::string rawKey = lowerCaseSjis(raw);
    for (const std::string& entry : folderEntries(folder)) {
        if (asciiLower(entry) != utf8Key && lowerCaseSjis(entry) != rawKey)
            continue;
        std::string path = folder + entry;
        if (wantDirectory ? isDiskFolder(path) : diskFileExists(path))
            return path;
    }
    return std::nullopt;
}

// The disk path of one component below `folder`, exact spellings first.
std::optional<std::string> findComponent(const std::string& folder, const std::string& component, bool wantDirectory) {
    std::string utf8 = gameComponentToDisk(component);
    for (const std::string* candidate : {static_cast<const std::string*>(&utf8), &component}) {
        std::string path = folder + *candidate;
        if (wantDirectory ? isDiskFolder(path) : diskFileExists(path))
            return path;
    }
    return scanFolder(folder, utf8, component, wantDirectory);
}

} // namespace

size_t lastGameSeparator(std::string_view name) {
    size_t last = std::string_view::npos;
    for (size_t i = 0; i < name.size(); ++i) {
        uint8_t b = static_cast<uint8_t>(name[i]);
        if (isLeadByte(b)) {
            ++i;
            continue;
        }
        if (b == '\\')
            last = i;
    }
    return last;
}

std::string gameNameFolder(std::string_view name) {
    size_t p = lastGameSeparator(name);
    return p == std::string_view::npos ? std::string() : std::string(name.substr(0, p + 1));
}

std::string gameNameExtension(std::string_view name) {
    size_t start = lastGameSeparator(name);
    start = start == std::string_view::npos ? 0 : start + 1;
    size_t dot = std::string_view::npos;
    for (size_t i = start; i < name.size(); ++i) {
        uint8_t b = static_cast<uint8_t>(name[i]);
        if (isLeadByte(b)) {
            ++i;
            continue;
        }
        if (b == '.')
            dot = i;
    }
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

std::vector<std::string> splitGameName(std::string_view name) {
    std::vector<std::string> parts;
    std::string current;
    for (size_t i = 0; i < name.size(); ++i) {
        uint8_t b = static_cast<uint8_t>(name[i]);
        if (isLeadByte(b) && i + 1 < name.size()) {
            current += name[i];
            current += name[++i];
            continue;
        }
        if (b == '\\' || b == '/') {
            if (!current.empty())
                parts.push_back(std::move(current));
            current.clear();
            continue;
        }
        current += name[i];
    }
    if (!current.empty())
        parts.push_back(std::move(current));
    return parts;
}

bool isSafeGameName(std::string_view name) {
    if (name.empty() || name[0] == '\\' || name[0] == '/')
        return false;
    if (name.find('\0') != std::string_view::npos)
        return false;
    if (name.size() >= 2 && name[1] == ':')
        return false;
    std::vector<std::string> parts = splitGameName(name);
    if (parts.empty())
        return false;
    for (const std::string& p : parts)
        if (p == "." || p == ".." || (p.size() >= 2 && p[1] == ':'))
            return false;
    return true;
}

std::string gameComponentToDisk(std::string_view component) {
    std::string utf8 = cp932ToUtf8(component);
    return utf8ToCp932(utf8) == component ? utf8 : std::string(component);
}

std::string diskComponentToGame(std::string_view component) {
    std::string sjisName = utf8ToCp932(component);
    return cp932ToUtf8(sjisName) == component ? sjisName : std::string(component);
}

std::string gameNameToDiskPath(std::string_view name) {
    std::string path;
    for (const std::string& p : splitGameName(name)) {
        if (!path.empty())
            path += '/';
        path += gameComponentToDisk(p);
    }
    return path;
}

std::optional<std::string> findGameFile(const std::string& folder, std::string_view name) {
    std::vector<std::string> parts = splitGameName(name);
    if (parts.empty())
        return std::nullopt;
    std::string current = folder;
    if (!current.empty() && current.back() != '/')
        current += '/';
    for (size_t i = 0; i < parts.size(); ++i) {
        if (parts[i] == "." || parts[i] == "..")
            return std::nullopt;
        bool last = i + 1 == parts.size();
        std::optional<std::string> next = findComponent(current, parts[i], !last);
        if (!next)
            return std::nullopt;
        current = last ? *next : *next + '/';
    }
    return current;
}

std::optional<std::string> findGameFolder(const std::string& folder, std::string_view name) {
    std::string current = folder;
    if (!current.empty() && current.back() != '/')
        current += '/';
    for (const std::string& part : splitGameName(name)) {
        if (part == "." || part == "..")
            return std::nullopt;
        std::optional<std::string> next = findComponent(current, part, true);
        if (!next)
            return std::nullopt;
        current = *next + '/';
    }
    if (!isDiskFolder(current.empty() ? "." : current))
        return std::nullopt;
    return current;
}

std::optional<std::string> findDiskFileNoCase(const std::string& folder, const std::string& name) {
    if (diskFileExists(folder + name))
        return folder + name;
    return scanFolder(folder, name, name, false);
}

bool diskFileExists(const std::string& path) { return isDiskFile(path); }

std::string diskFolderOf(const std::string& path) {
    size_t p = path.find_last_of('/');
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string diskExtensionOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string();
    return path.substr(dot);
}

} // namespace zuno
