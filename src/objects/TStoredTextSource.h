// Where message boxes and backlogs read the stored text of a TextIns
// command. Neither keeps message text: they refer to it by page name and
// command index and read it again when they lay it out. The script runtime
// provides the implementation (pages live above the display objects).
#pragma once

#include <cstdint>
#include <string>

namespace zuno {

class TStoredTextSource {
public:
    virtual             ~TStoredTextSource() = default;
    // The game has a page file of that name.
    virtual bool        PageExists(const std::string& page) = 0;
    // The marked-up text of command `index` of the page: false when the page
    // has no such command or it is not a TextIns command. A page that cannot
    // be loaded raises EZunoError.
    virtual bool        CommandText(const std::string& page, int32_t index, std::string& text) = 0;
};

} // namespace zuno
