#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "app/PlayerOptions.h"

namespace zuno {
namespace {

TEST(PlayerOptions, EachOptionSetsItsField) {
    struct Case {
        std::vector<std::string> args;
        std::function<bool(const TPlayerOptions&)> holds;
    } cases[] = {
        {{"--headless"}, [](const TPlayerOptions& o) { return o.Headless && o.Games.empty(); }},
        {{"--frames", "0"}, [](const TPlayerOptions& o) { return o.Frames == 0; }},
        {{"--frames", "123456789012"}, [](const TPlayerOptions& o) { return o.Frames == 123456789012; }},
        {{"--input", "in.txt"}, [](const TPlayerOptions& o) { return o.InputFile == "in.txt"; }},
        {{"--screenshot", "5:a.png", "--screenshot", "7:b:c.png"},
         [](const TPlayerOptions& o) {
             return o.Screenshots.size() == 2 && o.Screenshots[0].Frame == 5 && o.Screenshots[0].File == "a.png" &&
                    o.Screenshots[1].Frame == 7 && o.Screenshots[1].File == "b:c.png";
         }},
        {{"--trace", "t.txt"}, [](const TPlayerOptions& o) { return o.TraceFile == "t.txt"; }},
        {{"--dump-vars", "v.txt"}, [](const TPlayerOptions& o) { return o.DumpVarsFile == "v.txt"; }},
        {{"--audio-dump", "a.wav"}, [](const TPlayerOptions& o) { return o.AudioDumpFile == "a.wav"; }},
        {{"--seed", "4294967295"}, [](const TPlayerOptions& o) { return o.Seed == 4294967295u; }},
        {{"--no-logo"}, [](const TPlayerOptions& o) { return o.NoLogo; }},
        {{"--help"}, [](const TPlayerOptions& o) { return o.Help; }},
        {{"-h"}, [](const TPlayerOptions& o) { return o.Help; }},
        {{"--version"}, [](const TPlayerOptions& o) { return o.Version; }},
        {{"--config", "--bogus"}, [](const TPlayerOptions& o) { return o.Config; }},
        {{"/CONFIG"}, [](const TPlayerOptions& o) { return o.Config; }},
        // Games: anything not an option, "/config" after the first place, "-" and all after "--".
        {{"game", "/config", "-", "--", "--headless"},
         [](const TPlayerOptions& o) {
             return !o.Headless && o.Games == std::vector<std::string>{"game", "/config", "-", "--headless"};
         }},
        {{"--input", "--headless"}, [](const TPlayerOptions& o) { return o.InputFile == "--headless" && !o.Headless; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        EXPECT_TRUE(c.holds(parsePlayerOptions(c.args)));
    }
}

TEST(PlayerOptions, BadCommandLinesAreUsageErrors) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--frames"}, "--frames needs a value (N)"},
        {{"--frames", "x"}, "--frames: not a number: x"},
        {{"--frames", "-1"}, "--frames: negative count"},
        {{"--seed", "4294967296"}, "--seed: not a number: 4294967296"},
        {{"--screenshot", "0:a.png"}, "--screenshot: frame steps count from 1"},
        {{"--screenshot", "5"}, "--screenshot needs N:FILE"},
        {{"--screenshot", "5:"}, "--screenshot needs N:FILE"},
        {{"--bogus"}, "unknown option --bogus"},
        {{"--headless", "--config"}, "--config must be the first argument"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        try {
            parsePlayerOptions(c.args);
            ADD_FAILURE() << "accepted";
        } catch (const TUsageError& e) {
            EXPECT_EQ(e.Message, c.message);
        }
    }
}

// The help is printed from the option table: every spelling the parser
// accepts is on an option line, in table order, and the text keeps to 79
// columns with a newline at its end.
TEST(PlayerOptions, HelpShowsEveryAcceptedOption) {
    const std::string& help = playerUsage();
    ASSERT_FALSE(help.empty());
    EXPECT_EQ(help.back(), '\n');
    std::vector<std::string> lines;
    std::istringstream in(help);
    for (std::string line; std::getline(in, line);) {
        EXPECT_LE(line.size(), 79u) << line;
        lines.push_back(line);
    }
    size_t from = 0;
    for (const TPlayerOption& option : playerOptionTable()) {
        std::string label = "  ";
        for (const char* n : option.Names)
            label += std::string(label.size() > 2 ? ", " : "") + n;
        if (option.Value)
            label += std::string(" ") + option.Value;
        size_t i = from;
        while (i < lines.size() && lines[i].rfind(label, 0) != 0)
            ++i;
        ASSERT_LT(i, lines.size()) << "no help line for " << label;
        from = i + 1;

        // Each spelling is accepted (a value where the option takes one).
        for (const char* n : option.Names) {
            std::vector<std::string> args{n};
            if (option.Value)
                args.push_back(std::string(option.Value) == "N:FILE" ? "1:x.png" : "1");
            if (std::string(n) == "--config" || std::string(n) == "/config")
                EXPECT_TRUE(parsePlayerOptions(args).Config);
            else
                EXPECT_NO_THROW(parsePlayerOptions(args)) << n;
        }
    }
}

} // namespace
} // namespace zuno
