// The play-state interface of sounds and movies, as the media commands use it.
#pragma once

#include <cstdint>

namespace zuno {

// Play states (the menu's states have the same codes).
enum TPlayState : uint8_t {
    psPlaying = 0,                  // playing
    psStarting = 1,                 // fading in over PR_DELAY ms
    psStopped = 2,
    psStopping = 3,                 // fading out over PR_DELAY ms
};

class TZunoPlayer {
public:
    virtual             ~TZunoPlayer() = default;
    virtual uint8_t     PlayState() const = 0;
    virtual void        Replay() = 0;                   // play again from the start
};

} // namespace zuno
