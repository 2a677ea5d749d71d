#include "script/TProjectSetting.h"

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"

namespace zuno {

static const char* const DefaultUndiscoveredTypes = ".wav.wma.ogg.mid";

TProjectSetting::TProjectSetting() : FUndiscoveredTypes(DefaultUndiscoveredTypes) {}

bool TProjectSetting::LoadFromStream(TStream& s) {
    if (s.Remaining() <= 0)
        throw EZunoError::fromUtf8("プロジェクトがありません");
    *this = TProjectSetting();
    FVersion = ReadInt(s);
    if (FVersion > ProjectVersionMax)
        return false;
    FTitle = ReadString(s);
    FScreenWidth = ReadInt(s);
    FScreenHeight = ReadInt(s);
    FFullScreenWidth = ReadInt(s);
    FFullScreenHeight = ReadInt(s);
    FStartPage = ReadString(s);
    if (FVersion >= 110)
        FExitPage = ReadString(s);
    FRegistryKey = ReadString(s);
    FIdentCode = ReadInt(s);
    if (FVersion > 103)
        FKeepStatus = ReadByte(s);
    if (FVersion >= 106)
        FIdleYield = ReadByte(s);
    if (FVersion >= 109)
        FUndiscoveredTypes = ReadString(s);
    if (FVersion > 112)
        FPauseWhenInactive = ReadByte(s);
    FDiskPrompt = ReadString(s);
    FQuitConfirm = ReadString(s);

    // Initial variables: type byte, name, the value of that type.
    const int32_t count = ReadInt(s);
    if (count > 0)
        checkCount(s, count, 5, "initial variables");
    for (int32_t i = 0; i < count; ++i) {
        TInitVariable v;
        v.Type = ReadByte(s);
        v.Name = ReadString(s);
        switch (v.Type) {
        case 1: v.IntValue = ReadInt(s); break;
        case 2: v.FloatValue = ReadExtended(s); break;
        case 3: v.BoolValue = ReadByte(s); break;
        case 4: v.StrValue = ReadString(s); break;
        default: break;
        }
        FVariables.push_back(std::move(v));
    }

    // File-to-disc table: folder, disc number.
    const int32_t disks = ReadInt(s);
    if (disks > 0)
        checkCount(s, disks, 8, "file-to-disc table");
    for (int32_t i = 0; i < disks; ++i) {
        TFolderDisk d;
        d.Folder = ReadString(s);
        d.Disk = ReadInt(s);
        FFolderDisks.push_back(std::move(d));
    }
    return true;
}

void TProjectSetting::SaveToStream(TStream& s) const {
    WriteInt(s, FVersion);
    WriteString(s, FTitle);
    WriteInt(s, FScreenWidth);
    WriteInt(s, FScreenHeight);
    WriteInt(s, FFullScreenWidth);
    WriteInt(s, FFullScreenHeight);
    WriteString(s, FStartPage);
    if (FVersion >= 110)
        WriteString(s, FExitPage);
    WriteString(s, FRegistryKey);
    WriteInt(s, FIdentCode);
    if (FVersion > 103)
        WriteByte(s, FKeepStatus);
    if (FVersion >= 106)
        WriteByte(s, FIdleYield);
    if (FVersion >= 109)
        WriteString(s, FUndiscoveredTypes);
    if (FVersion > 112)
        WriteByte(s, FPauseWhenInactive);
    WriteString(s, FDiskPrompt);
    WriteString(s, FQuitConfirm);
    WriteInt(s, static_cast<int32_t>(FVariables.size()));
    for (const TInitVariable& v : FVariables) {
        WriteByte(s, v.Type);
        WriteString(s, v.Name);
        switch (v.Type) {
        case 1: WriteInt(s, v.IntValue); break;
        case 2: WriteExtended(s, v.FloatValue); break;
        case 3: WriteByte(s, v.BoolValue); break;
        case 4: WriteString(s, v.StrValue); break;
        default: break;
        }
    }
    WriteInt(s, static_cast<int32_t>(FFolderDisks.size()));
    for (const TFolderDisk& d : FFolderDisks) {
        WriteString(s, d.Folder);
        WriteInt(s, d.Disk);
    }
}

} // namespace zuno
