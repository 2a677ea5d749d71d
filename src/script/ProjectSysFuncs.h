// The built-in functions that need the running project: the save captions
// (SysFuncSave.cpp), the files and dialogs (SysFuncFile.cpp) and the screen
// pictures (SysFuncScreen.cpp).
#pragma once

#include <string>
#include <string_view>

namespace zuno {

struct TScriptEnv;
class TProject;

void                    installSaveFunctions(TScriptEnv& env, TProject& project);
void                    installFileFunctions(TScriptEnv& env, TProject& project);
void                    installScreenFunctions(TScriptEnv& env, TProject& project);

// Whether a file name matches a mask of '*' and '?' (ignoring ASCII case;
// a double-byte character counts as one for '?').
bool                    fileMaskMatches(std::string_view mask, std::string_view name);

} // namespace zuno
