#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/ConfigDialog.h"
#include "app/TPlayerSettings.h"
#include "core/EZunoError.h"
#include "support/TTempFolder.h"

namespace zuno {
namespace {

namespace fs = std::filesystem;
using test::TTempFolder;

TEST(PlayerSettings, DelayTimeIsTruncatedThenClamped) {
    struct Case {
        int32_t stored, used;
    } cases[] = {{1234, 500}, {50, 100}, {250, 200}, {500, 500}, {100, 100}, {499, 400}, {-150, 100}, {0, 100}};
    for (const Case& c : cases)
        EXPECT_EQ(normalizeDelayTime(c.stored), c.used) << c.stored;
}

TEST(PlayerSettings, ReadsTheFileAndKeepsDefaultsForWhatIsMissingOrBad) {
    struct Case {
        const char* text;
        bool directSound;
        int32_t delay;
        bool wmp;
    } cases[] = {
        {"", true, 500, false},
        {"[Sound]\r\nDirectSound=0\r\nDelayTime=250\r\n[Video]\r\nUseWMP=1\r\n", false, 200, true},
        {"[sound]\n  directsound = 0 \n delaytime=$12C\n", false, 300, false},     // any case, hex
        {"[Sound]\nDirectSound=yes\nDelayTime=fast\n", true, 500, false},          // not numbers: defaults
        {"DirectSound=0\n[Other]\nDelayTime=100\n", true, 500, false},             // outside the section
        {"[Sound]\nDelayTime=\"300\"\nDirectSound=2\n", true, 300, false},         // quoted; any non-zero is true
        {"[Sound]\nDelayTime=99999999999\n", true, 500, false},                    // out of range
    };
    for (const Case& c : cases) {
        TPlayerSettings s;
        s.read(TIniFile::parse(c.text));
        EXPECT_EQ(s.useDirectSound, c.directSound) << c.text;
        EXPECT_EQ(s.soundDelay, c.delay) << c.text;
        EXPECT_EQ(s.useWmp, c.wmp) << c.text;
    }
}

TEST(IniFile, WritingKeepsEverythingElse) {
    TIniFile ini = TIniFile::parse(
        "; player settings\r\n"
        "[Sound]\r\n"
        "DirectSound = 1\r\n"
        "Extra=keep me\r\n"
        "\r\n"
        "[Video]\r\n"
        "UseWMP=1\r\n");
    ini.writeBool("SOUND", "directsound", false);
    ini.writeInteger("Sound", "DelayTime", 300);
    ini.writeString("Fonts", "Face", "IPAGothic");
    EXPECT_EQ(ini.text(),
              "; player settings\r\n"
              "[Sound]\r\n"
              "DirectSound=0\r\n"
              "Extra=keep me\r\n"
              "DelayTime=300\r\n"
              "\r\n"
              "[Video]\r\n"
              "UseWMP=1\r\n"
              "\r\n"
              "[Fonts]\r\n"
              "Face=IPAGothic\r\n");
    TIniFile again = TIniFile::parse(ini.text());
    EXPECT_FALSE(again.readBool("Sound", "DirectSound", true));
    EXPECT_EQ(again.readInteger("Sound", "DelayTime", 0), 300);
    EXPECT_EQ(again.readString("Fonts", "Face", ""), "IPAGothic");
    EXPECT_EQ(again.readString("Sound", "Extra", ""), "keep me");
}

TEST(IniFile, SaveReplacesTheFileThroughATemporaryFile) {
    TTempFolder temp;
    const fs::path dir = temp.path();
    std::string path = (dir / "game.ini").string();
    {
        std::ofstream(path) << "[Sound]\nDirectSound=1\n";
    }
    TIniFile ini = TIniFile::load(path);
    ini.writeInteger("Sound", "DelayTime", 200);
    ini.save(path);
    EXPECT_EQ(TIniFile::load(path).text(), "[Sound]\nDirectSound=1\nDelayTime=200\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);   // no temporary left
    EXPECT_THROW(ini.save((dir / "missing-folder" / "game.ini").string()), EZunoError);
    EXPECT_TRUE(TIniFile::load((dir / "absent.ini").string()).text().empty());
}

TEST(ConfigDialog, ControlsFollowTheFileAndOkWritesThem) {
    // Without game.ini: ticked, position 5, "500ms", delay controls disabled.
    TConfigDialogModel fresh(TIniFile::parse(""));
    EXPECT_TRUE(fresh.directSound());
    EXPECT_EQ(fresh.position(), 5);
    EXPECT_EQ(fresh.valueLabel(), "500ms");
    EXPECT_FALSE(fresh.delayEnabled());

    // A stored 250 shows position 2; OK writes 200 and keeps UseWMP.
    TIniFile ini = TIniFile::parse("[Sound]\nDirectSound=1\nDelayTime=250\n[Video]\nUseWMP=1\n");
    TConfigDialogModel m(ini);
    EXPECT_EQ(m.position(), 2);
    EXPECT_EQ(m.valueLabel(), "200ms");
    m.setDirectSound(false);
    EXPECT_TRUE(m.delayEnabled());
    m.apply(ini);
    EXPECT_EQ(ini.readInteger("Sound", "DelayTime", 0), 200);
    EXPECT_EQ(ini.readInteger("Sound", "DirectSound", 1), 0);
    EXPECT_TRUE(ini.readBool("Video", "UseWMP", false));

    // The track bar keeps its position within 1..5.
    struct Case {
        const char* delay;
        int32_t position;
    } cases[] = {{"50", 1}, {"0", 1}, {"-300", 1}, {"1234", 5}, {"399", 3}};
    for (const Case& c : cases)
        EXPECT_EQ(TConfigDialogModel(TIniFile::parse(std::string("[Sound]\nDelayTime=") + c.delay)).position(),
                  c.position)
            << c.delay;
    m.setPosition(9);
    EXPECT_EQ(m.valueLabel(), "500ms");
}

// The dialog run over a file: it shows the file's values, OK writes the
// choice into a folder made for it, cancel leaves everything as it was.
TEST(ConfigDialog, RunOverTheFileWritesOnlyOnOk) {
    TTempFolder temp;
    const std::string path = temp.path("config/game.ini");
    TSettingsDialogState shown;
    auto answer = [&](bool ok, TSettingsDialogState choice) {
        return [&shown, ok, choice](TSettingsDialogState& state) {
            shown = state;
            if (ok)
                state = choice;
            return ok;
        };
    };
    auto contents = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };

    runConfigDialog(path, answer(false, {false, 1}));
    EXPECT_TRUE(shown.directSound);
    EXPECT_EQ(shown.position, 5);
    EXPECT_FALSE(fs::exists(temp.path("config")));

    runConfigDialog(path, answer(true, {false, 2}));
    TIniFile written = TIniFile::load(path);
    EXPECT_FALSE(written.readBool("Sound", "DirectSound", true));
    EXPECT_EQ(written.readInteger("Sound", "DelayTime", 0), 200);

    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << "[Sound]\nDirectSound=0\nDelayTime=300\n[Video]\nUseWMP=1\n";
    const std::string before = contents();
    runConfigDialog(path, answer(false, {true, 5}));
    EXPECT_FALSE(shown.directSound);
    EXPECT_EQ(shown.position, 3);
    EXPECT_EQ(contents(), before);
    runConfigDialog(path, answer(true, {true, 4}));
    written = TIniFile::load(path);
    EXPECT_TRUE(written.readBool("Sound", "DirectSound", false));
    EXPECT_EQ(written.readInteger("Sound", "DelayTime", 0), 400);
    EXPECT_TRUE(written.readBool("Video", "UseWMP", false));
}

TEST(PlayerSettings, GameIniBesideTheExecutableWins) {
    TTempFolder exeTemp;
    const fs::path exe = exeTemp.path();
    TTempFolder userTemp;
    const fs::path user = userTemp.path();
    EXPECT_EQ(gameIniPath(exe.string() + "/", user.string() + "/"), user.string() + "/game.ini");
    std::ofstream((exe / "game.ini").string()) << "[Sound]\n";
    EXPECT_EQ(gameIniPath(exe.string() + "/", user.string() + "/"), exe.string() + "/game.ini");
}

} // namespace
} // namespace zuno
