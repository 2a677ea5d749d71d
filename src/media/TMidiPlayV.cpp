#include "media/TMidiPlayV.h"

#include <algorithm>

namespace zuno {

constexpr int kControllerVolume = 7;
constexpr int kControllerAllNotesOff = 123;

TMidiPlayV::TMidiPlayV(TMidiOutPort& port, TMediaClock clock) : FPort(port), FClock(std::move(clock)) {
    for (auto& channel : FScale)
        std::fill(std::begin(channel), std::end(channel), 100);
}

void TMidiPlayV::LoadSong(TStream& stream) {
    StopPlayback();
    std::lock_guard<std::recursive_mutex> g(FLock);
    Parse(stream);
    FIndex = 0;
    FPosition = 0;
    for (auto& channel : FLastValue)
        channel[kControllerVolume] = 127;
}

bool TMidiPlayV::OpenPort() {
    std::lock_guard<std::recursive_mutex> g(FLock);
    return FPort.isOpen() || FPort.open();
}

void TMidiPlayV::ClosePort() {
    std::lock_guard<std::recursive_mutex> g(FLock);
    if (!FPort.isOpen())
        return;
    FEnabled = false;
    FPort.reset();
    FPort.close();
}

bool TMidiPlayV::PortOpen() {
    std::lock_guard<std::recursive_mutex> g(FLock);
    return FPort.isOpen();
}

void TMidiPlayV::AllNotesOff() {
    std::lock_guard<std::recursive_mutex> g(FLock);
    allNotesOffLocked();
}

void TMidiPlayV::allNotesOffLocked() {
    if (!FPort.isOpen())
        return;
    for (uint32_t c = 0; c < 16; ++c)
        FPort.shortMessage((0xB0 | c) | (kControllerAllNotesOff << 8));
}

void TMidiPlayV::SendMasterVolume() {
    std::lock_guard<std::recursive_mutex> g(FLock);
    if (FPort.isOpen())
        FPort.longMessage({0xF0, 0x7F, 0x7F, 0x04, 0x01, 0x00, 0x7F, 0xF7});
}

void TMidiPlayV::SetAutoRepeat(bool on) {
    std::lock_guard<std::recursive_mutex> g(FLock);
    FAutoRepeat = on;
}

int32_t TMidiPlayV::targetIndex(int32_t ms) const {
    const int32_t count = int32_t(FEvents.size());
    for (int32_t i = 0; i < count; ++i) {
        if (FEvents[size_t(i)].EventTime == ms)
            return i;
        if (FEvents[size_t(i)].EventTime > ms)
            return std::max(0, i - 1);
    }
    return 0;                               // beyond the last event: from the start
}

void TMidiPlayV::PlayFrom(int32_t ms) {
    std::lock_guard<std::recursive_mutex> g(FLock);
    FEnabled = false;
    const int32_t d = targetIndex(ms);
    if (d < FIndex) {
        allNotesOffLocked();
        FIndex = 0;
        FPosition = 0;
    } else if (d > FIndex) {
        allNotesOffLocked();
    }
    // The chase: controllers, programs, bends and system-exclusive messages
    // on the way are sent, notes are not.
    while (FIndex < d) {
        const TMidiMsgEvent& e = FEvents[size_t(FIndex)];
        FPosition = e.EventTime;
        if (e.EventClass != mecNoteOn && e.EventClass != mecNoteOff)
            send(e);
        ++FIndex;
    }
    FPrevTick = FClock();
    FEnabled = true;
}

void TMidiPlayV::StopPlayback() {
    std::lock_guard<std::recursive_mutex> g(FLock);
    if (!FEnabled)
        return;
    FEnabled = false;
    allNotesOffLocked();
}

void TMidiPlayV::SetControllerScale(int channel, int controller, int32_t percent) {
    std::lock_guard<std::recursive_mutex> g(FLock);
    if (channel < 0 || channel > 15 || controller < 0 || controller > 127)
        return;
    FScale[channel][controller] = percent;
    if (FEnabled)
        sendController(channel, controller);
}

void TMidiPlayV::SetControllerScaleAll(int controller, int32_t percent) {
    std::lock_guard<std::recursive_mutex> g(FLock);
    for (int c = 0; c < 16; ++c)
        SetControllerScale(c, controller, percent);
}

void TMidiPlayV::sendController(int channel, int controller) {
    // Scales above 100 could give values above 127: they are sent as 127.
    const int32_t value = std::clamp<int32_t>(FLastValue[channel][controller] * FScale[channel][controller] / 100, 0, 127);
    FPort.shortMessage(uint32_t(0xB0 | channel) | uint32_t(controller) << 8 | uint32_t(value) << 16);
}

void TMidiPlayV::send(const TMidiMsgEvent& e) {
    switch (e.EventKind) {
    case mekChannel:
        if (e.EventClass == mecControlChange && e.Data.size() >= 3) {
            const int c = e.Data[0] & 0x0F;
            const int n = e.Data[1] & 0x7F;
            FLastValue[c][n] = e.Data[2];
            sendController(c, n);
        } else {
            uint32_t m = e.Data[0];
            if (e.Data.size() > 1)
                m |= uint32_t(e.Data[1]) << 8;
            if (e.Data.size() > 2)
                m |= uint32_t(e.Data[2]) << 16;
            FPort.shortMessage(m);
        }
        break;
    case mekSysEx:
        FPort.longMessage(e.Data);
        break;
    case mekMeta:
        if (e.EventClass == mecTempo && e.Data.size() >= 5) {
            const int32_t tempo = int32_t(e.Data[2]) << 16 | int32_t(e.Data[3]) << 8 | e.Data[4];
            if (tempo > 0)
                FTempoBpm = 60000000 / tempo;
        }
        break;
    }
}

void TMidiPlayV::Tick() {
    std::lock_guard<std::recursive_mutex> g(FLock);
    if (!FEnabled)
        return;
    const int32_t count = int32_t(FEvents.size());
    if (count == 0 || (!FAutoRepeat && FIndex >= count - 1))
        return;
    const uint32_t now = FClock();
    FPosition += int32_t(std::min<uint32_t>(kMaxElapsed, now - FPrevTick));
    FPrevTick = now;
    for (int guard = 0; guard <= count + 1;) {
        const TMidiMsgEvent& e = FEvents[size_t(FIndex)];
        if (e.EventTime >= FPosition)
            break;
        if (FIndex < count - 1) {
            send(e);
            ++FIndex;
        } else if (FAutoRepeat) {
            allNotesOffLocked();
            FIndex = 0;
            FPosition = FEvents[0].EventTime;
            ++guard;                        // a piece of one instant loops once per tick
        } else {
            break;
        }
    }
}

bool TMidiPlayV::Playing() { std::lock_guard<std::recursive_mutex> g(FLock); return FEnabled; }
bool TMidiPlayV::AtEnd() {
    std::lock_guard<std::recursive_mutex> g(FLock);
    return !FAutoRepeat && FIndex >= int32_t(FEvents.size()) - 1;
}
int32_t TMidiPlayV::Position() { std::lock_guard<std::recursive_mutex> g(FLock); return FPosition; }
int32_t TMidiPlayV::Length() { std::lock_guard<std::recursive_mutex> g(FLock); return FTotalLength; }
int32_t TMidiPlayV::CurrentIndex() { std::lock_guard<std::recursive_mutex> g(FLock); return FIndex; }
int32_t TMidiPlayV::Tempo() { std::lock_guard<std::recursive_mutex> g(FLock); return FTempoBpm; }
int32_t TMidiPlayV::LastValue(int channel, int controller) {
    std::lock_guard<std::recursive_mutex> g(FLock);
    return FLastValue[channel & 15][controller & 127];
}

} // namespace zuno
