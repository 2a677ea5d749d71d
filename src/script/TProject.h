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
    std::string         StatusFilePath() const;                  // disk path of save.dat

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
    std::vector<uint8_t> FStatusTail;        // status parts after the variables, kept as read
    std::string         FFailReason;
    bool                FCreated = false;
    bool                FDestroyed = false;
    bool                FProjectRead = false;
};

} // namespace zuno
