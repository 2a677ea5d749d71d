// The system variables and built-in functions of the backlog:
// "@HistoryCount" and "@HistoryMaxCount" over the default format, and
// GetHistoryCount, GetHistoryMaxCount and SetHistoryMaxCount over a format
// named by the script.
#pragma once

namespace zuno {

class TZunoHistoryFormatManager;
struct TScriptEnv;

// The formats must outlive the variable table's use of them.
void installTextFunctions(TScriptEnv& env, TZunoHistoryFormatManager& formats);

} // namespace zuno
