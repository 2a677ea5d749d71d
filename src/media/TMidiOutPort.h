// A MIDI output port as the sequencer sees it: open and close, short
// messages (status | data1 << 8 | data2 << 16), system-exclusive messages,
// reset (all notes off).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zuno {

class TMidiOutPort {
public:
    virtual             ~TMidiOutPort() = default;
    virtual bool        open() = 0;
    virtual void        close() = 0;
    virtual bool        isOpen() const = 0;
    virtual void        shortMessage(uint32_t message) = 0;
    virtual void        longMessage(const std::vector<uint8_t>& bytes) = 0;   // F0 ... F7 (or F7 ...)
    virtual void        reset() = 0;
    virtual std::string name() const = 0;
};

} // namespace zuno
