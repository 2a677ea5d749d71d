// The settings dialog "動作設定" in a small SDL window of its own.
#pragma once

#include "platform/SettingsDialog.h"

namespace zuno {

// Shows the dialog in its own window until OK, cancel or close; true for OK
// (state then holds the choice). False without changes when no window can be made.
bool                    runSettingsDialog(TSettingsDialogState& state);

} // namespace zuno
