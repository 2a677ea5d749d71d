// One game run: the engine pieces (file manager, variable table, built-in
// functions, registry, project) and the frame step that drives them. The frame
// step reads, in order: input, interpreter, object update, composition,
// presentation.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/MadeWithLogo.h"
#include "app/PlayerOptions.h"
#include "app/TPlayerSettings.h"
#include "app/TFrameClock.h"
#include "archive/TVrFileManager.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "imaging/TDIBX.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoEdit.h"
#include "objects/TZunoMediaSource.h"
#include "platform/DisplayModes.h"
#include "platform/TPlatform.h"
#include "platform/TSceneBuffer.h"
#include "script/TProject.h"
#include "script/TScriptEnv.h"

namespace zuno {

class THeadlessPlatform;
class TMediaSystem;
class TAudioDump;

class TGameRunner {
public:
                        TGameRunner(TPlatform& platform, const TPlayerOptions& options,
                                    TProjectStartInfo info);
                        ~TGameRunner();

    void                setPlayerSettings(const TPlayerSettings& s) { FSettings = s; }   // before start()
    // Starts the game and opens the window. False when it cannot start;
    // FailReason (UTF-8) says why.
    bool                start();
    const std::string&  FailReason() const { return FFailReason; }

    void                frameStep(const std::vector<TInputEvent>& events);
    // The runs; both end with finish().
    void                runHeadless(THeadlessPlatform& headless, int64_t frames);
    void                runWindow(std::optional<int64_t> frames);
    void                finish();     // exit page, status data, variable dump; once

    bool                Ended() const { return FClosed || FEnv.Terminating; }
    TScriptEnv&         Env() { return FEnv; }
    TProject&           Project() { return *FProject; }
    TZunoBaseList&      Registry() { return FRegistry; }
    TParamCollection&   Params() { return FParams; }
    TMediaSystem*       Media() { return FMedia.get(); }
    const TSceneBuffer& Scene() const { return FScene; }

private:
    void                route(const std::vector<TInputEvent>& events);
    void                updateObjects();
    void                compose();
    void                present();
    void                writeScreenshots(int64_t step);
    void                installDisplayAccess();
    bool                startMedia();
    void                stopMedia();

    TPlatform&          FPlatform;
    TPlayerOptions      FOptions;
    TPlayerSettings     FSettings;
    TVrFileManager      FFiles;
    TParamCollection    FParams;
    TSysFuncMan         FFuncs;
    TZunoBaseList       FRegistry;
    std::unique_ptr<TZunoClipboard> FClipboard;     // the platform's clipboard for the text controls
    TScriptEnv          FEnv;
    std::unique_ptr<TProject> FProject;
    TSceneBuffer        FScene;
    TDIBX               FSceneSurface;      // the registry's view of FScene's pixels
    TFrameClock         FClock;
    TModeChoice         FModes;             // the full-screen modes the game may use
    std::ofstream       FTrace;
    std::unique_ptr<TMediaSystem> FMedia;       // after the project, before the sound output
    std::unique_ptr<TZunoMediaSource> FMediaSource;     // what sounds, movies and timers use
    std::unique_ptr<TAudioDump> FDump;
    std::unique_ptr<TMadeWithLogo> FLogo;       // until the logo is over (none with --no-logo)
    std::string         FFailReason;
    bool                FClosed = false;
    bool                FActive = true;
    bool                FFinished = false;
};

} // namespace zuno
