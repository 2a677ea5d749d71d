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

TPlayerOptions          parsePlayerOptions(const std::vector<std::string>& args);
const char*             playerUsage();

} // namespace zuno
