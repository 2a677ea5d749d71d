// zunotool's commands. Each command file registers its commands with a static
// ToolCommandRegistrar, so the main program needs no list of them.
//
// A command returns its exit status. It throws EZunoError for failures
// (printed as "zunotool: MESSAGE", exit 1) and UsageError for bad arguments
// (the message and the command's usage, exit 2).
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace zuno::tool {

struct ToolCommand {
    const char* name;                                   // first word on the command line
    const char* usage;                                  // one or more lines for --help
    int (*run)(const std::vector<std::string>& args);   // the arguments after the name
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ToolCommandRegistrar {
    explicit ToolCommandRegistrar(const ToolCommand& command);
};

const std::vector<ToolCommand>& toolCommands();

// Writes bytes to standard output unchanged (binary-safe).
void writeStdout(const void* data, size_t size);
void writeStdout(const std::string& text);

} // namespace zuno::tool
