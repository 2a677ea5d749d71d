// SDL key codes to Windows virtual-key codes (platform/VirtualKeys.h).
#pragma once

#include <cstdint>

namespace zuno {

// The virtual-key code of an SDL key code (SDL_Keycode), 0 for keys the game
// cannot see. Letters map by their upper-case code whatever the layout.
int32_t                 sdlKeyToVirtualKey(int32_t sdlKeycode);

} // namespace zuno
