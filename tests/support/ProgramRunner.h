// Runs a program as the tests' child: its arguments are passed as they are
// (no shell, no quoting), standard input is empty, and standard output and
// standard error are collected apart, whatever their size.
#pragma once

#include <string>
#include <vector>

namespace zuno::test {

struct TProgramResult {
    int                 status = -1;        // exit status; -1 when it did not exit (a signal) or could not start
    std::string         out;                // standard output, bytes as written
    std::string         err;                // standard error
};

// program: a path, or a name looked up on PATH. environment: "NAME=value"
// entries set for the child on top of the tests' own environment.
TProgramResult          runProgram(const std::string& program, const std::vector<std::string>& args,
                                   const std::vector<std::string>& environment = {});

// The path of a program of this build (zunotool, zunoplay).
std::string             builtProgram(const std::string& name);

} // namespace zuno::test
