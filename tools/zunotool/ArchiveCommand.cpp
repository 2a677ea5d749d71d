// zunotool ls, cat, pack and unpack: listing, reading, building and
// extracting "vf" archives.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "ToolCommand.h"
#include "archive/GamePath.h"
#include "archive/TKsBigFileStream.h"
#include "archive/TVrFileCollection.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "platform/posix/AtomicFile.h"

namespace zuno::tool {

namespace fs = std::filesystem;

namespace {

void openExisting(TVrFileCollection& archive, const std::string& path) {
    if (!diskFileExists(path))
        throw fileNotFoundError(utf8ToCp932(path));
    archive.Open(path);
}

int runLs(const std::vector<std::string>& args) {
    if (args.size() != 1)
        throw UsageError("ls takes one archive");
    TVrFileCollection archive;
    openExisting(archive, args[0]);
    std::string out;
    for (int i = 0; i < archive.DirectoryCount(); ++i) {
        const TVrFile* entry = archive.Entry(i);
        char fields[80];
        std::snprintf(fields, sizeof fields, "\t%" PRId64 "\t%d\t%08" PRIx32 "\t%d\n", entry->Size, entry->Stored ? 1 : 0,
                      entry->Crc, entry->CrcOfPlain ? 1 : 0);
        out += escapeForPrint(entry->Name(), true);
        out += fields;
        if (out.size() > 65536) {
            writeStdout(out);
            out.clear();
        }
    }
    writeStdout(out);
    return 0;
}

int runCat(const std::vector<std::string>& args) {
    if (args.size() != 2)
        throw UsageError("cat takes an archive and an entry name");
    TVrFileCollection archive;
    openExisting(archive, args[0]);
    std::string name = utf8ToCp932(args[1]);
    TVrFile* entry = archive.FindEntry(name);
    if (!entry)
        throw fileNotFoundError(name);
    TKsMemoryStream contents;
    archive.ReadItem(*entry, contents);
    writeStdout(contents.Memory(), static_cast<size_t>(contents.GetSize()));
    return 0;
}

int runPack(const std::vector<std::string>& args) {
    if (args.size() != 2)
        throw UsageError("pack takes a folder and an output archive");
    const std::string& dir = args[0];
    const std::string& outName = args[1];
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        throw EZunoError::fromUtf8(dir + ":フォルダがありません");

    // The archive's volumes are written as temporaries beside their targets
    // (".game.dat.tmp…", ".game.001.tmp…"); left-overs of a broken run are no input.
    fs::path outPath(outName);
    std::string stem = outPath.stem().string();
    auto isTemporary = [&](const std::string& file) {
        return file.rfind("." + stem + ".", 0) == 0 && file.find(".tmp", stem.size() + 2) != std::string::npos;
    };

    std::vector<std::pair<std::string, fs::path>> files;   // game name, disk path
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        std::error_code same;
        if (fs::equivalent(it->path(), outPath, same))
            continue;
        std::string file = it->path().filename().string();
        if (isTemporary(file))
            continue;
        std::string name;
        for (const fs::path& part : fs::relative(it->path(), dir)) {
            if (!name.empty())
                name += '\\';
            name += diskComponentToGame(part.string());
        }
        files.emplace_back(std::move(name), it->path());
    }
    if (ec)
        throw EZunoError::fromUtf8(dir + ":フォルダを読めません");
    std::sort(files.begin(), files.end());

    TVrFileCollection archive;
    archive.SetFolder(fs::path(dir).string());
    for (auto& f : files)
        archive.AddEntry(f.first);
    std::unique_ptr<TKsBigFileStream> out = TKsBigFileStream::CreateReplacing(outName);
    archive.SaveToStream(*out);
    out->Commit();
    return 0;
}

int runUnpack(const std::vector<std::string>& args) {
    if (args.size() != 2)
        throw UsageError("unpack takes an archive and a folder");
    TVrFileCollection archive;
    openExisting(archive, args[0]);
    fs::path dir(args[1]);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec))
        throw EZunoError::fromUtf8(args[1] + ":フォルダを作れません");

    int status = 0;
    for (int i = 0; i < archive.DirectoryCount(); ++i) {
        const TVrFile* entry = archive.Entry(i);
        const std::string printed = escapeForPrint(entry->Name(), true);
        if (!isSafeGameName(entry->Name())) {
            std::fprintf(stderr, "zunotool: %s: refused, the name leaves the target folder\n", printed.c_str());
            status = 1;
            continue;
        }
        try {
            TKsMemoryStream contents;
            archive.ReadItem(*entry, contents);
            fs::path target = dir / gameNameToDiskPath(entry->Name());
            fs::create_directories(target.parent_path(), ec);
            writeFileAtomically(target.string(), contents.Data());
        } catch (const EZunoError& e) {
            std::fprintf(stderr, "zunotool: %s\n", escapeForPrint(e.message(), true).c_str());
            status = 1;
        }
    }
    return status;
}

ToolCommandRegistrar lsCommand({"ls",
    {{"ls ARCHIVE",
      "One line per entry in directory order, its fields NAME SIZE STORED CRC CRCKIND separated by tabs (SIZE the stored "
      "byte count, STORED 1 or 0, CRC eight hex digits, CRCKIND 1 or 0). ARCHIVE is an archive, a data file "
      "with its .ext index beside it, a program or .scr with an appended archive, or the first volume of a "
      "split archive."}},
    runLs});
ToolCommandRegistrar catCommand({"cat",
    {{"cat ARCHIVE NAME", "The entry's uncompressed contents on standard output (NAME in UTF-8, \\ between folders)."}},
    runCat});
ToolCommandRegistrar packCommand({"pack",
    {{"pack DIR OUT",
      "Writes the files below DIR as a version-102 archive OUT, names relative to DIR with \\ separators, "
      "in the byte order of their code page 932 names."}},
    runPack});
ToolCommandRegistrar unpackCommand({"unpack",
    {{"unpack ARCHIVE DIR",
      "Writes every entry below DIR, creating its folders; an entry whose name would leave DIR is refused "
      "and nothing of it is written."}},
    runUnpack});

} // namespace

} // namespace zuno::tool
