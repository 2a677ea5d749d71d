// The seam between the player and the machine: window and presentation, input,
// the millisecond clock, message boxes, the single-instance lock, the temporary
// folder, the shell "open" verb, display modes, the sound device and the
// mounted CD roots. Nothing outside src/platform talks to SDL or to the
// operating system for these services.
//
// Two implementations exist: the SDL one (createSdlPlatform, sdl/SdlPlatform.h)
// for a real window, and the headless one (THeadlessPlatform,
// headless/HeadlessPlatform.h) with a virtual clock and scripted input.
//
// All texts crossing this interface are UTF-8. All coordinates in input events
// are game-screen pixels (the scene buffer's pixels), whatever the window size.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/TSceneBuffer.h"

namespace zuno {

// One input event, already mapped to game pixels and Windows virtual-key codes.
enum class TInputKind {
    mouseMove,          // x, y
    mouseDown,          // button, x, y (the mouse moves there first)
    mouseUp,            // button, x, y
    wheel,              // delta: +1 one notch up, -1 one notch down
    keyDown,            // key: virtual-key code (auto-repeats are not reported)
    keyUp,              // key
    activate,           // the window gained the focus
    deactivate,         // the window lost the focus
    quit,               // the window's close request
    requestQuit,        // the strip button "終了": ask the quit question
    toggleFullScreen,   // the strip button "画面切替", Alt+Enter or F11
    textInput,          // text: typed or committed text (UTF-8)
    textComposition,    // text: the input method's composition in progress (UTF-8, empty when it ends),
                        // x: the composition's cursor in characters
};

enum class TMouseButton { left, right };

struct TInputEvent {
    TInputKind          kind = TInputKind::mouseMove;
    TMouseButton        button = TMouseButton::left;
    int32_t             x = 0;          // game pixels; may lie outside the game area
    int32_t             y = 0;
    int32_t             key = 0;        // virtual-key code, 1..255
    int32_t             delta = 0;      // wheel notches
    std::string         text;           // textInput, textComposition
    bool                operator==(const TInputEvent&) const = default;
};

// One display mode as the display offers it.
struct TDisplayMode {
    int32_t             width = 0;
    int32_t             height = 0;
    int32_t             bitsPerPixel = 0;
    int32_t             refreshRate = 0;    // Hz, 0 when unknown
    bool                operator==(const TDisplayMode&) const = default;
};

// How the game area fills the space it is given.
enum class TScaleMode {
    fit,                // largest aspect-preserving size, centred (the default)
    integer,            // largest whole multiple that fits (fit when even 1x does not)
    stretch,            // the whole space, aspect ignored
};

enum class TMessageButtons { ok, yesNo };
enum class TMessageIcon { warning, information, question };
enum class TMessageAnswer { ok, yes, no };

// Called on the sound thread (SDL) or inside THeadlessPlatform::advanceFrame:
// fill frameCount stereo frames (2 × frameCount interleaved signed 16-bit samples).
using TAudioCallback = std::function<void(int16_t* samples, int frameCount)>;

constexpr int kAudioRate = 44100;       // sound device: 44100 Hz, 16-bit, stereo
constexpr int kAudioChannels = 2;

class TPlatform {
public:
    virtual                 ~TPlatform() = default;

    // --- window and presentation
    virtual bool            openWindow(const std::string& title, int gameWidth, int gameHeight) = 0; // false: no window possible
    virtual void            setTitle(const std::string& title) = 0;                      // UTF-8
    virtual bool            present(const TSceneBuffer& scene, const std::vector<TPresentRect>& changed) = 0; // true when something was shown
    virtual void            setFullScreen(bool on) = 0;                                  // desktop full screen, scaled
    virtual bool            isFullScreen() const = 0;
    virtual void            setScaleMode(TScaleMode mode) = 0;
    virtual void            warpMouse(int gameX, int gameY) = 0;                         // move the cursor to a game pixel
    virtual void            setCursorImage(const uint32_t* argb, int width, int height, int hotX, int hotY) = 0; // 0xAARRGGBB rows; nullptr: the arrow
    virtual void            showCursor(bool visible) = 0;

    // --- input and time
    virtual void            pollInput(std::vector<TInputEvent>& out) = 0;                // appends the events waiting now
    virtual uint32_t        ticks() const = 0;                                           // milliseconds, monotonic, wraps at 2^32
    virtual void            sleep(int milliseconds) = 0;                                 // SDL: waits; headless: returns at once

    // --- message boxes
    virtual TMessageAnswer  messageBox(const std::string& caption, const std::string& text, TMessageButtons buttons,
                                       TMessageIcon icon, TMessageAnswer defaultAnswer) = 0; // headless: standard error + default

    // --- display modes
    virtual std::vector<TDisplayMode> displayModes() const = 0;                          // in the display's order
    virtual int32_t         desktopDepth() const = 0;                                    // bits per pixel, 24 when unknown

    // --- sound device
    virtual bool            openAudio(TAudioCallback callback) = 0;                      // false: silence (never an error)
    virtual void            closeAudio() = 0;
    virtual void            lockAudio() = 0;                                             // keeps the callback out while held
    virtual void            unlockAudio() = 0;

    // --- operating system services (the same for both implementations)
    virtual bool            acquireInstanceLock(const std::string& mutexName);           // false: another holder exists
    virtual void            releaseInstanceLock();
    virtual std::string     temporaryFolder() const;                                     // with a trailing '/'
    virtual bool            shellOpen(const std::string& target);                        // xdg-open, not waited for
    virtual std::vector<std::string> cdRoots() const;                                    // mounted iso9660/udf roots, '/' ended
    // The clipboard's text (UTF-8); without a system clipboard it stays in the process.
    virtual std::string     clipboardText() { return FClipboard; }
    virtual void            setClipboardText(const std::string& text) { FClipboard = text; }

protected:
    int                     FLockFd = -1;
    std::string             FClipboard;
};

} // namespace zuno
