#include "app/TPlayerSettings.h"

#include <algorithm>
#include <filesystem>

namespace zuno {

// ---------------------------------------------------------------- TPlayerSettings

int32_t normalizeDelayTime(int32_t stored) {
    return std::clamp<int32_t>(stored / 100 * 100, 100, 500);
}

void TPlayerSettings::read(const TIniFile& ini) {
    useDirectSound = ini.readBool("Sound", "DirectSound", useDirectSound);
    soundDelay = normalizeDelayTime(ini.readInteger("Sound", "DelayTime", soundDelay));
    useWmp = ini.readBool("Video", "UseWMP", useWmp);
    soundFont = ini.readString("Sound", "SoundFont", soundFont);
}

std::string gameIniPath(const std::string& executableFolder, const std::string& userConfigFolder) {
    std::string beside = executableFolder + "game.ini";
    std::error_code ec;
    if (std::filesystem::is_regular_file(beside, ec))
        return beside;
    return userConfigFolder + "game.ini";
}

std::string gameIniPath(const std::string& gameFolder, const std::string& executableFolder,
                        const std::string& userConfigFolder) {
    std::string inGame = gameFolder + "game.ini";
    std::error_code ec;
    if (!gameFolder.empty() && std::filesystem::is_regular_file(inGame, ec))
        return inGame;
    return gameIniPath(executableFolder, userConfigFolder);
}

// ---------------------------------------------------------------- TConfigDialogModel

TConfigDialogModel::TConfigDialogModel(const TIniFile& ini) {
    FDirectSound = ini.readBool("Sound", "DirectSound", true);
    setPosition(ini.readInteger("Sound", "DelayTime", 500) / 100);
}

void TConfigDialogModel::setPosition(int32_t position) {
    FPosition = std::clamp<int32_t>(position, 1, 5);
}

std::string TConfigDialogModel::valueLabel() const {
    return std::to_string(FPosition * 100) + "ms";
}

void TConfigDialogModel::apply(TIniFile& ini) const {
    ini.writeBool("Sound", "DirectSound", FDirectSound);
    ini.writeInteger("Sound", "DelayTime", FPosition * 100);
}

} // namespace zuno
