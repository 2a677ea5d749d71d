// zunotool: builds and inspects game data. The commands live in their own
// files and register themselves (ToolCommand.h).
#include <cstdio>
#include <cstring>
#include <exception>

#include "core/EZunoError.h"
#include "ToolCommand.h"

namespace zuno::tool {

static std::vector<ToolCommand>& registry() {
    static std::vector<ToolCommand> commands;
    return commands;
}

ToolCommandRegistrar::ToolCommandRegistrar(const ToolCommand& command) { registry().push_back(command); }

const std::vector<ToolCommand>& toolCommands() { return registry(); }

void writeStdout(const void* data, size_t size) {
    if (size > 0 && std::fwrite(data, 1, size, stdout) != size)
        throw EZunoError::fromUtf8("標準出力に書き込めません");
}

void writeStdout(const std::string& text) { writeStdout(text.data(), text.size()); }

static void printUsage(FILE* out) {
    std::fprintf(out, "usage: zunotool COMMAND ARGS...\n\ncommands:\n");
    for (const ToolCommand& c : toolCommands())
        std::fprintf(out, "%s\n", c.usage);
    std::fprintf(out, "\nzunotool --help | --version\n");
}

} // namespace zuno::tool

int main(int argc, char** argv) {
    using namespace zuno::tool;
    if (argc < 2) {
        printUsage(stderr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(stdout);
        return 0;
    }
    if (name == "--version") {
        std::printf("zunotool 0.1.0\n");
        return 0;
    }
    for (const ToolCommand& c : toolCommands()) {
        if (name != c.name)
            continue;
        try {
            int status = c.run(std::vector<std::string>(argv + 2, argv + argc));
            if (std::fflush(stdout) != 0) {
                std::fprintf(stderr, "zunotool: %s\n", "cannot write standard output");
                return 1;
            }
            return status;
        } catch (const UsageError& e) {
            std::fprintf(stderr, "zunotool: %s\nusage:\n%s\n", e.what(), c.usage);
            return 2;
        } catch (const zuno::EZunoError& e) {
            std::fflush(stdout);
            std::fprintf(stderr, "zunotool: %s\n", e.what());
            return 1;
        } catch (const std::bad_alloc&) {
            std::fprintf(stderr, "zunotool: out of memory\n");
            return 1;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "zunotool: %s\n", e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "zunotool: unknown command '%s'\n", name.c_str());
    printUsage(stderr);
    return 2;
}
