// zunoplay: the player. Parses the command line, creates the platform and
// hands the run to TGameRunner.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ConfigDialog.h"
#include "app/PlayerOptions.h"
#include "app/StartupRules.h"
#include "app/TGameRunner.h"
#include "app/TIniFile.h"
#include "app/TPlayerSettings.h"
#include "archive/TVrFileManager.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "GameArgumentCheck.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/InputScript.h"
#include "platform/posix/PosixServices.h"
#include "platform/sdl/SdlPlatform.h"
#include "platform/sdl/SdlSettingsDialog.h"

using namespace zuno;

static int fail(const std::string& message) {
    std::fprintf(stderr, "zunoplay: %s\n", message.c_str());
    return 1;
}

int main(int argc, char** argv) {
    TPlayerOptions opt;
    try {
        opt = parsePlayerOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const TUsageError& e) {
        std::fprintf(stderr, "zunoplay: %s (zunoplay --help lists the options)\n", e.Message.c_str());
        return 2;
    }
    if (opt.Help) {
        std::fputs(playerUsage().c_str(), stdout);
        return 0;
    }
    if (opt.Version) {
        std::printf("zunoplay %s\n", ZUNO_VERSION);
        return 0;
    }
    try {
        const std::string exeFolder = executableFolder();
        const std::string self = argv[0];
        const std::string playerFile = exeFolder + self.substr(self.find_last_of('/') + 1);
        // Say what is wrong with the game or the display in one line before
        // any window or sound device is asked for.
        const std::optional<std::string> noDisplay = opt.Headless ? std::nullopt : displayProblem();
        if (!opt.Config) {
            std::optional<std::string> problem =
                opt.Games.empty() ? playerFolderProblem(exeFolder, playerFile) : gameArgumentProblem(opt.Games[0]);
            if (problem) {
                const int status = fail(*problem);
                // Started from a desktop menu, standard error is seen by no one.
                if (!opt.Headless && !noDisplay)
                    createSdlPlatform()->messageBox("zunoplay", *problem, TMessageButtons::ok, TMessageIcon::warning,
                                                    TMessageAnswer::ok);
                return status;
            }
        }
        if (noDisplay)
            return fail(opt.Config ? "no display for the settings dialog" : *noDisplay);
        if (opt.Config) {
            runConfigDialog(gameIniPath(exeFolder, userConfigFolder()), runSettingsDialog);
            return 0;
        }

        std::unique_ptr<TPlatform> platform;
        THeadlessPlatform* headless = nullptr;
        if (opt.Headless) {
            auto h = std::make_unique<THeadlessPlatform>(
                opt.InputFile.empty() ? TInputScript() : TInputScript::loadFromFile(opt.InputFile));
            headless = h.get();
            platform = std::move(h);
        } else {
            platform = createSdlPlatform();
        }

        // A start from a disc is refused silently.
        for (const std::string& root : platform->cdRoots())
            if (!root.empty() && exeFolder.rfind(root, 0) == 0)
                return 0;
        const std::string gamePath = opt.Games.empty() ? exeFolder : opt.Games[0];
        if (!platform->acquireInstanceLock(instanceMutexName(utf8ToCp932(gamePath))))
            return 0;
        TPlayerSettings settings;
        const std::string gameFolder = opt.Games.empty() ? exeFolder : TVrFileManager::GameFolderOf(opt.Games[0]);
        settings.read(TIniFile::load(gameIniPath(gameFolder, exeFolder, userConfigFolder())));

        TProjectStartInfo info;
        info.Arguments = opt.Games;
        info.ExecutableFolder = exeFolder;
        info.ExecutablePath = playerFile;
        TGameRunner runner(*platform, opt, std::move(info));
        runner.setPlayerSettings(settings);
        if (!runner.start())
            return fail(runner.FailReason());
        if (headless)
            runner.runHeadless(*headless, opt.Frames.value_or(600));
        else
            runner.runWindow(opt.Frames);
        return 0;
    } catch (const EZunoError& e) {
        return fail(e.what());
    }
}
