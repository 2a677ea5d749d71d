// The command registry of zunotool, the option parser over a command's table
// and the help texts printed from the same tables.
#include "ToolCommand.h"

#include <cstdio>

#include "core/EZunoError.h"

namespace zuno::tool {

static std::vector<ToolCommand>& registry() {
    static std::vector<ToolCommand> commands;
    return commands;
}

ToolCommandRegistrar::ToolCommandRegistrar(const ToolCommand& command) { registry().push_back(command); }

const std::vector<ToolCommand>& toolCommands() { return registry(); }

const ToolCommand* findToolCommand(const std::string& name) {
    for (const ToolCommand& c : toolCommands())
        if (name == c.name)
            return &c;
    return nullptr;
}

void writeStdout(const void* data, size_t size) {
    if (size > 0 && std::fwrite(data, 1, size, stdout) != size)
        throw EZunoError::fromUtf8("標準出力に書き込めません");
}

void writeStdout(const std::string& text) { writeStdout(text.data(), text.size()); }

// ---------------------------------------------------------------- parsing

static const ToolOption* findOption(const ToolCommand& command, const std::string& name) {
    for (const ToolOption& o : command.options)
        for (const char* n : o.names)
            if (name == n)
                return &o;
    return nullptr;
}

ToolArgs parseToolArgs(const ToolCommand& command, const std::vector<std::string>& args, bool dashOperands) {
    ToolArgs out;
    bool options = true;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!options || a.size() < 2 || a[0] != '-') {
            out.operands.push_back(a);
            continue;
        }
        if (a == "--") {
            options = false;
            continue;
        }
        std::string name = a, value;
        bool inlineValue = false;
        size_t eq = a.find('=');
        if (a.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
            inlineValue = true;
        }
        const ToolOption* option = findOption(command, name);
        if (!option) {
            if (dashOperands) {
                out.operands.push_back(a);
                continue;
            }
            throw UsageError("unknown option " + name);
        }
        if (!option->value) {
            if (inlineValue)
                throw UsageError(name + " takes no value");
        } else if (!inlineValue) {
            if (i + 1 >= args.size())
                throw UsageError(name + " needs a value (" + option->value + ")");
            value = args[++i];
        }
        out.options.push_back({option, name, value});
    }
    return out;
}

// ---------------------------------------------------------------- help

static const size_t kWidth = 79;

// `text` as lines of at most kWidth columns (a longer word stands alone),
// each indented by `indent` spaces. A `label` starts the first line when it
// leaves two spaces before the indent, else it stands on a line of its own.
static std::string wrap(const std::string& text, size_t indent, const std::string& label = {}) {
    std::string out, line;
    if (!label.empty() && label.size() + 2 <= indent)
        line = label + std::string(indent - label.size(), ' ');
    else if (!label.empty())
        out = label + "\n";
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(' ', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(pos, end - pos);
        pos = end + 1;
        if (word.empty())
            continue;
        if (line.empty()) {
            line = std::string(indent, ' ') + word;
        } else if (line.size() == indent) {
            line += word;
        } else if (line.size() + 1 + word.size() > kWidth) {
            out += line + "\n";
            line = std::string(indent, ' ') + word;
        } else {
            line += " " + word;
        }
    }
    if (!line.empty())
        out += line + "\n";
    return out;
}

static std::string optionLabel(const ToolOption& o) {
    std::string label;
    for (const char* n : o.names) {
        if (!label.empty())
            label += ", ";
        label += n;
    }
    if (o.value)
        label += std::string(" ") + o.value;
    return label;
}

// The forms of a command, each synopsis with its summary, then its options.
static std::string commandBlock(const ToolCommand& c) {
    std::string out;
    for (const ToolForm& f : c.forms) {
        out += std::string("  ") + f.synopsis + "\n";
        out += wrap(f.summary, 6);
    }
    if (!c.options.empty()) {
        out += "    options:\n";
        for (const ToolOption& o : c.options)
            out += wrap(o.summary, 26, "      " + optionLabel(o));
    }
    return out;
}

std::string toolHelp() {
    std::string out = "usage: zunotool COMMAND ARGS...\n"
                      "       zunotool COMMAND --help\n"
                      "       zunotool --help | --version\n"
                      "\n"
                      "Builds and inspects the data of zunoplay games. Errors go to standard error\n"
                      "as one line \"zunotool: MESSAGE\" (exit status 1); a wrong command line exits\n"
                      "with 2.\n"
                      "\n"
                      "commands:\n";
    for (const ToolCommand& c : toolCommands())
        out += "\n" + commandBlock(c);
    return out;
}

std::string toolCommandHelp(const ToolCommand& c) {
    return toolCommandSynopsis(c) + "\n" + commandBlock(c);
}

std::string toolCommandSynopsis(const ToolCommand& c) {
    std::string out;
    for (const ToolForm& f : c.forms)
        out += std::string(out.empty() ? "usage: " : "       ") + "zunotool " + f.synopsis + "\n";
    return out;
}

} // namespace zuno::tool
