#include "GameArgumentCheck.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "archive/GamePath.h"
#include "core/TextHelpers.h"
#include "platform/posix/PosixServices.h"

namespace zuno {

namespace fs = std::filesystem;

namespace {

// Whether the file starts with "vf" (an archive) or ends with "zv" (a
// program or data file with an appended archive).
bool isGameDataFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[2] = {}, tail[2] = {};
    if (!in.read(head, 2))
        return false;
    if (head[0] == 'v' && head[1] == 'f')
        return true;
    in.seekg(-2, std::ios::end);
    return in.read(tail, 2) && tail[0] == 'z' && tail[1] == 'v';
}

bool folderHoldsGame(const std::string& folder) {
    for (const char* name : {"game.dat", "zuno.zpb", "install.dat"})
        if (findDiskFileNoCase(folder, name))
            return true;
    return false;
}

} // namespace

std::optional<std::string> gameArgumentProblem(const std::string& gamePath) {
    std::error_code ec;
    const fs::file_status status = fs::status(gamePath, ec);
    if (!fs::exists(status))
        return gamePath + ": no such game folder or file";
    if (fs::is_directory(status)) {
        if (!folderHoldsGame(withSlash(gamePath)))
            return gamePath + ": no game in this folder (no game.dat, zuno.zpb or install.dat)";
        return std::nullopt;
    }
    if (!fs::is_regular_file(status) || !isGameDataFile(gamePath))
        return gamePath + ": not a game folder and not a game data file";
    return std::nullopt;
}

std::optional<std::string> playerFolderProblem(const std::string& exeFolder, const std::string& playerFile) {
    if (folderHoldsGame(exeFolder) || isGameDataFile(playerFile))
        return std::nullopt;
    return "no game given and none beside the player in " + exeFolder + " (zunoplay GAME_FOLDER; zunoplay --help)";
}

std::optional<std::string> displayProblem() {
#if defined(__unix__) && !defined(__APPLE__) && !defined(__ANDROID__)
    auto set = [](const char* name) {
        const char* v = environmentValue(name);
        return v && *v;
    };
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("SDL_VIDEODRIVER"))
        return std::string("no display: use --headless");
#endif
    return std::nullopt;
}

} // namespace zuno
