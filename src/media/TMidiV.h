// Standard MIDI files (formats 0 and 1) parsed into one time-ordered list of
// events with millisecond times. All reading stays inside each track's chunk
// and the stream; a file without "MThd" gives no events.
#pragma once

#include <cstdint>
#include <vector>

#include "core/TStream.h"

namespace zuno {

enum TMidiEventKind : uint8_t { mekChannel = 0, mekSysEx = 1, mekMeta = 2 };

// Event classes the player uses; other meta events are mecOtherMeta, other
// system-exclusive messages mecOtherSysEx.
enum TMidiEventClass : uint8_t {
    mecNoteOn = 1, mecNoteOff = 2, mecKeyPressure = 3, mecControlChange = 4, mecProgramChange = 5,
    mecChannelPressure = 6, mecPitchBend = 7, mecModuleReset = 8, mecTempo = 9, mecOtherSysEx = 10,
    mecEndOfTrack = 18, mecOtherMeta = 19,
};

struct TMidiMsgEvent {
    int32_t             EventTick = 0;      // absolute tick in its track
    int32_t             EventTime = 0;      // milliseconds from the start of the piece
    int32_t             EventDelta = 0;
    int32_t             EventNo = 0;        // reading order over the whole file
    TMidiEventKind      EventKind = mekChannel;
    TMidiEventClass     EventClass = mecOtherMeta;
    int32_t             TrackNo = 0;
    // Channel message: status and data bytes; meta: 0xFF, type, payload;
    // system exclusive: 0xF0 (or 0xF7) and the payload.
    std::vector<uint8_t> Data;
};

using TMidiMsgEvents = std::vector<TMidiMsgEvent>;

class TMidiV {
public:
    void                Parse(TStream& stream);            // replaces the events
    const TMidiMsgEvents& Events() const { return FEvents; }
    int32_t             Division() const { return FDivision; }
    int32_t             TrackCount() const { return FTrackCount; }
    int32_t             TotalLength() const { return FTotalLength; }   // the last event's time

    // The bytes F0 41 10 42 12 40 00 7F 00 41 F7.
    static bool         isModuleReset(const std::vector<uint8_t>& data);

protected:
    TMidiMsgEvents      FEvents;
    int32_t             FDivision = 0;
    int32_t             FTrackCount = 0;
    int32_t             FTotalLength = 0;

private:
    void                readTrack(const uint8_t* p, int64_t length, int32_t track);
    uint8_t             FRunningStatus = 0;
};

} // namespace zuno
