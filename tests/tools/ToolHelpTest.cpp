// zunotool's command line: the help texts printed from the command table,
// the option parser over the same table, and the usage errors.
#include <gtest/gtest.h>

#include <sstream>

#include "ToolCommand.h"
#include "support/ProgramRunner.h"

namespace zuno::tool {
namespace {

using zuno::test::builtProgram;
using zuno::test::runProgram;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A help text: ends with a newline, keeps to 79 columns.
void expectTidy(const std::string& text) {
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    for (const std::string& line : linesOf(text))
        EXPECT_LE(line.size(), 79u) << line;
}

TEST(ToolHelp, GlobalHelpListsEachCommandOnceWithItsOptions) {
    zuno::test::TProgramResult r = runProgram(builtProgram("zunotool"), {"--help"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    expectTidy(r.out);
    ASSERT_FALSE(toolCommands().empty());
    const std::vector<std::string> lines = linesOf(r.out);
    for (const ToolCommand& c : toolCommands()) {
        SCOPED_TRACE(c.name);
        // Its synopsis lines are there once each, and nothing else starts
        // with its name: one block per command.
        size_t starts = 0;
        for (const std::string& line : lines)
            if (line.rfind(std::string("  ") + c.name + " ", 0) == 0 || line == std::string("  ") + c.name)
                ++starts;
        EXPECT_EQ(starts, c.forms.size());
        // The command's own help is the same block.
        zuno::test::TProgramResult own = runProgram(builtProgram("zunotool"), {c.name, "--help"});
        ASSERT_EQ(own.status, 0) << own.err;
        expectTidy(own.out);
        EXPECT_EQ(own.out.rfind(std::string("usage: zunotool ") + c.forms[0].synopsis + "\n", 0), 0u) << own.out;
        const std::string block = own.out.substr(own.out.find("\n\n") + 2);
        EXPECT_NE(r.out.find("\n" + block), std::string::npos) << block;
        for (const ToolOption& o : c.options) {
            for (const char* n : o.names) {
                EXPECT_NE(own.out.find(std::string(" ") + n), std::string::npos) << n;
                // The parser takes every option the help shows.
                std::vector<std::string> args{n};
                if (o.value)
                    args.push_back("1");
                if (std::string(n) != "--") {
                    EXPECT_EQ(parseToolArgs(c, args).options.size(), 1u) << n;
                }
            }
        }
    }
}

TEST(ToolHelp, HelpForms) {
    struct Case {
        std::vector<std::string> args;
        std::string start;
    } cases[] = {
        {{"-h"}, "usage: zunotool COMMAND ARGS...\n"},
        {{"help"}, "usage: zunotool COMMAND ARGS...\n"},
        {{"help", "ls"}, "usage: zunotool ls ARCHIVE\n"},
        {{"image", "convert", "--help"}, "usage: zunotool image convert"},
        {{"calc", "-h"}, "usage: zunotool calc"},
        {{"page", "dump", "--help"}, "usage: zunotool page dump FILE.zsb\n       zunotool page build"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        zuno::test::TProgramResult r = runProgram(builtProgram("zunotool"), c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out.rfind(c.start, 0), 0u) << r.out;
    }
    // After "--" calc takes --help as an expression.
    zuno::test::TProgramResult r = runProgram(builtProgram("zunotool"), {"calc", "--", "--help"});
    EXPECT_EQ(r.status, 0);
    ASSERT_FALSE(r.out.empty());
    EXPECT_TRUE(r.out[0] == '=' || r.out[0] == '!') << r.out;
}

// Usage errors: one "zunotool: MESSAGE" line (then the command's synopsis
// where there is a command), exit status 2.
TEST(ToolHelp, UsageErrors) {
    struct Case {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{}, "zunotool: no command given (zunotool --help lists the commands)\n"},
        {{"frobnicate"}, "zunotool: unknown command 'frobnicate' (zunotool --help lists them)\n"},
        {{"help", "frobnicate"}, "zunotool: unknown command 'frobnicate'\n"},
        {{"ls"}, "zunotool: ls takes one archive\nusage: zunotool ls ARCHIVE\n"},
        {{"image", "convert", "a.png", "b.png", "--bogus", "1"},
         "zunotool: unknown option --bogus\nusage: zunotool image convert IN... OUT [OPTIONS]\n"},
        {{"image", "convert", "a.png", "b.png", "--kind"},
         "zunotool: --kind needs a value (0|1|2)\nusage: zunotool image convert IN... OUT [OPTIONS]\n"},
        {{"calc", "--seed", "x"},
         "zunotool: --seed needs a number\nusage: zunotool calc [-d DECL]... [--seed N] [--] [EXPR]...\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        zuno::test::TProgramResult r = runProgram(builtProgram("zunotool"), c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
}

TEST(ToolArgsParser, SplitsOptionsAndOperands) {
    const ToolCommand command{"t",
                              {{"t ARGS", "test"}},
                              nullptr,
                              {{{"--size", "-s"}, "N", "a value"}, {{"--quiet"}, nullptr, "a switch"}}};
    struct Case {
        std::vector<std::string> args;
        bool dashOperands;
        std::string parsed;         // NAME=VALUE per option, then |operands
        std::string error;          // or the usage error
    } cases[] = {
        {{"a", "--size", "3", "b"}, false, "--size=3 |a b ", ""},
        {{"--size=4", "-s", "5", "--quiet"}, false, "--size=4 -s=5 --quiet= |", ""},
        {{"--size", "-1"}, false, "--size=-1 |", ""},
        {{"--", "--quiet", "-s"}, false, "|--quiet -s ", ""},
        {{"-", "x"}, false, "|- x ", ""},
        {{"-1+2", "--quiet"}, true, "--quiet= |-1+2 ", ""},
        {{"-1+2"}, false, "", "unknown option -1+2"},
        {{"--size"}, false, "", "--size needs a value (N)"},
        {{"--quiet=1"}, false, "", "--quiet takes no value"},
        {{"--bogus=1"}, false, "", "unknown option --bogus"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        try {
            ToolArgs a = parseToolArgs(command, c.args, c.dashOperands);
            std::string parsed;
            for (const ToolArgs::Given& g : a.options)
                parsed += g.name + "=" + g.value + " ";
            parsed += "|";
            for (const std::string& o : a.operands)
                parsed += o + " ";
            EXPECT_EQ(c.error, "");
            EXPECT_EQ(parsed, c.parsed);
        } catch (const UsageError& e) {
            EXPECT_EQ(e.what(), c.error);
        }
    }
}

} // namespace
} // namespace zuno::tool
