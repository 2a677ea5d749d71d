// The platform on SDL2: a resizable window whose game area scales (fit by
// default), desktop full screen, the top strip drawn by the player, SDL
// message boxes and the SDL sound device.
//
// Keys the window keeps for itself: Alt+Enter and F11 (toggleFullScreen event).
#pragma once

#include <memory>

#include "platform/TPlatform.h"

namespace zuno {

// Starts SDL's video and event parts; EZunoError when SDL cannot start (no
// display and no usable video driver). The sound part starts in openAudio.
std::unique_ptr<TPlatform> createSdlPlatform();

} // namespace zuno
