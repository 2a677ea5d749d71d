// The built-in functions and system variables that read or change the
// display objects, the screens and the display: GetProp, SetProp, Exists,
// ListCompo, ToClientX/Y, ToScreenX/Y, IndexOfMenu, InPrimary, InCabinet,
// the item functions (GetCheck ... SetSelected), GetDisplayMode, and
// "@ActiveCompo", "@SoundON", "@CGDither", "@FullScr", "@DisplayModeCount",
// "@DisplayModeIndex", "@Fonts", "@FixedFonts".
#pragma once

#include <string>
#include <vector>

namespace zuno {

struct TScriptEnv;

// Plugs them into env.Funcs and env.Params, reading env.Registry and the
// display hooks of env. The environment must outlive their use.
void installObjectFunctions(TScriptEnv& env);

// The "@Fonts" text: the names sorted by their bytes, duplicates dropped,
// joined with CR LF (no line break after the last).
std::string fontListText(std::vector<std::string> names);

} // namespace zuno
