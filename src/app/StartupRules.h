// Small rules of the application shell: the single-instance name of a game
// path and the quit question.
#pragma once

#include <string>
#include <string_view>

namespace zuno {

// The single-instance name of a game path (Shift-JIS): upper-cased, a
// separator added when it does not end in one, then every single-byte '\'
// and '/' replaced by '-' ("d:\games\a\" gives "D:-GAMES-A-").
std::string             instanceMutexName(std::string_view gamePath);

// True when the first of LC_ALL, LC_MESSAGES, LANG that is set and not empty
// starts with "ja" (the user's language is Japanese).
bool                    languageIsJapanese(const char* lcAll, const char* lcMessages, const char* lang);
bool                    userLanguageIsJapanese();                   // from the environment

// The quit question in Shift-JIS with the game title (Shift-JIS) in it:
// "「%s」を終了しますか？" in Japanese, else "Do you want to exit %s?".
std::string             quitQuestionText(std::string_view title, bool japanese);

} // namespace zuno
