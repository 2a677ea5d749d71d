// The command line of zunoplay.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zuno {

struct TScreenshotRequest {
    int                 Frame = 0;          // frame step, from 1
    std::string         File;               // UTF-8 path
};

struct TPlayerOptions {
    bool                Config = false;     // /config or --config as the first argument
    bool                Help = false;
    bool                Version = false;
    bool                Headless = false;
    std::optional<int64_t> Frames;          // stop after this many frame steps
    std::string         InputFile;
    std::vector<TScreenshotRequest> Screenshots;
    std::string         TraceFile;
    std::string         DumpVarsFile;
    std::string         AudioDumpFile;      // WAV of everything mixed for the sound output
    std::optional<uint32_t> Seed;
    bool                NoLogo = false;
    std::vector<std::string> Games;         // GAME arguments (UTF-8)
};

// Throws TUsageError for a bad command line.
struct TUsageError {
    std::string         Message;
};

// One option of the player. The table drives both the parser and the help
// text (and the manual page), so every option parsed is documented.
struct TPlayerOption {
    std::vector<const char*> Names;         // the first is the main spelling ("--help", "-h")
    const char*         Value;              // name of its value ("N"), nullptr for a switch
    const char*         Summary;            // one line of help
    const char*         Details;            // a longer description for the manual page
    void              (*Apply)(TPlayerOptions& o, const std::string& option, const std::string& value);
};

const std::vector<TPlayerOption>& playerOptionTable();

TPlayerOptions          parsePlayerOptions(const std::vector<std::string>& args);
const std::string&      playerUsage();      // zunoplay --help; every line ends in '\n'

} // namespace zuno
