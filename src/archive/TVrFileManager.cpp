#include "archive/TVrFileManager.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <mutex>
#include <sstream>
#include <unordered_set>

#include "archive/GamePath.h"
#include "archive/TKsBigFileStream.h"
#include "archive/TKsBigResourceStream.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"

namespace zuno {

namespace {

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

// A write-only stream over a file descriptor it does not own.
class TFdStream : public TStream {
public:
    explicit TFdStream(int fd) : FFd(fd) {}
    int64_t Read(void*, int64_t) override { return 0; }
    int64_t Write(const void* buffer, int64_t count) override {
        const auto* p = static_cast<const uint8_t*>(buffer);
        int64_t done = 0;
        while (done < count) {
            ssize_t n = ::write(FFd, p + done, size_t(count - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += n;
        }
        return done;
    }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override {
        off_t r = ::lseek(FFd, offset, origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END);
        return r < 0 ? 0 : int64_t(r);
    }

private:
    int FFd;
};

std::string withSlash(std::string path) {
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

// Appends the files of one disk folder (not its sub-folders) as game names.
void listDiskFolder(const std::string& root, std::string_view folder, std::vector<std::string>& list,
                    std::unordered_set<std::string>& present) {
    std::optional<std::string> dir = findGameFolder(root, folder);
    if (!dir)
        return;
    DIR* d = ::opendir(dir->c_str());
    if (!d)
        return;
    std::vector<std::string> files;
    while (dirent* e = ::readdir(d)) {
        std::string file = e->d_name;
        if (file == "." || file == ".." || !diskFileExists(*dir + file))
            continue;
        files.push_back(file);
    }
    ::closedir(d);
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

} // namespace

// ---------------------------------------------------------------- life

TVrFileManager::TVrFileManager() {
    std::ifstream mounts("/proc/mounts");
    std::stringstream text;
    text << mounts.rdbuf();
    for (const std::string& root : cdRootsFromMounts(text.str()))
        if (::access(root.c_str(), R_OK | X_OK) == 0)
            FCdRoots.push_back(root);
    const char* tmp = std::getenv("TMPDIR");
    FTempFolder = withSlash(tmp && *tmp ? tmp : "/tmp");
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
        std::string pattern = FTempFolder + "zunoplay-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw workFileError();
        FWorkFolder = pattern + "/";
    }
    return FWorkFolder;
}

std::vector<std::string> TVrFileManager::cdRootsFromMounts(std::string_view mounts) {
    std::vector<std::string> roots;
    std::istringstream in{std::string(mounts)};
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string device, point, type;
        if (!(fields >> device >> point >> type) || (type != "iso9660" && type != "udf"))
            continue;
        // The mount table writes space, tab, newline and backslash as \ooo.
        std::string decoded;
        for (size_t i = 0; i < point.size(); ++i) {
            if (point[i] == '\\' && i + 3 < point.size() && std::isdigit(uint8_t(point[i + 1])) &&
                std::isdigit(uint8_t(point[i + 2])) && std::isdigit(uint8_t(point[i + 3]))) {
                decoded += char((point[i + 1] - '0') * 64 + (point[i + 2] - '0') * 8 + (point[i + 3] - '0'));
                i += 3;
            } else {
                decoded += point[i];
            }
        }
        roots.push_back(withSlash(decoded));
    }
    return roots;
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

// ---------------------------------------------------------------- reading

bool TVrFileManager::onDisk(std::string_view name, std::string* path) const {
    if (FBaseFolder.empty())
        return false;
    std::optional<std::string> found = findGameFile(FBaseFolder, name);
    if (found && path)
        *path = *found;
    return found.has_value();
}

bool TVrFileManager::onCd(std::string_view name, std::string* path) const {
    for (const std::string& root : FCdRoots) {
        if (std::optional<std::string> found = findGameFile(root, name)) {
            if (path)
                *path = *found;
            return true;
        }
    }
    return false;
}

TVrFile* TVrFileManager::FindEntry(std::string_view name) const {
    for (const auto& c : FCollections)
        if (TVrFile* entry = c->FindEntry(name))
            return entry;
    return nullptr;
}

bool TVrFileManager::Exists(std::string_view name) {
    return FindEntry(name) != nullptr || onDisk(name, nullptr) || onCd(name, nullptr);
}

void TVrFileManager::ReadFile(TStream& out, std::string_view name) {
    if (auto* memory = dynamic_cast<TKsMemoryStream*>(&out))
        memory->Clear();
    std::string path;
    if (onDisk(name, &path)) {
        loadDiskFile(path, out);
        out.SetPosition(0);
        return;
    }
    for (const auto& c : FCollections) {
        TVrFile* entry = c->FindEntry(name);
        if (!entry)
            continue;
        if (entry->Data) {
            CopyStream(out, *entry->Data, 0);
            out.SetPosition(0);
            return;
        }
        if (c->Stream()) {
            c->ReadItem(*entry, out);
            return;
        }
    }
    if (onCd(name, &path)) {
        loadDiskFile(path, out);
        out.SetPosition(0);
        return;
    }
    throw fileNotFoundError(name);
}

std::unique_ptr<TRangeStream> TVrFileManager::OpenRange(std::string_view name) {
    std::string path;
    if (onDisk(name, &path))
        return std::make_unique<TFileRangeStream>(path, 0, 0, false, true);
    for (const auto& c : FCollections)
        if (std::unique_ptr<TRangeStream> range = c->OpenEntryRange(name))
            return range;
    if (onCd(name, &path))
        return std::make_unique<TFileRangeStream>(path, 0, 0, false, true);
    throw fileNotFoundError(name);
}

std::string TVrFileManager::GetLocalPath(std::string_view name) {
    std::string path;
    if (onDisk(name, &path))
        return path;
    if (FindEntry(name)) {
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
        int fd = ::open(lock->Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            throw workFileError();
        try {
            TFdStream out(fd);
            ReadFile(out, name);
        } catch (...) {
            ::close(fd);
            ::unlink(lock->Path.c_str());
            throw;
        }
        if (::close(fd) != 0) {
            ::unlink(lock->Path.c_str());
            throw workFileError();
        }
        FLocks.push_back(std::move(lock));
        return FLocks.back()->Path;
    }
    if (onCd(name, &path))
        return path;
    return std::string(name);
}

void TVrFileManager::ListFiles(std::string_view folder, std::vector<std::string>& list) {
    for (const auto& c : FCollections)
        c->ListFolder(folder, list);
    std::unordered_set<std::string> present;
    for (const std::string& s : list)
        present.insert(lowerCaseSjis(s));
    if (!FBaseFolder.empty())
        listDiskFolder(FBaseFolder, folder, list, present);
    for (const std::string& root : FCdRoots)
        listDiskFolder(root, folder, list, present);
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
    if (OnPrompt)
        return OnPrompt(text, caption);
    std::fprintf(stderr, "%s\n", cp932ToUtf8(text).c_str());
    return defaultAnswer;
}

bool TVrFileManager::FindDisk(int index) {
    bool found = false;
    for (const std::string& root : std::vector<std::string>(FCdRoots)) {
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
        if (set.Identity == ProjectName && set.DiskNumber == index) {
            AddArchive(*game);
            found = true;
        }
    }
    return found;
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

} // namespace zuno

namespace zuno {

// ---------------------------------------------------------------- start-up

namespace {

// Whether the disk file ends with the two bytes `tail`.
bool fileEndsWith(const std::string& path, const char* tail) {
    if (!diskFileExists(path))
        return false;
    std::ifstream in(path, std::ios::binary);
    in.seekg(0, std::ios::end);
    if (in.tellg() < 2)
        return false;
    in.seekg(-2, std::ios::end);
    char b[2] = {};
    in.read(b, 2);
    return in && b[0] == tail[0] && b[1] == tail[1];
}

} // namespace

void TVrFileManager::RegisterGameData(const std::string& playerFile, const std::vector<std::string>& args) {
    AddArchive("");
    if (args.empty()) {
        std::string folder = diskFolderOf(playerFile);
        SetBaseFolder(folder.empty() ? "./" : folder);
        std::optional<TEmbeddedResource> dummy = findEmbeddedResource("DUMMY", "BINTYPE");
        if (dummy && dummy->size >= 2 && dummy->data[dummy->size - 2] == 'v' && dummy->data[dummy->size - 1] == 'f')
            AddResourceArchive(kOwnModule, "DUMMY", "BINTYPE");
        if (fileEndsWith(playerFile, "zv"))
            AddArchive(playerFile);
        return;
    }
    SetBaseFolder(args[0]);
    for (const std::string& arg : args) {
        if (std::optional<std::string> game = findDiskFileNoCase(withSlash(arg), "game.dat"))
            AddArchive(*game);
        if (fileEndsWith(arg, "zv"))
            AddArchive(arg);
    }
}

bool TVrFileManager::findInstalledDisc(const std::string& identity) {
    for (const std::string& root : FCdRoots) {
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
        if (set.Identity == identity) {
            AddArchive(*game);
            return true;
        }
    }
    return false;
}

bool TVrFileManager::CheckInstall(const std::string& playerFile, std::string& identity, bool& fullInstall) {
    const std::string info = sjis("情報");
    std::string playerFolder = diskFolderOf(playerFile);
    if (playerFolder.empty())
        playerFolder = "./";
    if (FBaseFolder.empty() && findDiskFileNoCase(playerFolder, "install.dat"))
        SetBaseFolder(playerFolder);
    if (!Exists("install.dat")) {
        const std::string text = sjis("インストールし直してください");
        if (OnMessage)
            OnMessage(text, info);
        else
            std::fprintf(stderr, "%s\n", cp932ToUtf8(text).c_str());
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
        if (findInstalledDisc(identity))
            return true;
        if (ask(sjis("ディスクを入れてください"), info, attempt == 0))
            continue;
        if (ask(quit, info, true))
            return false;
    }
}

} // namespace zuno
