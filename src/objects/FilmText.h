// The readable text form of a frame-list film, which zunotool prints (film
// dump) and compiles (film build). docs/film-source.md describes it.
//
//   film cinema 108             "cinema" or "motion", then the version
//   screen 640 480              header fields, one per line
//   track box                   a track of a kind; its fields follow
//   length 60
//   start-pos 10 20
//
// Fields a track leaves out keep their defaults; a field the kind does not
// have is an error. Texts are written in double quotes with \" \\ \n and
// \xNN escapes; the text form is UTF-8, films hold Shift-JIS.
#pragma once

#include <string>

namespace zuno {

class TFilmManager;

std::string filmToText(TFilmManager& film);
// Fills `film` (cleared first) from the text; throws EZunoError naming the
// line of the first problem. The film is linked but not prepared.
void filmFromText(TFilmManager& film, const std::string& text);

} // namespace zuno
