// Readable listings of compiled pages and project files, in UTF-8, for
// zunotool and for tests.
#pragma once

#include <string>

#include "script/TPage.h"
#include "script/TProjectSetting.h"

namespace zuno {

std::string dumpCommand(const TCommand& c, int index, int32_t version); // header line and one line per field
std::string dumpPage(const TPage& page);
std::string dumpProject(const TProjectSetting& project);

} // namespace zuno
