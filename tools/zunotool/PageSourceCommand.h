// The source-form verbs of zunotool's page and project commands.
#pragma once

#include <string>
#include <vector>

namespace zuno::tool {

int runPageBuild(const std::vector<std::string>& args);       // page build SRC OUT.zsb
int runPageDecompile(const std::vector<std::string>& args);   // page decompile IN.zsb
int runProjectBuild(const std::vector<std::string>& args);    // project build SRC OUT.zpb
int runProjectDecompile(const std::vector<std::string>& args); // project decompile IN.zpb

} // namespace zuno::tool
