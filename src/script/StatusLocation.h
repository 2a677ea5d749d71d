// Where save.dat lives. Beside the game when the game folder can be written;
// otherwise (a disc, a read-only or system-wide install) in the user's data
// folder, in a sub-folder named after the game folder. A save.dat already in
// the user's data folder is taken first, so a game that once had to save
// there keeps its saves.
#pragma once

#include <functional>
#include <string>

namespace zuno {

// The user's folder of one game: dataRoot + the last name of gameFolder + '/'
// ("game" when the game folder has no name of its own, such as "/").
std::string             userGameFolder(const std::string& gameFolder, const std::string& dataRoot);

std::string             chooseStatusFile(const std::string& gameFolder, const std::string& dataRoot,
                                         bool gameFolderWritable,
                                         const std::function<bool(const std::string&)>& fileExists);

// Makes the folder of a save.dat path when it is missing; false when the
// folder is not there afterwards.
bool                    prepareStatusFolder(const std::string& statusPath);

} // namespace zuno
