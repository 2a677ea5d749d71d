// zunotool: builds and inspects game data. The commands live in their own
// files and register themselves (ToolCommand.h).
#include <cstdio>
#include <cstring>
#include <exception>

#include "core/EZunoError.h"
#include "ToolCommand.h"

using namespace zuno::tool;

// "COMMAND --help" (or -h) anywhere before "--" asks for the command's help.
static bool asksForHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--")
            return false;
        if (a == "--help" || a == "-h")
            return true;
    }
    return false;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "zunotool: no command given (zunotool --help lists the commands)\n");
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        // "help COMMAND" is the command's help.
        const ToolCommand* c = argc > 2 && name == "help" ? findToolCommand(argv[2]) : nullptr;
        if (argc > 2 && name == "help" && !c) {
            std::fprintf(stderr, "zunotool: unknown command '%s'\n", argv[2]);
            return 2;
        }
        std::fputs(c ? toolCommandHelp(*c).c_str() : toolHelp().c_str(), stdout);
        return 0;
    }
    if (name == "--version") {
        std::printf("zunotool %s\n", ZUNO_VERSION);
        return 0;
    }
    const ToolCommand* c = findToolCommand(name);
    if (!c) {
        std::fprintf(stderr, "zunotool: unknown command '%s' (zunotool --help lists them)\n", name.c_str());
        return 2;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (asksForHelp(args)) {
        std::fputs(toolCommandHelp(*c).c_str(), stdout);
        return 0;
    }
    try {
        int status = c->run(args);
        if (std::fflush(stdout) != 0) {
            std::fprintf(stderr, "zunotool: %s\n", "cannot write standard output");
            return 1;
        }
        return status;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "zunotool: %s\n%s", e.what(), toolCommandSynopsis(*c).c_str());
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
