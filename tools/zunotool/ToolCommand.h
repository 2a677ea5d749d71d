// zunotool's commands. Each command file registers its commands with a static
// ToolCommandRegistrar, so the main program needs no list of them.
//
// A command's table is also its documentation: `zunotool --help`, the
// command's own `--help` and the manual page (tools/manpages) are printed from the forms and
// options registered here, and the commands that take options parse them
// with parseToolArgs over the same option table, so help and parser cannot
// disagree.
//
// A command returns its exit status. It throws EZunoError for failures
// (printed as "zunotool: MESSAGE", exit 1) and UsageError for bad arguments
// (the message and the command's usage, exit 2).
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace zuno::tool {

// One way of calling a command: "page dump FILE.zsb" and what it does.
struct ToolForm {
    const char* synopsis;                               // starts with the command's name
    const char* summary;                                // one paragraph, wrapped when printed
};

// An option a command accepts.
struct ToolOption {
    std::vector<const char*> names;                     // "--decl", "-d": the first is the main spelling
    const char* value;                                  // name of its value ("N"), nullptr for a switch
    const char* summary;
};

struct ToolCommand {
    const char* name;                                   // first word on the command line
    std::vector<ToolForm> forms;
    int (*run)(const std::vector<std::string>& args);   // the arguments after the name
    std::vector<ToolOption> options = {};
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ToolCommandRegistrar {
    explicit ToolCommandRegistrar(const ToolCommand& command);
};

const std::vector<ToolCommand>& toolCommands();
const ToolCommand* findToolCommand(const std::string& name);

// The arguments of a command split by its option table.
struct ToolArgs {
    struct Given {
        const ToolOption* option;
        std::string name;                               // as written, without "=VALUE"
        std::string value;                              // "" for a switch
    };
    std::vector<Given> options;                         // in command-line order
    std::vector<std::string> operands;                  // the other arguments, in order
};

// Splits args by the options of `command`. "--NAME VALUE" and "--NAME=VALUE"
// both give a value; "--" ends the options. An argument that starts with "-"
// and is no option of the table is an UsageError, or an operand when
// dashOperands is set (expressions such as "-1").
ToolArgs parseToolArgs(const ToolCommand& command, const std::vector<std::string>& args, bool dashOperands = false);

// Help texts, every line ending in '\n'.
std::string toolHelp();                                 // zunotool --help
std::string toolCommandHelp(const ToolCommand& command); // zunotool COMMAND --help
std::string toolCommandSynopsis(const ToolCommand& command); // "usage: zunotool ..." lines for usage errors

// Writes bytes to standard output unchanged (binary-safe).
void writeStdout(const void* data, size_t size);
void writeStdout(const std::string& text);

} // namespace zuno::tool
