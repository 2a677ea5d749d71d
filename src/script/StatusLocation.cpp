#include "script/StatusLocation.h"

#include <filesystem>

#include "core/TextHelpers.h"

namespace zuno {

namespace fs = std::filesystem;

std::string userGameFolder(const std::string& gameFolder, const std::string& dataRoot) {
    std::string name = gameFolder;
    while (!name.empty() && name.back() == '/')
        name.pop_back();
    const size_t slash = name.rfind('/');
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    if (name.empty() || name == "." || name == "..")
        name = "game";
    return withSlash(dataRoot) + name + "/";
}

std::string chooseStatusFile(const std::string& gameFolder, const std::string& dataRoot, bool gameFolderWritable,
                             const std::function<bool(const std::string&)>& fileExists) {
    const std::string user = userGameFolder(gameFolder, dataRoot) + "save.dat";
    if (fileExists(user))
        return user;
    if (gameFolderWritable)
        return withSlash(gameFolder) + "save.dat";
    return user;
}

bool prepareStatusFolder(const std::string& statusPath) {
    const fs::path folder = fs::path(statusPath).parent_path();
    if (folder.empty())
        return true;
    std::error_code ec;
    if (fs::is_directory(folder, ec))
        return true;
    fs::create_directories(folder, ec);
    return fs::is_directory(folder, ec);
}

} // namespace zuno
