// The text form of the compiled project zuno.zpb: one "key: value" line per
// setting, "var" lines for the initial variables and "disc" lines for the
// file-to-disc table. See docs/page-source.md.
#pragma once

#include <string>

#include "script/TProjectSetting.h"

namespace zuno {

// EZunoError "FILE:LINE: message" on bad text.
TProjectSetting buildProjectSource(const std::string& utf8Text, const std::string& fileName);
// Every field, so building the text gives the same file back.
std::string     decompileProject(const TProjectSetting& project);

} // namespace zuno
