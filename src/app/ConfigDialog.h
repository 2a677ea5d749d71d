// zunoplay --config (or /config): the settings dialog over game.ini.
#pragma once

#include <functional>
#include <string>

#include "platform/SettingsDialog.h"

namespace zuno {

// Shows the dialog on the state and returns true for OK (the window of the
// SDL build: runSettingsDialog).
using TSettingsDialogRunner = std::function<bool(TSettingsDialogState&)>;

// Shows the settings dialog for the file at iniPath (absent: the defaults);
// OK writes "Sound"/"DirectSound" and "Sound"/"DelayTime" and keeps every
// other line of the file; cancel or close writes nothing. EZunoError when the
// file cannot be written.
void                    runConfigDialog(const std::string& iniPath, const TSettingsDialogRunner& showDialog);

} // namespace zuno
