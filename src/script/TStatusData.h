// The persistent status data: the entry "STATUSSAVEDATA" of save.dat. It
// starts with the nine ASCII bytes "Status%.3d" (the status version); then
// come, in order, the status variables, the read-text list, the image cache's
// persistent part and, from version 103, the table database. Those parts are
// read by their own subsystems; this class reads the header and keeps the
// body bytes, so the entry is written back without loss.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/TStream.h"

namespace zuno {

constexpr int32_t StatusVersion = 103;                      // the version written
extern const char* const StatusEntryName;                   // "STATUSSAVEDATA"

class TVrFileCollection;

class TStatusData {
public:
    // The entry "STATUSSAVEDATA" of an opened save.dat; false when there is none.
    bool                LoadFromArchive(TVrFileCollection& saveData);
    // Replaces the entry "STATUSSAVEDATA" of save.dat (held in memory) with this data.
    void                StoreInArchive(TVrFileCollection& saveData) const;

    // An entry that does not start with "Status" is all body, version 0.
    void                LoadFromStream(TStream& s);         // the whole entry from its position
    void                SaveToStream(TStream& s) const;     // header (when there was one) and body

    static std::string  header(int32_t version);            // "Status%.3d"

    int32_t             FVersion = StatusVersion;
    bool                FHasHeader = true;
    std::string         FHeader = header(StatusVersion);    // the nine bytes as stored
    std::vector<uint8_t> FBody;                             // the parts after the header
};

} // namespace zuno
