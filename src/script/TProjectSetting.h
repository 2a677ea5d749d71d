// The compiled project zuno.zpb: the game's settings, the initial variables
// and the file-to-disc table. The file has no magic; it starts with its
// version, and later versions add fields.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/TExtended.h"
#include "core/TStream.h"

namespace zuno {

constexpr int32_t ProjectVersionMax = 113;                  // newest version read and the one written

// One initial variable. Only the value field of its type is stored; any other
// type byte has no value bytes.
struct TInitVariable {
    uint8_t             Type = 1;                           // 1 int, 2 real, 3 flag, 4 text
    std::string         Name;
    int32_t             IntValue = 0;
    TExtended           FloatValue;
    uint8_t             BoolValue = 0;
    std::string         StrValue;

    bool operator==(const TInitVariable&) const = default;
};

// One entry of the file-to-disc table: files below the folder are on the disc.
struct TFolderDisk {
    std::string         Folder;
    int32_t             Disk = 0;

    bool operator==(const TFolderDisk&) const = default;
};

class TProjectSetting {
public:
    // Reads the file. An empty stream raises "プロジェクトがありません"; damaged
    // data raises EZunoError. A version above 113 answers false and reads no further.
    bool                LoadFromStream(TStream& s);
    // Writes the fields FVersion has (version 113 writes every field).
    void                SaveToStream(TStream& s) const;

    int32_t             FVersion = ProjectVersionMax;
    std::string         FTitle;
    int32_t             FScreenWidth = 0;
    int32_t             FScreenHeight = 0;
    int32_t             FFullScreenWidth = 0;
    int32_t             FFullScreenHeight = 0;
    std::string         FStartPage;
    std::string         FExitPage;                          // version >= 110
    std::string         FRegistryKey;                       // below Software\, for "CDDrive"
    int32_t             FIdentCode = 0;                     // identification code of protected images
    uint8_t             FKeepStatus = 1;                    // version > 103; write save.dat at exit
    uint8_t             FIdleYield = 0;                     // version >= 106; stored only
    std::string         FUndiscoveredTypes;                 // version >= 109, else ".wav.wma.ogg.mid"
    uint8_t             FPauseWhenInactive = 0;             // version > 112
    std::string         FDiskPrompt;                        // format with one %d
    std::string         FQuitConfirm;
    std::vector<TInitVariable> FVariables;
    std::vector<TFolderDisk> FFolderDisks;

    TProjectSetting();
};

} // namespace zuno
