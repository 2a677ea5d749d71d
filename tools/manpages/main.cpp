// zuno_manpages DIR: writes the manual pages zunoplay.1 and zunotool.1 (roff)
// into DIR. Their option and command sections are printed from the tables
// that zunoplay and zunotool parse their command lines with.
#include <cstdio>
#include <fstream>
#include <string>

#include "ToolCommand.h"
#include "app/PlayerOptions.h"

using namespace zuno;
using namespace zuno::tool;

namespace {

// Text for roff: backslashes and hyphens escaped, a leading dot or quote
// kept from reading as a request.
std::string roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out.insert(0, "\\&");
    return out;
}

std::string header(const char* name, const char* summary) {
    std::string upper = name;
    for (char& c : upper)
        c = char(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return ".TH " + upper + " 1 \"\" \"" + name + " " + ZUNO_VERSION + "\" \"User Commands\"\n"
           ".SH NAME\n" + name + " \\- " + roff(summary) + "\n";
}

std::string optionTerm(const std::vector<const char*>& names, const char* value) {
    std::string term;
    for (const char* n : names) {
        if (!term.empty())
            term += ", ";
        term += "\\fB" + roff(n) + "\\fR";
    }
    if (value)
        term += " \\fI" + roff(value) + "\\fR";
    return term;
}

std::string playerPage() {
    std::string s = header("zunoplay", "player for games of a Japanese visual-novel and 2-D game authoring system");
    s += ".SH SYNOPSIS\n"
         ".B zunoplay\n"
         "[\\fIOPTIONS\\fR] [\\fIGAME\\fR ...]\n"
         ".br\n"
         ".B zunoplay \\-\\-config\n"
         ".SH DESCRIPTION\n"
         ".B zunoplay\n"
         "plays a game from its data unchanged: an archive (game.dat, or appended to a program) holding the "
         "compiled project zuno.zpb, the script pages, pictures, sounds, music and movies.\n"
         ".PP\n"
         "The first \\fIGAME\\fR names the game folder, which is also the folder of save.dat, or a data file; "
         "every \\fIGAME\\fR is searched for game.dat or an appended archive. Without a \\fIGAME\\fR the game "
         "is looked for beside the player. After \\fB\\-\\-\\fR every argument is a \\fIGAME\\fR.\n"
         ".PP\n"
         "In a window, Alt+Enter or F11 toggles full screen. Without a display, run with "
         "\\fB\\-\\-headless\\fR.\n"
         ".SH OPTIONS\n";
    for (const TPlayerOption& option : playerOptionTable())
        s += ".TP\n" + optionTerm(option.Names, option.Value) + "\n" + roff(option.Details) + "\n";
    s += ".SH FILES\n"
         ".TP\n"
         ".I GAME/game.dat\n"
         "the game's archive\n"
         ".TP\n"
         ".I GAME/save.dat\n"
         "the game's saved status, written when the run ends\n"
         ".TP\n"
         ".I game.ini\n"
         "the player settings (sound, video), read from the game folder, else from beside zunoplay, else from "
         "\\fI$XDG_CONFIG_HOME/zunoplay/game.ini\\fR (\\fI~/.config\\fR when unset); "
         "\\fBzunoplay \\-\\-config\\fR edits it\n"
         ".TP\n"
         ".I " ZUNO_DATA_DIR "/demo\n"
         "a small demo game\n"
         ".SH EXIT STATUS\n"
         "0 when the run ended normally (frames done, game ended, window closed); 1 when the game could not "
         "start, with the reason on standard error as one line \\fBzunoplay: \\fIMESSAGE\\fR; 2 for a wrong "
         "command line.\n"
         ".SH EXAMPLES\n"
         ".nf\n"
         "zunoplay ~/games/story\n"
         "zunoplay \\-\\-headless \\-\\-frames 600 \\-\\-screenshot 120:shot.png " ZUNO_DATA_DIR "/demo\n"
         ".fi\n"
         ".SH SEE ALSO\n"
         ".BR zunotool (1)\n";
    return s;
}

std::string toolPage() {
    std::string s = header("zunotool", "build and inspect the data of zunoplay games");
    s += ".SH SYNOPSIS\n"
         ".B zunotool\n"
         "\\fICOMMAND\\fR [\\fIARGS\\fR ...]\n"
         ".br\n"
         ".B zunotool\n"
         "\\fICOMMAND\\fR \\fB\\-\\-help\\fR\n"
         ".br\n"
         ".B zunotool \\-\\-help\n"
         "|\n"
         ".B \\-\\-version\n"
         ".SH DESCRIPTION\n"
         ".B zunotool\n"
         "lists, reads, packs and unpacks game archives, converts pictures, evaluates expressions, and compiles "
         "games written in text form. Game text is Shift-JIS (code page 932); names and values are printed as "
         "UTF-8 and arguments are taken as UTF-8.\n"
         ".SH COMMANDS\n";
    for (const ToolCommand& c : toolCommands()) {
        for (const ToolForm& f : c.forms)
            s += ".TP\n.B " + roff(f.synopsis) + "\n" + roff(f.summary) + "\n";
        if (!c.options.empty()) {
            s += ".RS\n";
            for (const ToolOption& o : c.options)
                s += ".TP\n" + optionTerm(o.names, o.value) + "\n" + roff(o.summary) + "\n";
            s += ".RE\n";
        }
    }
    s += ".SH EXIT STATUS\n"
         "0 on success; 1 when the command failed, with the reason on standard error as one line "
         "\\fBzunotool: \\fIMESSAGE\\fR; 2 for a wrong command line.\n"
         ".SH EXAMPLES\n"
         ".nf\n"
         "zunotool ls game.dat\n"
         "zunotool cat game.dat zuno.zpb > zuno.zpb\n"
         "zunotool game build mygame build/mygame\n"
         "zunotool calc \\-d \"n:int=5\" \"n * 2\"\n"
         ".fi\n"
         ".SH SEE ALSO\n"
         ".BR zunoplay (1)\n";
    return s;
}

bool write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return bool(out.flush());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zuno_manpages DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    if (!write(dir + "/zunoplay.1", playerPage()) || !write(dir + "/zunotool.1", toolPage())) {
        std::fprintf(stderr, "zuno_manpages: cannot write the pages in %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
