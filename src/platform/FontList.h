// The fonts installed on the machine, as fontconfig lists them: what
// "@Fonts" and "@FixedFonts" are built from.
#pragma once

#include <string>
#include <vector>

namespace zuno {

struct TInstalledFont {
    std::string         Family;             // UTF-8, the first family name
    bool                Outline = false;    // a TrueType (or OpenType) outline font
    bool                FixedPitch = false; // mono or char-cell spacing
    bool                Japanese = false;   // covers the Japanese language
};

std::vector<TInstalledFont> listInstalledFonts();

} // namespace zuno
