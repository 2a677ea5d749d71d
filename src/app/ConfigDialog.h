// zunoplay --config (or /config): the settings dialog over game.ini.
#pragma once

#include <string>

namespace zuno {

// Shows the settings dialog for the file at iniPath (absent: the defaults);
// OK writes "Sound"/"DirectSound" and "Sound"/"DelayTime" and keeps every
// other line of the file; cancel or close writes nothing. EZunoError when the
// file cannot be written.
void                    runConfigDialog(const std::string& iniPath);

} // namespace zuno
