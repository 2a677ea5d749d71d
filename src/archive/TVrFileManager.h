// The virtual file manager: one name space of game files over loose files
// in the game folder, the registered archives (in registration order) and the
// root folders of mounted discs.
//
// Every look-up walks these sources in one of two orders:
//   reading (ReadFile, OpenRange, GetLocalPath)   game folder, archives, disc roots
//   probing (Exists, ListFiles)                   archives, game folder, disc roots
// Reading puts the game folder first, so a loose file overrides an archive
// entry; probing asks the archives first, which answer without touching the
// disk, so in a listing their spelling of a name wins. Among the archives the
// first that holds a name wins over later ones. A name found nowhere is
// "%s:ファイルがありません" for ReadFile and OpenRange; GetLocalPath then gives
// the name itself.
//
// Work files ("~zv" + 8 hex digits + the name's extension) are extracted once
// per name into a folder of this process's own below the temporary folder;
// they are queued for deletion when the manager is freed and deleted by
// SweepWorkFiles.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/TRangeStream.h"
#include "archive/TVrFileCollection.h"
#include "archive/TZunoInstallSet.h"
#include "core/TStream.h"

namespace zuno {

struct TVrLockData {
    std::string         Name;                    // virtual file name
    int32_t             Id = 0;
    int32_t             RefCount = 1;
    std::string         Path;                    // the work file on disk
};

class TVrFileManager {
public:
    // Answers an OK/Cancel question (texts in Shift-JIS); true for OK.
    using TPrompt = std::function<bool(const std::string& text, const std::string& caption)>;

                        TVrFileManager();        // finds the disc roots in the mount table
                        ~TVrFileManager();       // queues the work files for deletion
                        TVrFileManager(const TVrFileManager&) = delete;
    TVrFileManager&     operator=(const TVrFileManager&) = delete;

    // Registration.
    int                 AddArchive(const std::string& path);     // -1 when a collection's Folder equals it
    int                 AddResourceArchive(const std::string& module, const std::string& name,
                                           const std::string& type);
    void                RemoveArchive(int index);
    int                 ArchiveCount() const { return static_cast<int>(FCollections.size()); }
    TVrFileCollection*  Archive(int index) const { return FCollections[size_t(index)].get(); }
    void                SetBaseFolder(const std::string& path);  // a disk folder; '/' appended
    const std::string&  BaseFolder() const { return FBaseFolder; }

    // Reading.
    bool                Exists(std::string_view name);
    void                ReadFile(TStream& out, std::string_view name);       // position 0 afterwards
    std::unique_ptr<TRangeStream> OpenRange(std::string_view name);
    std::string         GetLocalPath(std::string_view name);
    TVrFile*            FindEntry(std::string_view name) const;              // first archive holding it
    void                ListFiles(std::string_view folder, std::vector<std::string>& list);
    static std::string  ExtractDir(std::string_view name);

    // Discs.
    const std::vector<std::string>& CdRoots() const { return FCdRoots; }
    void                SetCdRoots(std::vector<std::string> roots);          // folders ending in '/'
    bool                RequestDisk(int n);      // asks for disc n (from 1) until found or quit
    bool                FindDisk(int index);     // install.dat DiskNumber counts from 0
    // Whether the file can be had, asking for its disc when the folder map
    // says another disc holds it (extensions in `noPromptExtensions`, like
    // ".wav.ogg.", are never asked for).
    bool                EnsureAvailable(std::string_view name, const TFolderDiskList& disks,
                                        std::string_view noPromptExtensions);

    // Settings of the multi-disc prompts (Shift-JIS).
    std::string         ProjectName;                                         // install.dat Identity
    std::string         AppTitle;
    std::string         DiskPrompt;      // one %d; default "ディスク%dを入れてから[OK]をクリックしてください"
    std::string         QuitNotice;      // default "終了します"
    TPrompt             OnPrompt;        // none: OK for the first disc prompt, then Cancel; OK to quit
    std::function<void()> OnQuit;        // the player is to close
    // Shows a message with an OK button (Shift-JIS); none: not shown (the
    // caller learns the outcome from the result).
    std::function<void(const std::string& text, const std::string& caption)> OnMessage;

    // Start-up. Registers the game data of a player at `playerFile` (a disk
    // path) started with `args` (disk paths; the first names the game folder,
    // or a data file in it): collection 0 for in-memory entries, the game
    // folder, "game.dat" of each argument's folder and arguments that are
    // files ending in "zv", then arguments that are data files starting with
    // "vf"; without arguments the player's folder, its embedded archive
    // ("DUMMY"/"BINTYPE" ending in "vf") and an archive appended to the player.
    void                RegisterGameData(const std::string& playerFile, const std::vector<std::string>& args);
    // The game folder the first argument names: the argument itself ('/'
    // appended), or the folder of the data file it names ("./" for none).
    static std::string  GameFolderOf(const std::string& firstArgument);
    // Checks install.dat and finds the game data; false when the start is to
    // end ("インストールし直してください" is shown when install.dat is missing).
    // `identity` and `fullInstall` receive the record's values.
    bool                CheckInstall(const std::string& playerFile, std::string& identity, bool& fullInstall);

    // Work files.
    const std::string&  TempFolder() const { return FTempFolder; }
    void                SetTempFolder(const std::string& folder);             // parent of the work folder
    int                 WorkFileCount() const { return static_cast<int>(FLocks.size()); }
    static void         SweepWorkFiles();

private:
    enum TSearchOrder { soReading, soProbing };   // see the top of this file

    // One source of files: an archive, or a disk folder ending in '/'.
    struct TFileSource {
        TVrFileCollection* Archive = nullptr;
        const std::string* Folder = nullptr;
    };

    // Calls `visit` with each source in `order` until it returns true; true
    // when one did.
    template <class Visit>
    bool                walkSources(TSearchOrder order, Visit&& visit) const;
    // The game.dat of up to `most` mounted discs whose install.dat names
    // `identity` (and disc number `diskNumber` when that is 0 or more), in
    // the order of the disc roots.
    std::vector<std::string> discArchives(const std::string& identity, int diskNumber, size_t most) const;
    bool                ask(const std::string& text, const std::string& caption, bool defaultAnswer);
    std::string         extractWorkFile(std::string_view name);
    std::string         workFolder();

    std::vector<std::unique_ptr<TVrFileCollection>> FCollections;
    std::vector<std::string> FCdRoots;
    std::string         FBaseFolder;
    std::vector<std::unique_ptr<TVrLockData>> FLocks;
    int32_t             FNextId = 0;
    std::string         FTempFolder;
    std::string         FWorkFolder;            // created with the first work file
};

} // namespace zuno
