// install.dat, the install record of a game, and the folder-to-disc map of
// the project file.
//
// install.dat: "is" + three version digits ("is108" when written; without
// "is" the record starts at 0 with version 0), then the fields below in
// order. The player uses DiskNumber, Identity, FullInstall and WrittenFiles;
// every other field is kept and written back unchanged. Writing always
// produces version 108.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/TStream.h"

namespace zuno {

class TZunoInstallSet {
public:
    static constexpr int32_t kWriteVersion = 108;

    int32_t             Version = kWriteVersion;             // of the record read
    int32_t             DiskNumber = 0;                      // counts from 0
    std::string         Identity;                            // the game's project name
    std::string         Text4, Text5, Text6;
    uint8_t             Flag7 = 0;
    std::string         Text8;
    uint8_t             Flag9 = 0;
    std::string         Text11;
    int32_t             Value12 = 0;
    uint8_t             Flag13 = 0, Flag14 = 0;
    std::string         Text15, Text16;
    std::vector<std::array<int64_t, 4>> Records;             // 64-bit from version 100, else 32-bit
    std::array<int64_t, 4> Totals{};
    uint8_t             Flag19 = 0;
    uint8_t             Flag20 = 0;                          // version >= 101
    std::vector<std::string> WrittenFiles;                   // version >= 102; files the game wrote
    uint8_t             FullInstall = 0;                     // version >= 103
    uint8_t             Flag23 = 0;                          // version >= 104
    uint8_t             Flag24 = 0;                          // version >= 105
    std::vector<std::string> List25;                         // version >= 106
    std::string         Text26;                              // version >= 107
    std::string         Text27, Text28;                      // version >= 108

    void                LoadFromStream(TStream& s);           // EZunoError when damaged
    void                LoadFromFile(const std::string& path);
    void                SaveToStream(TStream& s) const;       // version 108
    void                SaveToFile(const std::string& path) const;   // through the atomic write
    // Appends the name unless WrittenFiles holds it (without regard to case);
    // true when it was added.
    bool                AddWrittenFile(const std::string& name);
};

// Folders of the game and the disc (from 1) that holds each.
class TFolderDiskList {
public:
    struct Item {
        std::string     folder;
        int32_t         disk = 0;
    };

    std::vector<Item>   Items;

    // The disc of the deepest listed folder that holds the name; 0 when none.
    int32_t             DiskOf(std::string_view name) const;
    void                LoadFromStream(TStream& s);           // int32 count, then string + int32 each
    void                SaveToStream(TStream& s) const;
};

} // namespace zuno
