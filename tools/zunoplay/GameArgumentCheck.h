// What a person gets when zunoplay is started on something that is not a
// game: one line naming the folder or file, before any window or sound
// device is opened.
#pragma once

#include <optional>
#include <string>

namespace zuno {

// Why `gamePath` (the first GAME argument, UTF-8) cannot be a game, or
// nothing when it may be one: a folder holding game.dat, zuno.zpb or
// install.dat, or a data file (an archive, or a program with one appended).
std::optional<std::string> gameArgumentProblem(const std::string& gamePath);

// Why the player folder `exeFolder` (used when no GAME is given) holds no
// game, or nothing.
std::optional<std::string> playerFolderProblem(const std::string& exeFolder, const std::string& playerFile);

// Why no window can be opened here, or nothing: on systems with X11 or
// Wayland, neither display is named in the environment (and SDL_VIDEODRIVER
// does not choose another video driver).
std::optional<std::string> displayProblem();

} // namespace zuno
