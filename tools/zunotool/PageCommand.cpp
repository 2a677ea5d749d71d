// zunotool page dump / project dump: readable listings of compiled pages and
// of the compiled project.
#include <filesystem>
#include <vector>

#include "archive/TVrFileCollection.h"
#include "authoring/RecordDump.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/TStream.h"
#include "expr/TParamCollection.h"
#include "expr/VariableDump.h"
#include "script/TPage.h"
#include "script/TProjectSetting.h"
#include "script/TStatusData.h"
#include "PageSourceCommand.h"
#include "ToolCommand.h"

namespace zuno::tool {

namespace {

TKsMemoryStream readWholeFile(const std::string& path) {
    TKsMemoryStream s;
    s.LoadFromFile(path);
    s.SetPosition(0);
    return s;
}

int runPage(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == "build")
        return runPageBuild(args);
    if (!args.empty() && args[0] == "decompile")
        return runPageDecompile(args);
    if (args.size() != 2 || args[0] != "dump")
        throw UsageError("expected: page dump FILE.zsb");
    TKsMemoryStream s = readWholeFile(args[1]);
    TPage page;
    const std::string name = utf8ToCp932(std::filesystem::path(args[1]).filename().string());
    switch (page.LoadFromStream(s, name)) {
    case TPageLoadResult::TooNew:
        throw EZunoError::fromUtf8("ページのバージョンが新しすぎます (" + std::to_string(page.Version()) + ")");
    case TPageLoadResult::TooOld:
        throw EZunoError(rebuildMessage(name));
    case TPageLoadResult::Loaded:
        break;
    }
    writeStdout(dumpPage(page));
    return 0;
}

// The status data and the other entries of a save.dat.
int runStatus(const std::string& path) {
    if (!std::filesystem::is_regular_file(path))
        throw EZunoError::fromUtf8(path + ":ファイルがありません");
    TVrFileCollection save;
    save.Open(path);
    std::string out;
    TStatusData status;
    if (status.LoadFromArchive(save)) {
        out += "status version " + std::to_string(status.FVersion) + (status.FHasHeader ? "\n" : " (no header)\n");
        TKsMemoryStream body(status.FBody);
        TParamCollection params;
        params.LoadStatus(body);
        out += "status variables:\n" + dumpVariables(params);
        out += "following parts: " + std::to_string(body.Remaining()) +
               " bytes (read-text list, image cache, table database)\n";
    } else {
        out += "no status data\n";
    }
    out += "entries:\n";
    for (int i = 0; i < save.Count(); ++i) {
        const TVrFile* e = save.Entry(i);
        if (e->Name() == TVrFileCollection::kEndMarker)
            continue;
        TKsMemoryStream data;
        save.ReadItem(*e, data);
        out += "    " + escapeForPrint(e->Name(), true) + "\t" + std::to_string(data.GetSize()) + "\n";
    }
    writeStdout(out);
    return 0;
}

int runProject(const std::vector<std::string>& args) {
    if (args.size() == 2 && args[0] == "status")
        return runStatus(args[1]);
    if (!args.empty() && args[0] == "build")
        return runProjectBuild(args);
    if (!args.empty() && args[0] == "decompile")
        return runProjectDecompile(args);
    if (args.size() != 2 || args[0] != "dump")
        throw UsageError("expected: project dump FILE | project status SAVE.DAT");
    TKsMemoryStream s = readWholeFile(args[1]);
    TProjectSetting project;
    if (!project.LoadFromStream(s))
        throw EZunoError::fromUtf8("プロジェクトのバージョンが新しすぎます (" + std::to_string(project.FVersion) + ")");
    writeStdout(dumpProject(project));
    return 0;
}

ToolCommandRegistrar pageCommand({"page",
    {{"page dump FILE.zsb", "Lists a compiled page: header, property sets, every command with its fields."},
     {"page build SRC.zs OUT.zsb",
      "Compiles a page from its source form; errors name the source line as FILE:LINE: MESSAGE."},
     {"page decompile FILE.zsb", "Prints a compiled page in the source form, which builds back to the same bytes."}},
    runPage});
ToolCommandRegistrar projectCommand({"project",
    {{"project dump FILE", "Lists a compiled project (zuno.zpb): settings, initial variables, disc table."},
     {"project status SAVE.DAT",
      "Lists the status data of a save file (version, status variables) and the save file's entries."},
     {"project build SRC OUT.zpb", "Compiles zuno.zpb from its text form."},
     {"project decompile FILE", "Prints a compiled project in the text form (every field)."}},
    runProject});

} // namespace

} // namespace zuno::tool
