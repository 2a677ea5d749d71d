// zunotool page build / page decompile, project build / project decompile,
// and game build: the source forms of pages and of the project, and a whole
// game folder compiled and packed into game.dat.
#include "PageSourceCommand.h"

#include <algorithm>
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
#include "script/TPage.h"
#include "script/TProjectSetting.h"
#include "ToolCommand.h"

namespace zuno::tool {

namespace fs = std::filesystem;

namespace {

std::string readTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EZunoError::fromUtf8(path + ": cannot read");
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void saveStream(TKsMemoryStream& s, const std::string& path) { writeFileAtomically(path, s.Data()); }

TKsMemoryStream readWholeFile(const std::string& path) {
    TKsMemoryStream s;
    s.LoadFromFile(path);
    s.SetPosition(0);
    return s;
}

std::unique_ptr<TPage> loadPage(const std::string& path) {
    TKsMemoryStream s = readWholeFile(path);
    auto page = std::make_unique<TPage>();
    const std::string name = utf8ToCp932(fs::path(path).filename().string());
    switch (page->LoadFromStream(s, name)) {
    case TPageLoadResult::TooNew:
        throw EZunoError::fromUtf8("ページのバージョンが新しすぎます (" + std::to_string(page->Version()) + ")");
    case TPageLoadResult::TooOld:
        throw EZunoError(rebuildMessage(name));
    case TPageLoadResult::Loaded:
        break;
    }
    return page;
}

std::string pageBytes(const TPage& page) {
    TKsMemoryStream s;
    page.SaveToStream(s);
    return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.GetSize()));
}

std::string compiledPageName(const fs::path& source) {
    fs::path p = source.filename();
    p.replace_extension(".zsb");
    return utf8ToCp932(p.string());
}

} // namespace

int runPageBuild(const std::vector<std::string>& args) {
    if (args.size() != 3)
        throw UsageError("expected: page build SRC.zs OUT.zsb");
    const std::string& src = args[1];
    std::unique_ptr<TPage> page = buildPageSource(readTextFile(src), src, compiledPageName(args[2]));
    TKsMemoryStream s;
    page->SaveToStream(s);
    saveStream(s, args[2]);
    return 0;
}

int runPageDecompile(const std::vector<std::string>& args) {
    if (args.size() != 2)
        throw UsageError("expected: page decompile FILE.zsb");
    std::unique_ptr<TPage> page = loadPage(args[1]);
    const std::string text = decompilePage(*page);
    // The source must give the same page back; say so rather than print a
    // text that would not.
    std::unique_ptr<TPage> back = buildPageSource(text, "(decompiled)", page->Name());
    if (pageBytes(*back) != pageBytes(*page))
        throw EZunoError::fromUtf8(args[1] + ": the decompiled text does not build the same page");
    writeStdout(text);
    return 0;
}

int runProjectBuild(const std::vector<std::string>& args) {
    if (args.size() != 3)
        throw UsageError("expected: project build SRC OUT.zpb");
    TProjectSetting project = buildProjectSource(readTextFile(args[1]), args[1]);
    TKsMemoryStream s;
    project.SaveToStream(s);
    saveStream(s, args[2]);
    return 0;
}

int runProjectDecompile(const std::vector<std::string>& args) {
    if (args.size() != 2)
        throw UsageError("expected: project decompile FILE.zpb");
    TKsMemoryStream s = readWholeFile(args[1]);
    TProjectSetting project;
    if (!project.LoadFromStream(s))
        throw EZunoError::fromUtf8("プロジェクトのバージョンが新しすぎます (" + std::to_string(project.FVersion) + ")");
    writeStdout(decompileProject(project));
    return 0;
}

} // namespace zuno::tool
