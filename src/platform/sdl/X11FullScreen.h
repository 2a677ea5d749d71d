#pragma once

struct SDL_Window;

namespace zuno {

// Whether desktop full screen of the window can be left to the window
// system: false only on X11 when no running window manager announces
// _NET_WM_STATE_FULLSCREEN (a bare X server such as Xvfb, or a minimal
// manager). There the full-screen request goes nowhere and the window keeps
// its size, so the player places and sizes the window over the display itself.
bool windowSystemDoesFullScreen(SDL_Window* window);

} // namespace zuno
