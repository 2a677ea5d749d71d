#include "app/PlayerOptions.h"

#include <charconv>

namespace zuno {

const char* playerUsage() {
    return "usage: zunoplay [OPTIONS] [GAME ...]\n"
           "       zunoplay --config | /config\n"
           "\n"
           "GAME names the game folder (also the folder of save.dat) or a data file;\n"
           "each is searched for game.dat or an appended archive.\n"
           "\n"
           "  --headless            no window and no sound device; virtual clock of 16 ms per frame\n"
           "  --frames N            stop after N frame steps (headless default 600)\n"
           "  --input FILE          scripted input events\n"
           "  --screenshot N:FILE   write the scene after frame step N as PNG (repeatable)\n"
           "  --trace FILE          write the command trace to FILE (UTF-8)\n"
           "  --dump-vars FILE      write the game variables when the run ends\n"
           "  --audio-dump FILE     write everything mixed for the sound output to FILE (WAV, 44100 Hz,\n"
           "                        16-bit stereo); headless, the mix follows the virtual clock\n"
           "  --seed N              seed of the run-time random generator (headless default 0)\n"
           "  --no-logo             skip the made-with logo\n"
           "  --config, /config     open the settings dialog\n"
           "  --help, --version     this text, the version\n";
}

template <class T>
static T number(const std::string& option, const std::string& text) {
    T v{};
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size())
        throw TUsageError{option + ": not a number: " + text};
    return v;
}

TPlayerOptions parsePlayerOptions(const std::vector<std::string>& args) {
    TPlayerOptions o;
    auto lower = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
        return s;
    };
    if (!args.empty() && (args[0] == "--config" || lower(args[0]) == "/config")) {
        o.Config = true;
        return o;
    }
    bool onlyGames = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw TUsageError{a + " needs a value"};
            return args[++i];
        };
        if (onlyGames || a.size() < 2 || a[0] != '-') {
            o.Games.push_back(a);
        } else if (a == "--") {
            onlyGames = true;
        } else if (a == "--help" || a == "-h") {
            o.Help = true;
        } else if (a == "--version") {
            o.Version = true;
        } else if (a == "--headless") {
            o.Headless = true;
        } else if (a == "--frames") {
            o.Frames = number<int64_t>(a, value());
            if (*o.Frames < 0)
                throw TUsageError{"--frames: negative count"};
        } else if (a == "--input") {
            o.InputFile = value();
        } else if (a == "--screenshot") {
            const std::string& v = value();
            size_t colon = v.find(':');
            if (colon == std::string::npos || colon + 1 >= v.size())
                throw TUsageError{"--screenshot needs N:FILE"};
            TScreenshotRequest r{number<int>(a, v.substr(0, colon)), v.substr(colon + 1)};
            if (r.Frame < 1)
                throw TUsageError{"--screenshot: frame steps count from 1"};
            o.Screenshots.push_back(r);
        } else if (a == "--trace") {
            o.TraceFile = value();
        } else if (a == "--dump-vars") {
            o.DumpVarsFile = value();
        } else if (a == "--audio-dump") {
            o.AudioDumpFile = value();
        } else if (a == "--seed") {
            o.Seed = number<uint32_t>(a, value());
        } else if (a == "--no-logo") {
            o.NoLogo = true;
        } else if (a == "--config") {
            throw TUsageError{"--config must be the first argument"};
        } else {
            throw TUsageError{"unknown option " + a};
        }
    }
    return o;
}

} // namespace zuno
