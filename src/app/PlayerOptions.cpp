#include "app/PlayerOptions.h"

#include <charconv>

namespace zuno {

template <class T>
static T number(const std::string& option, const std::string& text) {
    T v{};
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size())
        throw TUsageError{option + ": not a number: " + text};
    return v;
}

static void applyScreenshot(TPlayerOptions& o, const std::string& option, const std::string& v) {
    size_t colon = v.find(':');
    if (colon == std::string::npos || colon + 1 >= v.size())
        throw TUsageError{option + " needs N:FILE"};
    TScreenshotRequest r{number<int>(option, v.substr(0, colon)), v.substr(colon + 1)};
    if (r.Frame < 1)
        throw TUsageError{option + ": frame steps count from 1"};
    o.Screenshots.push_back(r);
}

const std::vector<TPlayerOption>& playerOptionTable() {
    using O = TPlayerOptions;
    using S = const std::string&;
    static const std::vector<TPlayerOption> table = {
        // Summaries stay within 55 columns: the help puts them after a 24-column label.
        {{"--headless"}, nullptr, "no window, no sound device; a 16 ms virtual clock",
         "Runs without a window and without a sound device. Every frame step advances the game clock by "
         "exactly 16 ms, so a run gives the same pictures, trace and sound every time.",
         [](O& o, S, S) { o.Headless = true; }},
        {{"--frames"}, "N", "stop after N frame steps (headless default 600)",
         "Stops after N frame steps (with --headless the default is 600). The run also ends when the game "
         "ends.",
         [](O& o, S option, S v) {
             o.Frames = number<int64_t>(option, v);
             if (*o.Frames < 0)
                 throw TUsageError{option + ": negative count"};
         }},
        {{"--input"}, "FILE", "scripted input, lines of FRAME VERB ARGS",
         "Scripted input, read before the first frame: one event per line, FRAME VERB ARGS, with the verbs "
         "move, down, up, click, wheel, keydown, keyup, key, activate, deactivate and quit, and text TEXT "
         "(typed text) and compose TEXT (an input method's composition), TEXT being the rest of the line.",
         [](O& o, S, S v) { o.InputFile = v; }},
        {{"--screenshot"}, "N:FILE", "write the scene after frame step N as PNG (repeatable)",
         "After frame step N has composed the scene, writes it to FILE as a 24-bit PNG of the game screen's "
         "size. Repeatable; N counts frame steps from 1.",
         applyScreenshot},
        {{"--trace"}, "FILE", "write the command trace to FILE (UTF-8)",
         "Writes one trace line per command run and per event handler started to FILE, as UTF-8.",
         [](O& o, S, S v) { o.TraceFile = v; }},
        {{"--dump-vars"}, "FILE", "write the game variables to FILE when the run ends",
         "When the run ends, writes every variable that is not a system variable to FILE, one line each: "
         "name, type code and value, separated by tabs.",
         [](O& o, S, S v) { o.DumpVarsFile = v; }},
        {{"--audio-dump"}, "FILE", "write all the sound mixed for output to FILE (WAV)",
         "Writes everything mixed for the sound output to FILE as a WAV file (PCM, 44100 Hz, 16-bit stereo). "
         "With --headless the mix follows the virtual clock, so the same run gives the same file.",
         [](O& o, S, S v) { o.AudioDumpFile = v; }},
        {{"--seed"}, "N", "seed of the random generator (headless default 0)",
         "Seeds the run-time random generator (headless default 0); with --headless every random source of "
         "the player follows it.",
         [](O& o, S option, S v) { o.Seed = number<uint32_t>(option, v); }},
        {{"--no-logo"}, nullptr, "skip the made-with logo", "Skips the made-with logo shown before the game.",
         [](O& o, S, S) { o.NoLogo = true; }},
        {{"--config", "/config"}, nullptr, "open the settings dialog (first argument only)",
         "Opens the settings dialog, which edits game.ini, instead of playing. Only as the first argument.",
         [](O&, S option, S) { throw TUsageError{option + " must be the first argument"}; }},
        {{"--help", "-h"}, nullptr, "print this help", "Prints the options and exits.",
         [](O& o, S, S) { o.Help = true; }},
        {{"--version"}, nullptr, "print the version", "Prints the version and exits.",
         [](O& o, S, S) { o.Version = true; }},
    };
    return table;
}

static std::string lowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

static std::string optionLabel(const TPlayerOption& option) {
    std::string label;
    for (const char* n : option.Names) {
        if (!label.empty())
            label += ", ";
        label += n;
    }
    if (option.Value)
        label += std::string(" ") + option.Value;
    return label;
}

const std::string& playerUsage() {
    static const std::string text = [] {
        std::string s = "usage: zunoplay [OPTIONS] [GAME ...]\n"
                        "       zunoplay --config | /config\n"
                        "\n"
                        "GAME names the game folder (also the folder of save.dat) or a data file;\n"
                        "each is searched for game.dat or an appended archive. After -- every\n"
                        "argument is a GAME.\n"
                        "\n"
                        "options:\n";
        const size_t column = 24;
        for (const TPlayerOption& option : playerOptionTable()) {
            std::string label = "  " + optionLabel(option);
            if (label.size() + 2 > column)
                label += "\n" + std::string(column, ' ');
            else
                label.resize(column, ' ');
            s += label + option.Summary + "\n";
        }
        return s;
    }();
    return text;
}

static const TPlayerOption* findOption(const std::string& arg) {
    for (const TPlayerOption& option : playerOptionTable())
        for (const char* n : option.Names)
            if (arg == n)
                return &option;
    return nullptr;
}

TPlayerOptions parsePlayerOptions(const std::vector<std::string>& args) {
    TPlayerOptions o;
    if (!args.empty() && (args[0] == "--config" || lowerAscii(args[0]) == "/config")) {
        o.Config = true;
        return o;
    }
    bool onlyGames = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyGames || a.size() < 2 || a[0] != '-') {
            o.Games.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyGames = true;
            continue;
        }
        const TPlayerOption* option = findOption(a);
        if (!option)
            throw TUsageError{"unknown option " + a};
        std::string value;
        if (option->Value) {
            if (i + 1 >= args.size())
                throw TUsageError{a + " needs a value (" + option->Value + ")"};
            value = args[++i];
        }
        option->Apply(o, a, value);
    }
    return o;
}

} // namespace zuno
