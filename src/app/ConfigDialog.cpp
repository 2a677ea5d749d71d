#include "app/ConfigDialog.h"

#include <filesystem>

#include "app/TPlayerSettings.h"

namespace zuno {

void runConfigDialog(const std::string& iniPath, const TSettingsDialogRunner& showDialog) {
    TIniFile ini = TIniFile::load(iniPath);
    TConfigDialogModel model(ini);
    TSettingsDialogState state{model.directSound(), model.position()};
    if (!showDialog(state))
        return;
    model.setDirectSound(state.directSound);
    model.setPosition(state.position);
    model.apply(ini);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(iniPath).parent_path(), ec);
    ini.save(iniPath);
}

} // namespace zuno
