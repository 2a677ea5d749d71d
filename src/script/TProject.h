// The running game: registers the game data, restores the status data from
// save.dat, reads zuno.zpb, sets the initial variables and starts the start
// page; at the end runs the exit page and writes the status data back.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/TZunoInstallSet.h"
#include "script/TCallMan.h"
#include "script/TProjectSetting.h"
#include "script/TScriptEnv.h"

namespace zuno {

class TVrFileCollection;
class TZunoHistoryFormatManager;
class TZunoReadList;
class TPageTextSource;

struct TProjectStartInfo {
    std::vector<std::string> Arguments;      // the player's game arguments (disk paths, UTF-8)
    std::string         ExecutableFolder;    // ending in '/'
    std::string         ExecutablePath;      // the player's own file (checked for an appended archive)
};

class TProject {
public:
                        TProject(TScriptEnv& env, TProjectStartInfo info);
                        ~TProject();         // Destroy
                        TProject(const TProject&) = delete;
    TProject&           operator=(const TProject&) = delete;

    // The start sequence. False when the game cannot run (the terminating flag
    // is then set and FailReason says why, in Shift-JIS).
    bool                Create();
    // The exit page and the status data; runs once.
    void                Destroy();
    void                RunFrame();          // the call manager's loop for this frame

    bool                FileExists(std::string_view name);
    // Disk path of save.dat: the one in the user's data folder when it is
    // there, else the game folder's when that folder can be written, else
    // the user's data folder's.
    std::string         StatusFilePath() const;
    std::string         GameFolder() const;                      // ending in '/'
    // Where save.dat is read from: StatusFilePath when that file is there,
    // else the game folder's save.dat when there is one (a game on a disc
    // may bring its own), else StatusFilePath.
    std::string         StatusReadPath() const;

    // --- game saves: requests stand until the next frame step applies them
    void                RequestSave(int32_t slot, const std::string& resumePage, const std::string& caption,
                                    int32_t resumeIndex);
    void                RequestLoad(int32_t slot);
    // The pending load (true when a game was loaded), then the pending save.
    bool                ApplyPending();
    void                SaveGame(int32_t slot, const std::string& resumePage, const std::string& caption,
                                 int32_t resumeIndex);
    bool                LoadGame(int32_t slot);

    // --- the save captions: one per game save in save.dat, in entry order
    struct TSaveCaption { int32_t Slot; std::string Caption; };
    std::string         SaveCaption(int32_t slot) const;         // empty when the slot holds no save
    void                SetSaveCaption(int32_t slot, const std::string& caption);
    const std::vector<TSaveCaption>& SaveCaptions() const { return FSaveCaptions; }

    // Replaces (or adds) one entry of save.dat and writes the file; false
    // when it cannot be read or written.
    bool                WriteSaveDataEntry(const std::string& name, const std::vector<uint8_t>& data);
    // A disk file removed when the game ends (listed once).
    void                DeleteAtEnd(const std::string& path);

    TCallMan*           CallMan() const { return FCallMan.get(); }
    const TProjectSetting& Setting() const { return FSetting; }
    const std::string&  Title() const { return FTitle; }
    int32_t             HalfScreenWidth() const { return FSetting.FScreenWidth / 2; }
    int32_t             HalfScreenHeight() const { return FSetting.FScreenHeight / 2; }
    const std::string&  FailReason() const { return FFailReason; }
    // The backlog formats and the read-text list (kept in the status data).
    TZunoHistoryFormatManager& Histories() { return *FHistories; }
    TZunoReadList&      ReadList() { return *FReadList; }

private:
    bool                installCheck();
    void                loadStatus();
    bool                readProject(const std::string& name, TProjectSetting& into);
    void                applyProject();
    std::string         playerFile() const;   // disk path of the player (its folder holds install.dat)
    void                warn(const char* utf8Text);
    void                writeStatus();
    void                buildCaptionList();
    bool                openSaveData(TVrFileCollection& save, const std::string& path);
    void                storeStatus(TVrFileCollection& save);
    void                saveFailed(const std::string& what);

    TScriptEnv&         FEnv;
    TProjectStartInfo   FInfo;
    TProjectSetting     FSetting;
    std::string         FTitle;
    TFolderDiskList     FFolderDisks;
    std::string         FUndiscovered = "wav.wma.ogg";
    std::unique_ptr<TCallMan> FCallMan;
    std::unique_ptr<TZunoHistoryFormatManager> FHistories;
    std::unique_ptr<TZunoReadList> FReadList;
    std::unique_ptr<TPageTextSource> FTextSource;
    std::vector<TSaveCaption> FSaveCaptions;
    std::vector<std::string> FDeleteAtEnd;
    int32_t             FLoadSlot = -1;      // pending requests, -1: none
    int32_t             FSaveSlot = -1;
    std::string         FSaveResumePage;
    std::string         FSaveCaption;
    int32_t             FSaveResumeIndex = 0;
    std::string         FFailReason;
    bool                FCreated = false;
    bool                FDestroyed = false;
    bool                FProjectRead = false;
};

} // namespace zuno
