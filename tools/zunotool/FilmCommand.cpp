// zunotool film: prints a frame-list film (".zmt", ".zcm") as its text form,
// and compiles the text form into a film file (docs/film-source.md).
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/EZunoError.h"
#include "core/TStream.h"
#include "objects/FilmText.h"
#include "objects/TFilmManager.h"
#include "platform/posix/AtomicFile.h"
#include "ToolCommand.h"

namespace zuno::tool {

namespace {

int runFilm(const std::vector<std::string>& args) {
    if (args.size() == 2 && args[0] == "dump") {
        TKsMemoryStream data;
        data.LoadFromFile(args[1]);
        char magic[10] = {};
        data.Read(magic, 10);
        const std::string prefix(magic, 10);
        if (prefix != "ZunoCinema" && prefix != "ZunoMotion")
            throw EZunoError::fromUtf8(args[1] + ": not a cinema or motion file");
        data.SetPosition(0);
        TFilmManager film;
        film.NoPrepare = true;
        film.LoadFromStream(data, args[1]);
        writeStdout(filmToText(film));
        return 0;
    }
    if (args.size() == 3 && args[0] == "build") {
        std::ifstream in(args[1], std::ios::binary);
        if (!in)
            throw EZunoError::fromUtf8(args[1] + ": cannot read");
        std::ostringstream text;
        text << in.rdbuf();
        TFilmManager film;
        try {
            filmFromText(film, text.str());
        } catch (const EZunoError& e) {
            throw EZunoError::fromUtf8(args[1] + ": " + e.what());
        }
        TKsMemoryStream out;
        film.SaveToStream(out);
        writeFileAtomically(args[2], out.Data());
        return 0;
    }
    throw UsageError("film dump FILE or film build SRC OUT");
}

ToolCommandRegistrar filmCommand({"film",
    {{"film dump FILE",
      "Prints a cinema or motion film (.zcm, .zmt, any version) as its text form: the header, then each track "
      "with its kind and every stored field."},
     {"film build SRC OUT",
      "Compiles the text form SRC into the film OUT (version 108; 'film motion' writes a motion file). Fields "
      "a track leaves out keep their defaults."}},
    runFilm});

} // namespace

} // namespace zuno::tool
