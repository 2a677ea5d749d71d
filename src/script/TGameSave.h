// Game saves and the persistent status data in save.dat.
//
// A game save entry ("GAMESAVEDATA" + slot) holds, in order: the save
// version, the caption, the resume page and index, the scene (the root object
// list with every object's record), the backlog, the interpreter with its
// call stack and the state of the command it waits in, the game variables
// and the game's (not persistent) tables. Every reader gets the save version.
//
// The status entry's body holds the status variables, the read-text list,
// the image cache's high-colour flag and (from status version 103) the
// persistent tables.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/TStream.h"
#include "script/TScriptEnv.h"

namespace zuno {

class TCallMan;
class TZunoHistoryFormatManager;

constexpr int32_t GameSaveVersion = 138;                // the version written
constexpr int32_t OldestGameSaveVersion = 107;          // older saves are refused
extern const char* const GameSaveEntryPrefix;          // "GAMESAVEDATA"

std::string             gameSaveEntryName(int32_t slot);              // "GAMESAVEDATA%d"
// The slot of a game save entry name; -1 when the name is not one (the
// remainder after the prefix must be a decimal number >= 0).
int32_t                 gameSaveSlotOf(std::string_view entryName);

// The first fields of a game save entry, as the caption list reads them.
struct TGameSaveHeader {
    int32_t             Version = 0;
    std::string         Caption;
};
TGameSaveHeader         readGameSaveHeader(TStream& s);

class TGameSave {
public:
                        TGameSave(TScriptEnv& env, TCallMan& callMan);
                        ~TGameSave();

    // Writes the whole entry at the stream's position.
    void                Save(TStream& s, const std::string& caption, const std::string& resumePage,
                             int32_t resumeIndex) const;
    // Restores the running game from an entry. EZunoError on a version below
    // 107 or above the one written, and on damaged data; the game's state is
    // then partly replaced (the caller restores or stops it).
    void                Load(TStream& s);

    // The status entry's body after its header.
    static void         SaveStatusBody(TScriptEnv& env, TStream& s);
    static void         LoadStatusBody(TScriptEnv& env, TStream& s, int32_t statusVersion);

    // Reads a save's backlog into `formats`: from version 135 every format
    // with its history, below that one history record for the default format
    // (the other formats are dropped).
    static void         LoadBacklog(TZunoHistoryFormatManager& formats, TStream& s, int32_t version);

private:
    void                saveBacklog(TStream& s) const;
    void                loadBacklog(TStream& s, int32_t version);
    void                dropOldReadTextList(TStream& s, int32_t version);
    void                restoreMessageBoxes();
    TZunoHistoryFormatManager& histories() const;

    TScriptEnv&         FEnv;
    TCallMan&           FCallMan;
    mutable std::unique_ptr<TZunoHistoryFormatManager> FOwnHistories;
};

} // namespace zuno
