#include "script/TStatusData.h"

#include <cstdio>
#include <cstring>

#include "archive/TVrFileCollection.h"
#include "core/EZunoError.h"

namespace zuno {

const char* const StatusEntryName = "STATUSSAVEDATA";

std::string TStatusData::header(int32_t version) {
    char b[32];
    std::snprintf(b, sizeof b, "Status%.3d", static_cast<int>(version));
    return b;
}

void TStatusData::LoadFromStream(TStream& s) {
    const int64_t size = s.Remaining();
    if (size < 0 || size > INT32_MAX)
        throw EZunoError::fromUtf8("データが壊れています (status data)");
    std::vector<uint8_t> data(static_cast<size_t>(size));
    if (size > 0)
        s.ReadBuffer(data.data(), size);

    FVersion = 0;
    FHasHeader = data.size() >= 6 && std::memcmp(data.data(), "Status", 6) == 0;
    FHeader.clear();
    size_t bodyStart = 0;
    if (FHasHeader) {
        if (data.size() < 9)
            throw EZunoError::fromUtf8("データが壊れています (status header)");
        FHeader.assign(reinterpret_cast<const char*>(data.data()), 9);
        bodyStart = 9;
        for (int i = 6; i < 9; ++i) {
            const char c = FHeader[static_cast<size_t>(i)];
            if (c < '0' || c > '9') {
                FVersion = 0;
                break;
            }
            FVersion = FVersion * 10 + (c - '0');
        }
    }
    FBody.assign(data.begin() + static_cast<std::ptrdiff_t>(bodyStart), data.end());
}

bool TStatusData::LoadFromArchive(TVrFileCollection& saveData) {
    if (!saveData.FindEntry(StatusEntryName))
        return false;
    TKsMemoryStream entry;
    saveData.ReadEntry(StatusEntryName, entry);
    LoadFromStream(entry);
    return true;
}

void TStatusData::StoreInArchive(TVrFileCollection& saveData) const {
    saveData.DeleteEntry(StatusEntryName);
    TVrFile* entry = saveData.AddMemoryEntry(StatusEntryName);
    SaveToStream(*entry->Data);
    entry->Data->SetPosition(0);
}

void TStatusData::SaveToStream(TStream& s) const {
    if (FHasHeader)
        s.WriteBuffer(FHeader.data(), static_cast<int64_t>(FHeader.size()));
    if (!FBody.empty())
        s.WriteBuffer(FBody.data(), static_cast<int64_t>(FBody.size()));
}

} // namespace zuno
