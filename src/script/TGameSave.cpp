#include "script/TGameSave.h"

#include <cstdio>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "expr/TDBManager.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "objects/TDrelCollection.h"
#include "objects/TZunoBaseList.h"
#include "script/TCallMan.h"

namespace zuno {

const char* const GameSaveEntryPrefix = "GAMESAVEDATA";

std::string gameSaveEntryName(int32_t slot) {
    char b[48];
    std::snprintf(b, sizeof b, "%s%d", GameSaveEntryPrefix, static_cast<int>(slot));
    return b;
}

int32_t gameSaveSlotOf(std::string_view entryName) {
    constexpr size_t prefix = 12;
    if (entryName.size() <= prefix || entryName.substr(0, prefix) != GameSaveEntryPrefix)
        return -1;
    int64_t slot = 0;
    for (char c : entryName.substr(prefix)) {
        if (c < '0' || c > '9')
            return -1;
        slot = slot * 10 + (c - '0');
        if (slot > INT32_MAX)
            return -1;
    }
    return static_cast<int32_t>(slot);
}

TGameSaveHeader readGameSaveHeader(TStream& s) {
    TGameSaveHeader h;
    h.Version = ReadInt(s);
    h.Caption = ReadString(s);
    return h;
}

//==============================================================================
// Game save
//==============================================================================

void TGameSave::Save(TStream& s, const std::string& caption, const std::string& resumePage,
                     int32_t resumeIndex) const {
    WriteInt(s, GameSaveVersion);
    WriteString(s, caption);
    WriteString(s, resumePage);
    WriteInt(s, resumeIndex);
    if (FEnv.Registry)
        FEnv.Registry->SaveToStream(s);
    else
        throw EZunoError::fromUtf8("セーブできません (no scene)");
    saveBacklog(s);
    FCallMan.SaveToStream(s);
    FEnv.Params->SaveVariables(s);
    FEnv.Funcs->Tables().SaveTables(s, false);
}

void TGameSave::Load(TStream& s) {
    const int32_t version = ReadInt(s);
    if (version < OldestGameSaveVersion || version > GameSaveVersion)
        throw EZunoError::fromUtf8("このセーブデータは使用できません (version)");
    ReadString(s);                                  // the caption
    const std::string resumePage = ReadString(s);
    const int32_t resumeIndex = ReadInt(s);
    if (!FEnv.Registry)
        throw EZunoError::fromUtf8("このセーブデータは使用できません (no scene)");
    FEnv.Registry->LoadFromStream(s, version);
    loadBacklog(s, version);
    dropOldReadTextList(s, version);
    FCallMan.LoadFromStream(s, version);
    if (!resumePage.empty())
        FCallMan.Divert(resumePage, resumeIndex);
    FEnv.Params->LoadVariables(s, version);
    if (version > 122)
        FEnv.Funcs->Tables().LoadTables(s, false);
    restoreMessageBoxes();
}

// The backlog record goes here: every history format with its history, as
// the history formats store themselves (the default format alone in saves
// below version 135). The backlog is not part of this build yet, so nothing
// is written or read in its place.
void TGameSave::saveBacklog(TStream&) const {}

void TGameSave::loadBacklog(TStream&, int32_t) {}

// Saves up to version 100 carried the read-text list here; it is read into a
// scratch list and dropped (the list lives in the status data). Those saves
// are below the oldest version accepted, so nothing reaches this point yet;
// the read-text list's reader belongs here once it exists.
void TGameSave::dropOldReadTextList(TStream&, int32_t) {}

// Every message box rebuilds its shown pages from its restored state after a
// load; the message box's restore step is called here once it exists.
void TGameSave::restoreMessageBoxes() {}

//==============================================================================
// Status data
//==============================================================================

// The read-text list's record is written between the status variables and
// the image cache flag (and read back in LoadStatusBody at the same place);
// it is not part of this build yet.
static void saveReadTextList(TScriptEnv&, TStream&) {}
static void loadReadTextList(TScriptEnv&, TStream&, int32_t) {}

void TGameSave::SaveStatusBody(TScriptEnv& env, TStream& s) {
    env.Params->SaveStatus(s);
    saveReadTextList(env, s);
    TDrelCollection::Instance().SaveToStream(s);
    env.Funcs->Tables().SaveTables(s, true);
}

void TGameSave::LoadStatusBody(TScriptEnv& env, TStream& s, int32_t statusVersion) {
    env.Params->LoadStatus(s);
    loadReadTextList(env, s, statusVersion);
    TDrelCollection::Instance().LoadFromStream(s, statusVersion);
    if (statusVersion >= 103)
        env.Funcs->Tables().LoadTables(s, true);
}

} // namespace zuno
