// The built-in functions over files and the desktop: FileExists, OpenUrl, the
// file dialogs, ExtractFile (copies game files out to a folder) and
// SetWallPaper. Folder names a game gives are resolved against the game
// folder; '\' separates folders as in game file names.
#include <filesystem>
#include <fstream>

#include "archive/GamePath.h"
#include "archive/TVrFileManager.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/TStream.h"
#include "core/TextHelpers.h"
#include "expr/TSysFuncMan.h"
#include "script/ProjectSysFuncs.h"
#include "script/TProject.h"

namespace zuno {

namespace fs = std::filesystem;

namespace {

constexpr int fnFileExists = 71;
constexpr int fnSetWallPaper = 125;
constexpr int fnOpenUrl = 135;
constexpr int fnSelectOpenFile = 148;
constexpr int fnSelectSaveFile = 149;
constexpr int fnSelectDirectory = 150;
constexpr int fnExtractFile = 151;

// A disk path for a folder or file name a game gives: absolute names stay,
// others are taken from the game folder.
std::string diskPathOf(const std::string& name, const std::string& gameFolder) {
    std::string path = name.size() >= 1 && (name[0] == '/' || name[0] == '\\') ? "/" : gameFolder;
    for (const std::string& part : splitGameName(name)) {
        if (!path.empty() && path.back() != '/')
            path += '/';
        path += gameComponentToDisk(part);
    }
    return path;
}

bool startsWithNoCase(const std::string& text, std::string_view prefix) {
    return text.size() >= prefix.size() && lowerCaseSjis(text.substr(0, prefix.size())) == prefix;
}

// The names of arg 1 of ExtractFile: its elements, a scalar being one.
std::vector<std::string> namesOf(const TCustomParam& arg) {
    std::vector<std::string> names;
    for (int i = 0; i < arg.Count(); ++i)
        names.push_back(arg.GetStringAt(i));
    return names;
}

// The game files a name stands for: itself, or the files of its folder that
// match its mask.
std::vector<std::string> filesOf(TVrFileManager& files, const std::string& name) {
    if (name.find_first_of("*?") == std::string::npos)
        return {name};
    const std::string folder = gameNameFolder(name);
    const std::string mask = name.substr(folder.size());
    std::vector<std::string> listed;
    files.ListFiles(folder, listed);
    std::vector<std::string> taken;
    for (const std::string& f : listed) {
        const std::string file = f.substr(lastGameSeparator(f) == std::string::npos ? 0 : lastGameSeparator(f) + 1);
        if (fileMaskMatches(mask, file))
            taken.push_back(folder + file);
    }
    return taken;
}

bool writeDiskFile(const std::string& path, const std::vector<uint8_t>& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(out);
}

void extractFiles(TScriptEnv& env, TProject& project, TCustomParam& R, const TParamArgs& a) {
    R.SetBoolean(false);
    TVrFileManager* files = env.Files;
    if (!files)
        return;
    std::string folder;
    if (a.size() >= 3) {
        folder = a[2]->AsString();
    } else if (!env.SelectFolder || !env.SelectFolder(folder)) {
        return;
    }
    const std::string dest = diskPathOf(folder, project.GameFolder());
    std::error_code ec;
    fs::create_directories(dest, ec);
    if (!fs::is_directory(dest, ec))
        return;
    const bool confirm = sysfunc::boolArg(a, 1, true);
    const std::vector<std::string> names = namesOf(*a[0]);
    const bool many = names.size() >= 2;
    bool noToAll = false, yesToAll = false, written = false;
    for (const std::string& name : names) {
        for (const std::string& file : filesOf(*files, name)) {
            if (!files->Exists(file))
                continue;
            const size_t sep = lastGameSeparator(file);
            const std::string target =
                withSlash(dest) + gameComponentToDisk(sep == std::string::npos ? file : file.substr(sep + 1));
            if (confirm && !yesToAll && fs::exists(target, ec)) {
                if (noToAll)
                    continue;
                using A = TScriptEnv::TOverwriteAnswer;
                const A answer = env.AskOverwrite
                    ? env.AskOverwrite(utf8ToCp932(target) + sjis("\r\n\r\n既に同名のファイルが存在します。上書きしますか？"), many)
                    : A::yes;
                if (answer == A::no)
                    continue;
                if (answer == A::noToAll) {
                    noToAll = true;
                    continue;
                }
                if (answer == A::cancel)
                    break;
                if (answer == A::yesToAll)
                    yesToAll = true;
            }
            TKsMemoryStream data;
            try {
                files->ReadFile(data, file);
            } catch (const EZunoError&) {
                continue;
            }
            if (writeDiskFile(target, data.Data()))
                written = true;
        }
    }
    R.SetBoolean(written);
}

} // namespace

bool fileMaskMatches(std::string_view mask, std::string_view name) {
    // Iterative match with one back-tracking point for the last '*'.
    size_t m = 0, n = 0, starM = std::string_view::npos, starN = 0;
    auto charLen = [](std::string_view s, size_t i) {
        return isLeadByte(static_cast<uint8_t>(s[i])) && i + 1 < s.size() ? size_t(2) : size_t(1);
    };
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
            continue;
        }
        if (m < mask.size()) {
            const size_t ml = charLen(mask, m), nl = charLen(name, n);
            if (mask[m] == '?') {
                ++m;
                n += nl;
                continue;
            }
            if (ml == nl && (ml == 2 ? mask.substr(m, 2) == name.substr(n, 2) : lower(mask[m]) == lower(name[n]))) {
                m += ml;
                n += nl;
                continue;
            }
        }
        if (starM == std::string_view::npos)
            return false;
        m = starM + 1;
        starN += charLen(name, starN);
        n = starN;
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

void installFileFunctions(TScriptEnv& env, TProject& project) {
    if (!env.Funcs)
        return;
    TScriptEnv* e = &env;
    TProject* p = &project;
    env.Funcs->SetFunction(fnFileExists, [e](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
        const std::string name = sysfunc::strArg(a, 0);
        R.SetBoolean(!name.empty() && e->Files && e->Files->Exists(name));
    });
    env.Funcs->SetFunction(fnOpenUrl, [e, p](TSysFuncMan&, TCustomParam&, const TParamArgs& a) {
        const std::string target = sysfunc::strArg(a, 0);
        if (startsWithNoCase(target, "http") || startsWithNoCase(target, "ftp")) {
            if (e->ShellOpen)
                e->ShellOpen(cp932ToUtf8(target));
            return;
        }
        std::error_code ec;
        const std::string folder = diskPathOf(target, p->GameFolder());
        if (!target.empty() && fs::is_directory(folder, ec) && e->ShellOpen)
            e->ShellOpen(folder);
    });
    auto select = [e](bool forSaving) {
        return [e, forSaving](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
            R.SetBoolean(false);
            std::string path;
            if (!e->SelectFile || !e->SelectFile(forSaving, sysfunc::strArg(a, 1), path))
                return;
            a[0]->SetString(path);
            R.SetBoolean(true);
        };
    };
    env.Funcs->SetFunction(fnSelectOpenFile, select(false));
    env.Funcs->SetFunction(fnSelectSaveFile, select(true));
    env.Funcs->SetFunction(fnSelectDirectory, [e](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
        R.SetBoolean(false);
        std::string folder;
        if (!e->SelectFolder || !e->SelectFolder(folder))
            return;
        if (folder.empty() || folder.back() != '\\')
            folder += '\\';
        a[0]->SetString(folder);
        R.SetBoolean(true);
    });
    env.Funcs->SetFunction(fnExtractFile, [e, p](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
        extractFiles(*e, *p, R, a);
    });
    // The desktops this player runs on offer no common way to set the
    // wallpaper: the call answers false, as when the system refuses.
    env.Funcs->SetFunction(fnSetWallPaper, [](TSysFuncMan&, TCustomParam& R, const TParamArgs&) {
        R.SetBoolean(false);
    });
}

} // namespace zuno
