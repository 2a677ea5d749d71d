// zunotool game build SRCDIR OUTDIR: compiles a game folder written in the
// source forms and packs it. Pages (*.zs) become *.zsb, zuno.zpt becomes
// zuno.zpb, pictures named NAME.drl.png / .drl.bmp become Drel files NAME.drl,
// a folder NAME.drl.frames holding 0.png, 1.png ... (and optionally a file
// "delay" with the milliseconds of each frame) becomes the animated Drel file
// NAME.drl, films in their text form NAME.zcm.film / NAME.zmt.film become
// NAME.zcm / NAME.zmt; every other file is taken as it is. The compiled files are kept in
// OUTDIR/files and packed into OUTDIR/game.dat.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "authoring/PageSource.h"
#include "authoring/ProjectSource.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/TStream.h"
#include "platform/posix/AtomicFile.h"
#include "ToolCommand.h"

namespace zuno::tool {

namespace fs = std::filesystem;

namespace {

std::string readTextFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EZunoError::fromUtf8(path.string() + ": cannot read");
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs another zunotool command (image convert, pack) by its registered name.
int runTool(const std::string& name, const std::vector<std::string>& args) {
    if (const ToolCommand* c = findToolCommand(name))
        return c->run(args);
    throw EZunoError::fromUtf8("zunotool has no command " + name);
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Game name of a file below the folder: components joined by '\', Shift-JIS.
std::string gameName(const fs::path& relative) {
    std::string name;
    for (const fs::path& part : relative) {
        if (!name.empty())
            name += '\\';
        name += utf8ToCp932(part.string());
    }
    return name;
}

const std::string kFramesSuffix = ".drl.frames";

bool isFramesFolder(const fs::path& p) {
    const std::string name = lower(p.filename().string());
    return name.size() > kFramesSuffix.size() &&
           name.compare(name.size() - kFramesSuffix.size(), kFramesSuffix.size(), kFramesSuffix) == 0;
}

// NAME.drl.frames/N.png (or .bmp) in the order of N, and the "delay" file:
// one animated Drel file NAME.drl.
void buildFrames(const fs::path& folder, const fs::path& target) {
    std::vector<std::pair<unsigned long, fs::path>> frames;
    std::vector<std::string> delayArgs;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (!e.is_regular_file())
            continue;
        const std::string stem = e.path().stem().string();
        const std::string ext = lower(e.path().extension().string());
        if (lower(e.path().filename().string()) == "delay") {
            std::string text = readTextFile(e.path());
            while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
                text.pop_back();
            delayArgs = {"--delay", text};
        } else if ((ext == ".png" || ext == ".bmp") && !stem.empty() && stem.size() < 9 &&
                   std::all_of(stem.begin(), stem.end(), [](unsigned char c) { return std::isdigit(c); })) {
            frames.emplace_back(std::stoul(stem), e.path());
        } else {
            throw EZunoError::fromUtf8(e.path().string() + ": a frames folder holds only 0.png, 1.png ... and delay");
        }
    }
    if (frames.empty())
        throw EZunoError::fromUtf8(folder.string() + ": no frames (0.png, 1.png ...)");
    std::sort(frames.begin(), frames.end());
    std::vector<std::string> args = {"convert"};
    for (const auto& f : frames)
        args.push_back(f.second.string());
    args.push_back(target.string());
    args.insert(args.end(), delayArgs.begin(), delayArgs.end());
    runTool("image", args);
}

struct TPageSource {
    fs::path    source;
    fs::path    output;
    std::string name;           // game name of the compiled page, Shift-JIS
    std::string text;
};

int runGame(const std::vector<std::string>& args) {
    if (args.size() != 3 || args[0] != "build")
        throw UsageError("expected: game build SRCDIR OUTDIR");
    const fs::path src = args[1];
    const fs::path out = args[2];
    if (!fs::is_directory(src))
        throw EZunoError::fromUtf8(src.string() + ":フォルダがありません");
    const fs::path staging = out / "files";
    fs::remove_all(staging);
    fs::create_directories(staging);

    std::vector<TPageSource> pages;
    bool haveProject = false;
    std::vector<fs::path> files, frameFolders;
    for (auto it = fs::recursive_directory_iterator(src); it != fs::recursive_directory_iterator(); ++it) {
        if (it->is_directory() && isFramesFolder(it->path())) {
            frameFolders.push_back(it->path());
            it.disable_recursion_pending();
        } else if (it->is_regular_file()) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    std::sort(frameFolders.begin(), frameFolders.end());
    for (const fs::path& folder : frameFolders) {
        fs::path target = staging / fs::relative(folder, src);
        fs::create_directories(target.parent_path());
        target.replace_extension();                                     // NAME.drl
        buildFrames(folder, target);
    }
    for (const fs::path& file : files) {
        const fs::path rel = fs::relative(file, src);
        const std::string fname = lower(rel.filename().string());
        fs::path target = staging / rel;
        fs::create_directories(target.parent_path());
        auto endsWith = [&](const std::string& suffix) {
            return fname.size() > suffix.size() && fname.compare(fname.size() - suffix.size(), suffix.size(), suffix) == 0;
        };
        if (endsWith(".zs")) {
            target.replace_extension(".zsb");
            pages.push_back({file, target, gameName(fs::relative(target, staging)), readTextFile(file)});
        } else if (fname == "zuno.zpt") {
            TProjectSetting project = buildProjectSource(readTextFile(file), file.string());
            TKsMemoryStream s;
            project.SaveToStream(s);
            writeFileAtomically((staging / rel.parent_path() / "zuno.zpb").string(), s.Data());
            haveProject = true;
        } else if (endsWith(".zcm.film") || endsWith(".zmt.film")) {
            target.replace_extension();                                 // NAME.zcm, NAME.zmt
            runTool("film", {"build", file.string(), target.string()});
        } else if (endsWith(".drl.png") || endsWith(".drl.bmp")) {
            target.replace_extension();                                 // NAME.drl
            runTool("image", {"convert", file.string(), target.string()});
        } else {
            fs::copy_file(file, target, fs::copy_options::overwrite_existing);
        }
    }
    if (!haveProject)
        throw EZunoError::fromUtf8(src.string() + ": no zuno.zpt (the project settings)");

    // Labels in other pages: a first pass builds every page without them,
    // the second resolves them against the first pass's pages.
    std::map<std::string, std::unique_ptr<TPage>> first;
    for (const TPageSource& p : pages)
        first[lowerCaseSjis(p.name)] = buildPageSource(p.text, p.source.string(), p.name,
                                                       [](const std::string&, const std::string&) { return 0; });
    TExternalLabelLookup lookup = [&](const std::string& pageFile, const std::string& label) {
        auto it = first.find(lowerCaseSjis(pageFile));
        return it == first.end() ? -1 : it->second->LabelIndex(label);
    };
    for (const TPageSource& p : pages) {
        std::unique_ptr<TPage> page = buildPageSource(p.text, p.source.string(), p.name, lookup);
        TKsMemoryStream s;
        page->SaveToStream(s);
        writeFileAtomically(p.output.string(), s.Data());
    }
    return runTool("pack", {staging.string(), (out / "game.dat").string()});
}

ToolCommandRegistrar gameCommand({"game",
    {{"game build SRCDIR OUTDIR",
      "Compiles a game folder in the source forms (*.zs pages, zuno.zpt, NAME.drl.png pictures, "
      "NAME.drl.frames/ folders of 0.png 1.png ... with an optional delay file, NAME.zcm.film films; other files as they are) "
      "into OUTDIR/files and packs it into OUTDIR/game.dat."}},
    runGame});

} // namespace

} // namespace zuno::tool
