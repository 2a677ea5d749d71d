#include "archive/TVrFileManager.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <unordered_set>

#include "archive/GamePath.h"
#include "archive/TKsBigFileStream.h"
#include "archive/TKsBigResourceStream.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/TextHelpers.h"
#include "platform/posix/DiskFile.h"
#include "platform/posix/PosixServices.h"

namespace zuno {

namespace {

// The two search orders, as lists of the kinds of source walked.
enum TSourceKind { skGameFolder, skArchives, skDiscs };
constexpr TSourceKind kReadingOrder[] = {skGameFolder, skArchives, skDiscs};
constexpr TSourceKind kProbingOrder[] = {skArchives, skGameFolder, skDiscs};

// Paths queued for deletion by SweepWorkFiles, process-wide.
struct SweepQueue {
    std::mutex lock;
    std::vector<std::string> paths;
};

SweepQueue& sweepQueue() {
    static SweepQueue q;
    return q;
}

EZunoError workFileError() { return EZunoError::fromUtf8("作業用ファイルが作れません"); }

// A write-only stream over a disk file it does not own.
class TDiskFileWriter : public TStream {
public:
    explicit TDiskFileWriter(TDiskFile& file) : FFile(file) {}
    int64_t Read(void*, int64_t) override { return 0; }
    int64_t Write(const void* buffer, int64_t count) override {
        if (!FFile.writeAt(buffer, count, FPosition))
            return 0;
        FPosition += count;
        return count;
    }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override {
        int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? FPosition : FFile.size();
        FPosition = std::max<int64_t>(0, base + offset);
        return FPosition;
    }

private:
    TDiskFile& FFile;
    int64_t FPosition = 0;
};

// Appends the files of one disk folder (not its sub-folders) as game names.
void listDiskFolder(const std::string& root, std::string_view folder, std::vector<std::string>& list,
                    std::unordered_set<std::string>& present) {
    std::optional<std::string> dir = findGameFolder(root, folder);
    if (!dir)
        return;
    std::vector<std::string> files;
    for (std::string& file : folderEntries(*dir))
        if (diskFileExists(*dir + file))
            files.push_back(std::move(file));
    std::sort(files.begin(), files.end());
    std::string prefix(folder);
    if (!prefix.empty() && lastGameSeparator(prefix) + 1 != prefix.size())
        prefix += '\\';
    for (const std::string& file : files) {
        std::string name = prefix + diskComponentToGame(file);
        if (present.insert(lowerCaseSjis(name)).second)
            list.push_back(name);
    }
}

// Whether the disk file starts (or ends) with the two bytes `bytes`.
bool fileHasBytes(const std::string& path, const char* bytes, bool atEnd) {
    if (!diskFileExists(path))
        return false;
    std::ifstream in(path, std::ios::binary);
    in.seekg(0, std::ios::end);
    if (in.tellg() < 2)
        return false;
    in.seekg(atEnd ? -2 : 0, atEnd ? std::ios::end : std::ios::beg);
    char b[2] = {};
    in.read(b, 2);
    return in && b[0] == bytes[0] && b[1] == bytes[1];
}

} // namespace

// ---------------------------------------------------------------- life

TVrFileManager::TVrFileManager() : FTempFolder(temporaryFolderPath()) {
    for (const std::string& root : mountedCdRoots())
        if (isReadableFolder(root))
            FCdRoots.push_back(root);
}

TVrFileManager::~TVrFileManager() {
    SweepQueue& q = sweepQueue();
    std::lock_guard<std::mutex> guard(q.lock);
    for (const auto& lock : FLocks)
        q.paths.push_back(lock->Path);
    if (!FWorkFolder.empty())
        q.paths.push_back(FWorkFolder);   // empty by then: removed after its files
}

void TVrFileManager::SweepWorkFiles() {
    std::vector<std::string> paths;
    {
        SweepQueue& q = sweepQueue();
        std::lock_guard<std::mutex> guard(q.lock);
        paths.swap(q.paths);
    }
    for (const std::string& p : paths)
        std::remove(p.c_str());
}

void TVrFileManager::SetTempFolder(const std::string& folder) { FTempFolder = withSlash(folder); }

std::string TVrFileManager::workFolder() {
    if (FWorkFolder.empty()) {
        FWorkFolder = makeUniqueFolder(FTempFolder + "zunoplay-");
        if (FWorkFolder.empty())
            throw workFileError();
    }
    return FWorkFolder;
}

void TVrFileManager::SetCdRoots(std::vector<std::string> roots) {
    for (std::string& r : roots)
        r = withSlash(r);
    FCdRoots = std::move(roots);
}

// ---------------------------------------------------------------- registration

int TVrFileManager::AddArchive(const std::string& path) {
    for (const auto& c : FCollections)
        if (sameTextSjis(c->Folder(), path))
            return -1;
    auto collection = std::make_unique<TVrFileCollection>();
    collection->Open(path);
    FCollections.push_back(std::move(collection));
    return ArchiveCount() - 1;
}

int TVrFileManager::AddResourceArchive(const std::string& module, const std::string& name, const std::string& type) {
    auto collection = std::make_unique<TVrFileCollection>();
    collection->OpenResource(module, name, type);
    FCollections.push_back(std::move(collection));
    return ArchiveCount() - 1;
}

void TVrFileManager::RemoveArchive(int index) {
    if (index >= 0 && index < ArchiveCount())
        FCollections.erase(FCollections.begin() + index);
}

void TVrFileManager::SetBaseFolder(const std::string& path) { FBaseFolder = withSlash(path); }

// ---------------------------------------------------------------- the sources

template <class Visit>
bool TVrFileManager::walkSources(TSearchOrder order, Visit&& visit) const {
    for (TSourceKind kind : order == soReading ? kReadingOrder : kProbingOrder) {
        switch (kind) {
        case skGameFolder:
            if (!FBaseFolder.empty() && visit(TFileSource{nullptr, &FBaseFolder}))
                return true;
            break;
        case skArchives:
            for (const auto& c : FCollections)
                if (visit(TFileSource{c.get(), nullptr}))
                    return true;
            break;
        case skDiscs:
            for (const std::string& root : FCdRoots)
                if (visit(TFileSource{nullptr, &root}))
                    return true;
            break;
        }
    }
    return false;
}

// ---------------------------------------------------------------- reading

TVrFile* TVrFileManager::FindEntry(std::string_view name) const {
    for (const auto& c : FCollections)
        if (TVrFile* entry = c->FindEntry(name))
            return entry;
    return nullptr;
}

bool TVrFileManager::Exists(std::string_view name) {
    return walkSources(soProbing, [&](const TFileSource& s) {
        return s.Archive ? s.Archive->FindEntry(name) != nullptr : findGameFile(*s.Folder, name).has_value();
    });
}

void TVrFileManager::ReadFile(TStream& out, std::string_view name) {
    if (auto* memory = dynamic_cast<TKsMemoryStream*>(&out))
        memory->Clear();
    bool found = walkSources(soReading, [&](const TFileSource& s) {
        if (s.Folder) {
            std::optional<std::string> path = findGameFile(*s.Folder, name);
            if (!path)
                return false;
            loadDiskFile(*path, out);
            out.SetPosition(0);
            return true;
        }
        TVrFile* entry = s.Archive->FindEntry(name);
        if (!entry)
            return false;
        if (entry->Data) {
            CopyStream(out, *entry->Data, 0);
            out.SetPosition(0);
            return true;
        }
        if (!s.Archive->Stream())
            return false;      // an entry without contents: a later source may have them
        s.Archive->ReadItem(*entry, out);
        return true;
    });
    if (!found)
        throw fileNotFoundError(name);
}

std::unique_ptr<TRangeStream> TVrFileManager::OpenRange(std::string_view name) {
    std::unique_ptr<TRangeStream> range;
    walkSources(soReading, [&](const TFileSource& s) {
        if (s.Archive) {
            range = s.Archive->OpenEntryRange(name);
        } else if (std::optional<std::string> path = findGameFile(*s.Folder, name)) {
            range = std::make_unique<TFileRangeStream>(*path, 0, 0, false, true);
        }
        return range != nullptr;
    });
    if (!range)
        throw fileNotFoundError(name);
    return range;
}

std::string TVrFileManager::GetLocalPath(std::string_view name) {
    std::string local(name);
    walkSources(soReading, [&](const TFileSource& s) {
        if (s.Archive) {
            if (!s.Archive->FindEntry(name))
                return false;
            local = extractWorkFile(name);
            return true;
        }
        std::optional<std::string> path = findGameFile(*s.Folder, name);
        if (path)
            local = *path;
        return path.has_value();
    });
    return local;
}

// The work file of an archive entry: made at the first request, shared by later ones.
std::string TVrFileManager::extractWorkFile(std::string_view name) {
    for (const auto& lock : FLocks) {
        if (lock->Name == name) {
            ++lock->RefCount;
            return lock->Path;
        }
    }
    auto lock = std::make_unique<TVrLockData>();
    lock->Name = std::string(name);
    lock->Id = FNextId;
    auto taken = [&](int32_t id) {
        return std::any_of(FLocks.begin(), FLocks.end(), [&](const auto& l) { return l->Id == id; });
    };
    do
        ++FNextId;
    while (taken(FNextId));
    char file[32];
    std::snprintf(file, sizeof file, "~zv%.8X", static_cast<uint32_t>(lock->Id));
    lock->Path = workFolder() + file + gameComponentToDisk(gameNameExtension(name));
    TDiskFile disk(lock->Path, TDiskFile::daCreate, 0600);
    if (!disk.isOpen())
        throw workFileError();
    try {
        TDiskFileWriter out(disk);
        ReadFile(out, name);
    } catch (...) {
        disk.close();
        removeDiskFile(lock->Path);
        throw;
    }
    if (!disk.close()) {
        removeDiskFile(lock->Path);
        throw workFileError();
    }
    FLocks.push_back(std::move(lock));
    return FLocks.back()->Path;
}

void TVrFileManager::ListFiles(std::string_view folder, std::vector<std::string>& list) {
    std::unordered_set<std::string> present;
    size_t counted = 0;         // names of `list` already in `present`
    walkSources(soProbing, [&](const TFileSource& s) {
        if (s.Archive) {
            s.Archive->ListFolder(folder, list);
            return false;
        }
        for (; counted < list.size(); ++counted)
            present.insert(lowerCaseSjis(list[counted]));
        listDiskFolder(*s.Folder, folder, list, present);
        counted = list.size();
        return false;
    });
}

std::string TVrFileManager::ExtractDir(std::string_view name) {
    bool realPath = (name.size() >= 2 && name[0] == '\\' && name[1] == '\\') || (name.size() >= 2 && name[1] == ':');
    if (!realPath)
        return gameNameFolder(name);
    size_t last = std::string_view::npos;
    for (size_t i = 0; i < name.size(); ++i) {
        uint8_t b = uint8_t(name[i]);
        if (isLeadByte(b)) {
            ++i;
            continue;
        }
        if (b == '\\' || b == '/' || b == ':')
            last = i;
    }
    return last == std::string_view::npos ? std::string() : std::string(name.substr(0, last + 1));
}

// ---------------------------------------------------------------- discs

bool TVrFileManager::ask(const std::string& text, const std::string& caption, bool defaultAnswer) {
    return OnPrompt ? OnPrompt(text, caption) : defaultAnswer;
}

std::vector<std::string> TVrFileManager::discArchives(const std::string& identity, int diskNumber, size_t most) const {
    std::vector<std::string> games;
    for (const std::string& root : FCdRoots) {
        if (games.size() >= most)
            break;
        std::optional<std::string> game = findGameFile(root, "game.dat");
        std::optional<std::string> install = findGameFile(root, "install.dat");
        if (!game || !install)
            continue;
        TZunoInstallSet set;
        try {
            set.LoadFromFile(*install);
        } catch (const EZunoError&) {
            continue;
        }
        if (set.Identity == identity && (diskNumber < 0 || set.DiskNumber == diskNumber))
            games.push_back(*game);
    }
    return games;
}

bool TVrFileManager::FindDisk(int index) {
    std::vector<std::string> games = discArchives(ProjectName, index, FCdRoots.size());
    for (const std::string& game : games)
        AddArchive(game);
    return !games.empty();
}

bool TVrFileManager::RequestDisk(int n) {
    // The archives of the disc being taken out go first.
    FCollections.erase(std::remove_if(FCollections.begin(), FCollections.end(),
                                      [&](const auto& c) {
                                          for (const std::string& root : FCdRoots)
                                              if (c->Folder().size() >= root.size() &&
                                                  sameTextSjis(c->Folder().substr(0, root.size()), root))
                                                  return true;
                                          return false;
                                      }),
                       FCollections.end());
    std::string prompt = DiskPrompt.empty() ? sjis("ディスク%dを入れてから[OK]をクリックしてください") : DiskPrompt;
    size_t at = prompt.find("%d");
    if (at != std::string::npos)
        prompt.replace(at, 2, std::to_string(n));
    const std::string quit = QuitNotice.empty() ? sjis("終了します") : QuitNotice;
    // Without a prompt the disc is searched once; then the player quits.
    for (int attempt = 0;; ++attempt) {
        if (ask(prompt, AppTitle, attempt == 0)) {
            if (FindDisk(n - 1))
                return true;
            continue;
        }
        if (ask(quit, AppTitle, true)) {
            if (OnQuit)
                OnQuit();
            return false;
        }
    }
}

bool TVrFileManager::EnsureAvailable(std::string_view name, const TFolderDiskList& disks,
                                     std::string_view noPromptExtensions) {
    if (Exists(name))
        return true;
    int32_t n = disks.DiskOf(name);
    if (n <= 0)
        return false;
    std::string extension = lowerCaseSjis(gameNameExtension(name)) + ".";
    std::string list = lowerCaseSjis(noPromptExtensions) + ".";
    if (list.find(extension) != std::string::npos)
        return false;
    return RequestDisk(n);
}

// ---------------------------------------------------------------- start-up

std::string TVrFileManager::GameFolderOf(const std::string& firstArgument) {
    if (!diskFileExists(firstArgument))
        return withSlash(firstArgument);
    std::string folder = diskFolderOf(firstArgument);
    return folder.empty() ? std::string("./") : folder;
}

void TVrFileManager::RegisterGameData(const std::string& playerFile, const std::vector<std::string>& args) {
    AddArchive("");
    if (args.empty()) {
        std::string folder = diskFolderOf(playerFile);
        SetBaseFolder(folder.empty() ? "./" : folder);
        std::optional<TEmbeddedResource> dummy = findEmbeddedResource("DUMMY", "BINTYPE");
        if (dummy && dummy->size >= 2 && dummy->data[dummy->size - 2] == 'v' && dummy->data[dummy->size - 1] == 'f')
            AddResourceArchive(kOwnModule, "DUMMY", "BINTYPE");
        if (fileHasBytes(playerFile, "zv", true))
            AddArchive(playerFile);
        return;
    }
    SetBaseFolder(GameFolderOf(args[0]));
    for (const std::string& arg : args) {
        if (std::optional<std::string> game = findDiskFileNoCase(withSlash(arg), "game.dat"))
            AddArchive(*game);
        if (fileHasBytes(arg, "zv", true))
            AddArchive(arg);
    }
    // Data files named as arguments (archives without an appended index) come after.
    for (const std::string& arg : args)
        if (!fileHasBytes(arg, "zv", true) && fileHasBytes(arg, "vf", false))
            AddArchive(arg);
}

bool TVrFileManager::CheckInstall(const std::string& playerFile, std::string& identity, bool& fullInstall) {
    const std::string info = sjis("情報");
    std::string playerFolder = diskFolderOf(playerFile);
    if (playerFolder.empty())
        playerFolder = "./";
    if (FBaseFolder.empty() && findDiskFileNoCase(playerFolder, "install.dat"))
        SetBaseFolder(playerFolder);
    if (!Exists("install.dat")) {
        if (OnMessage)
            OnMessage(sjis("インストールし直してください"), info);
        return false;
    }
    TKsMemoryStream record;
    ReadFile(record, "install.dat");
    TZunoInstallSet set;
    set.LoadFromStream(record);
    identity = set.Identity;
    fullInstall = set.FullInstall != 0;
    if (std::optional<std::string> game = findDiskFileNoCase(playerFolder, "game.dat")) {
        AddArchive(*game);
        if (fullInstall)
            return true;
    } else if (ArchiveCount() > 0 && fullInstall) {
        return true;
    }
    const std::string quit = QuitNotice.empty() ? sjis("終了します") : QuitNotice;
    // Without a prompt the discs are searched once; then the start ends.
    for (int attempt = 0;; ++attempt) {
        std::vector<std::string> games = discArchives(identity, -1, 1);
        if (!games.empty()) {
            AddArchive(games.front());
            return true;
        }
        if (ask(sjis("ディスクを入れてください"), info, attempt == 0))
            continue;
        if (ask(quit, info, true))
            return false;
    }
}

} // namespace zuno
