// The full-screen display modes a game may use, and the one chosen for it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/TPlatform.h"

namespace zuno {

struct TModeChoice {
    std::vector<TDisplayMode> modes;    // the usable modes, in the display's order
    int32_t             chosen = -1;    // index into modes, -1 when there is none
};

// Keeps the modes at least minWidth × minHeight with more than 15 bits per
// pixel. The first kept mode is chosen until a better one comes: a mode of the
// preferred size beats one of another size; among modes of the preferred size,
// one in the desktop depth beats one in another depth, and between two in the
// desktop depth the lower refresh rate wins.
TModeChoice             chooseDisplayModes(const std::vector<TDisplayMode>& offered, int32_t minWidth, int32_t minHeight,
                                           int32_t preferredWidth, int32_t preferredHeight, int32_t desktopDepth);

} // namespace zuno
