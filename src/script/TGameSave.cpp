#include "script/TGameSave.h"

#include <cstdio>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "expr/TDBManager.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "objects/TDrelCollection.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoHistoryFormatManager.h"
#include "objects/TZunoMes.h"
#include "objects/TZunoReadList.h"
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

TGameSave::TGameSave(TScriptEnv& env, TCallMan& callMan) : FEnv(env), FCallMan(callMan) {}

TGameSave::~TGameSave() = default;

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

// The backlog: every history format with its history. Saves below version
// 135 hold only one history record, which goes to the default format.
void TGameSave::saveBacklog(TStream& s) const {
    histories().SaveRecord(s);
}

void TGameSave::loadBacklog(TStream& s, int32_t version) {
    LoadBacklog(histories(), s, version);
}

void TGameSave::LoadBacklog(TZunoHistoryFormatManager& formats, TStream& s, int32_t version) {
    if (version >= 135) {
        formats.LoadRecord(s, version);
        return;
    }
    formats.Reset();
    formats.Default().History.LoadRecord(s, version);
}

// Saves up to version 100 carried the read-text list here; it is read into a
// scratch list and dropped (the list lives in the status data).
void TGameSave::dropOldReadTextList(TStream& s, int32_t version) {
    if (version > 100)
        return;
    TZunoReadList scratch;
    scratch.LoadRecord(s, version);
}

// Every message box rebuilds its shown pages from its restored state.
void TGameSave::restoreMessageBoxes() {
    TZunoBaseList& registry = *FEnv.Registry;
    for (int i = 0; i < registry.ObjectCount(); ++i)
        if (auto* box = dynamic_cast<TZunoMes*>(registry.Objects(i)))
            box->RestoreAfterLoad();
}

// The registry's history formats; a registry made without a project has none
// of its own, so a private set stands in.
TZunoHistoryFormatManager& TGameSave::histories() const {
    if (FEnv.Registry && FEnv.Registry->Histories)
        return *FEnv.Registry->Histories;
    if (!FOwnHistories)
        FOwnHistories = std::make_unique<TZunoHistoryFormatManager>();
    return *FOwnHistories;
}

//==============================================================================
// Status data
//==============================================================================

// The read-text list's record lies between the status variables and the
// image cache flag.
static TZunoReadList* readList(TScriptEnv& env) {
    return env.Registry ? env.Registry->ReadList : nullptr;
}

static void saveReadTextList(TScriptEnv& env, TStream& s) {
    if (TZunoReadList* list = readList(env))
        list->SaveRecord(s);
    else
        TZunoReadList().SaveRecord(s);
}

// A damaged list is dropped, and with it what follows it (the caller's
// handler keeps those parts at their defaults).
static void loadReadTextList(TScriptEnv& env, TStream& s, int32_t statusVersion) {
    TZunoReadList scratch;
    TZunoReadList& list = readList(env) ? *readList(env) : scratch;
    try {
        list.LoadRecord(s, statusVersion);
    } catch (const EZunoError&) {
        list.Clear();
        throw;
    }
}

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
