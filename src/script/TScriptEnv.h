// What the script runtime shares with the rest of the player: the file layer,
// the variable table and built-in functions, the registry, and the
// process-wide values of the frame loop (terminating flag, game clock, last
// frame duration, frame updates). The application owns one of these and
// hands it to the project and the call manager.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zuno {

class TVrFileManager;
class TParamCollection;
class TSysFuncMan;
class TZunoBaseList;
class TMediaSystem;

struct TScriptEnv {
    TVrFileManager*     Files = nullptr;
    TParamCollection*   Params = nullptr;
    TSysFuncMan*        Funcs = nullptr;
    TZunoBaseList*      Registry = nullptr;             // none: no event queue, no senders
    TMediaSystem*       Media = nullptr;                // none: sounds and movies play nothing

    bool                Terminating = false;            // the game is ending; the loop stops
    uint32_t            GameClock = 0;                  // milliseconds, advanced by the frame loop
    int32_t             LastFrameDuration = 16;         // milliseconds of the last frame
    int32_t             UpdateCount = 0;                // frame updates since start

    // Availability of a game file before a page is opened (the project's
    // file-existence rule; unset: the file manager's Exists).
    std::function<bool(std::string_view name)> FileExists;
    // Game save and load requests (GameSave, GameLoad); the project applies
    // them between two frames. Unset: the commands request nothing.
    std::function<void(int32_t slot, const std::string& resumePage, const std::string& caption,
                       int32_t resumeIndex)> RequestSave;
    std::function<void(int32_t slot)> RequestLoad;
    // The platform's shell open of an address or folder (OpenUrl); unset:
    // nothing opens.
    std::function<bool(const std::string& target)> ShellOpen;
    // The file dialogs (SelectOpenFile, SelectSaveFile, SelectDirectory,
    // ExtractFile): true with the chosen path (Shift-JIS); unset: cancelled.
    std::function<bool(bool forSaving, const std::string& filter, std::string& path)> SelectFile;
    std::function<bool(std::string& folder)> SelectFolder;
    // ExtractFile's question before a file is overwritten (Shift-JIS text);
    // `many`: the buttons for several names. Unset: Yes.
    enum class TOverwriteAnswer { yes, no, cancel, noToAll, yesToAll };
    std::function<TOverwriteAnswer(const std::string& text, bool many)> AskOverwrite;
    // One trace line (UTF-8, without line end); unset: no trace.
    std::function<void(const std::string& line)> Trace;
    // The window is to close (Terminate).
    std::function<void()> RequestClose;
    // Moves the system cursor to a game pixel ("@MouseX"/"@MouseY" stores).
    std::function<void(int32_t x, int32_t y)> WarpMouse;
    // A warning the game cannot go on from: caption and text in Shift-JIS.
    std::function<void(const std::string& caption, const std::string& text)> Warning;

    // The display ("@FullScr", "@DisplayModeCount", "@DisplayModeIndex",
    // GetDisplayMode); unset: windowed, no full-screen modes.
    struct TModeEntry { int32_t Width = 0, Height = 0, Bits = 0, Refresh = 0; };
    std::function<bool()> IsFullScreen;
    std::function<void(bool on)> SetFullScreen;
    std::function<std::vector<TModeEntry>()> DisplayModes;      // the usable full-screen modes
    std::function<int32_t()> ChosenMode;                        // index into DisplayModes, -1 none
    std::function<void(int32_t index)> ChooseMode;              // recorded; in full screen also switched to
    // The installed font names ("@Fonts", "@FixedFonts"), Shift-JIS; unset: none.
    std::function<std::vector<std::string>(bool fixedPitchOnly)> FontNames;

    bool                fileExists(std::string_view name) const;
};

} // namespace zuno
