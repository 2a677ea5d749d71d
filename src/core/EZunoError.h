// The one error class of the player. It carries the system's own message text
// in Shift-JIS (code page 932); what() gives the same text in UTF-8 for printing.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace zuno {

class EZunoError : public std::exception {
public:
    explicit            EZunoError(std::string sjisMessage);   // message in code page 932
    static EZunoError   fromUtf8(std::string_view utf8Message); // message written in UTF-8 source text

    const std::string&  message() const { return FMessage; }   // Shift-JIS text
    const char*         what() const noexcept override;         // UTF-8 text

private:
    std::string         FMessage;
    std::string         FUtf8;
};

// "%s:ファイルがありません" with the name for %s (name in Shift-JIS).
EZunoError              fileNotFoundError(std::string_view sjisName);

} // namespace zuno
