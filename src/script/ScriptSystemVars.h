// The system variables and built-in functions that read the script runtime:
// "@Result", "@ParamCount", "@ParamStr", "@Sender", "@ScrWidth", "@ScrHeight",
// "@TickCount" (and the once-per-frame date and time), "@UpdateCount",
// "@Title", the mouse and key variables over the registry's input state
// ("@LClick", "@RClick", "@LPush", "@RPush", "@MouseX", "@MouseY", "@KeyPush",
// "@KeyClick", "@KeyRepeat", "@WheelDown", "@WheelUp"), LoadTextFile and
// DBLoadTsvFile through the game's files, and the display-object functions and variables
// of ObjectSysFuncs.h.
#pragma once

namespace zuno {

class TProject;
struct TScriptEnv;

// Plugs the providers into env.Params (and the file readers into env.Funcs). The
// project must outlive the variable table's use of them.
void installScriptSystemVariables(TScriptEnv& env, TProject& project);

} // namespace zuno
