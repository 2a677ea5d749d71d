// Readable listings of compiled pages, their expressions and project files,
// in UTF-8, for zunotool and for tests.
#pragma once

#include <string>

#include "script/TPage.h"
#include "script/TProjectSetting.h"

namespace zuno {

std::string describeExpr(const TZunoParser* e);                         // its operations, one line
std::string dumpPage(const TPage& page);
std::string dumpProject(const TProjectSetting& project);

} // namespace zuno
