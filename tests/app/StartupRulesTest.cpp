#include <gtest/gtest.h>

#include "app/StartupRules.h"
#include "core/Cp932.h"

namespace zuno {
namespace {

TEST(StartupRules, InstanceNameOfAGamePath) {
    struct Case {
        std::string path;
        std::string name;
    } cases[] = {
        {"d:\\games\\a\\", "D:-GAMES-A-"},
        {"d:\\games\\a", "D:-GAMES-A-"},
        {"/home/user/Game", "-HOME-USER-GAME-"},
        {"/home/user/game/", "-HOME-USER-GAME-"},
        // The second byte of 表 is 0x5C: neither replaced nor taken as the final separator.
        {sjis("c:\\表"), sjis("C:-表") + "-"},
        {sjis("c:\\表\\"), sjis("C:-表-")},
        {sjis("c:\\ａ"), sjis("C:-ａ-")},         // full-width letters are not upper-cased
        {"", "-"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(instanceMutexName(c.path), c.name) << cp932ToUtf8(c.path);
    EXPECT_NE(instanceMutexName("/games/a"), instanceMutexName("/games/b"));
}

TEST(StartupRules, LanguageFromTheEnvironmentOrder) {
    struct Case {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        bool japanese;
    } cases[] = {
        {nullptr, nullptr, "ja_JP.UTF-8", true},   {nullptr, nullptr, "en_US.UTF-8", false},
        {"C", nullptr, "ja_JP.UTF-8", false},      {"", "ja_JP.eucJP", "en_US", true},
        {"ja", nullptr, nullptr, true},            {nullptr, nullptr, nullptr, false},
        {nullptr, "j", nullptr, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(languageIsJapanese(c.lcAll, c.lcMessages, c.lang), c.japanese)
            << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " " << (c.lang ? c.lang : "-");
}

TEST(StartupRules, QuitQuestionTakesTheTitleAsText) {
    EXPECT_EQ(cp932ToUtf8(quitQuestionText(sjis("ゲーム"), true)), "「ゲーム」を終了しますか？");
    EXPECT_EQ(quitQuestionText("My Game", false), "Do you want to exit My Game?");
    EXPECT_EQ(quitQuestionText("100%s %d", false), "Do you want to exit 100%s %d?");
}

} // namespace
} // namespace zuno
