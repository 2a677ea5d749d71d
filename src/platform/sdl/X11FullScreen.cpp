#include "platform/sdl/X11FullScreen.h"

#include <SDL.h>
#include <SDL_syswm.h>

#if defined(ZUNO_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace zuno {

bool windowSystemDoesFullScreen(SDL_Window* window) {
#if defined(ZUNO_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return true;
    Display* display = info.info.x11.display;
    if (!display)
        return true;
    // A compliant window manager lists the full-screen state among the
    // _NET_SUPPORTED atoms on the root window.
    Atom supported = XInternAtom(display, "_NET_SUPPORTED", True);
    Atom fullScreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", True);
    if (supported == None || fullScreen == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    unsigned long offset = 0;
    // The list is read in pieces so a long one is read whole without a
    // guessed upper bound.
    do {
        data = nullptr;
        if (XGetWindowProperty(display, DefaultRootWindow(display), supported, static_cast<long>(offset), 1024,
                               False, XA_ATOM, &type, &format, &count, &after, &data) != Success)
            break;
        if (type == XA_ATOM && format == 32 && data) {
            const Atom* atoms = reinterpret_cast<const Atom*>(data);
            for (unsigned long i = 0; i < count && !found; ++i)
                found = atoms[i] == fullScreen;
        }
        if (data)
            XFree(data);
        offset += count;
    } while (!found && after > 0 && count > 0 && type == XA_ATOM && format == 32);
    return found;
#else
    (void)window;
    return true;
#endif
}

} // namespace zuno
