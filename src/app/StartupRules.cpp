#include "app/StartupRules.h"

#include "core/Cp932.h"
#include "platform/posix/PosixServices.h"

namespace zuno {

// ---------------------------------------------------------------- instanceMutexName

std::string instanceMutexName(std::string_view gamePath) {
    std::string name = upperCaseSjis(gamePath);
    // Whether the path ends in a separator is decided character-wise: the
    // second byte of a double-byte character may be 0x5C.
    bool endsWithSeparator = false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (isLeadByte(static_cast<uint8_t>(name[i])) && i + 1 < name.size()) {
            ++i;
            endsWithSeparator = false;
            continue;
        }
        endsWithSeparator = name[i] == '\\' || name[i] == '/';
        if (endsWithSeparator)
            name[i] = '-';
    }
    if (!endsWithSeparator)
        name += '-';
    return name;
}

// ---------------------------------------------------------------- language and quit question

bool languageIsJapanese(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* v : {lcAll, lcMessages, lang})
        if (v && *v)
            return v[0] == 'j' && v[1] == 'a';
    return false;
}

bool userLanguageIsJapanese() {
    return languageIsJapanese(environmentValue("LC_ALL"), environmentValue("LC_MESSAGES"), environmentValue("LANG"));
}

std::string quitQuestionText(std::string_view title, bool japanese) {
    // The title goes in as text, never as a format, so '%' in it is harmless.
    if (japanese)
        return sjis("「") + std::string(title) + sjis("」を終了しますか？");
    return "Do you want to exit " + std::string(title) + "?";
}

} // namespace zuno
