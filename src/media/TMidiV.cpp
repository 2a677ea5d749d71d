#include "media/TMidiV.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zuno {

namespace {

// Reads a big-endian variable-length quantity (at most 4 bytes) within [p, end).
bool readVarLen(const uint8_t*& p, const uint8_t* end, uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (p >= end)
            return false;
        const uint8_t b = *p++;
        value = (value << 7) | (b & 0x7F);
        if (!(b & 0x80))
            return true;
    }
    return true;
}

uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
uint16_t be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

const uint8_t kModuleReset[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};

TMidiEventClass channelClass(uint8_t status, uint8_t data2) {
    switch (status >> 4) {
    case 0x8: return mecNoteOff;
    case 0x9: return data2 == 0 ? mecNoteOff : mecNoteOn;
    case 0xA: return mecKeyPressure;
    case 0xB: return mecControlChange;
    case 0xC: return mecProgramChange;
    case 0xD: return mecChannelPressure;
    default:  return mecPitchBend;
    }
}

} // namespace

bool TMidiV::isModuleReset(const std::vector<uint8_t>& data) {
    return data.size() == sizeof kModuleReset && std::memcmp(data.data(), kModuleReset, sizeof kModuleReset) == 0;
}

void TMidiV::Parse(TStream& s) {
    FEvents.clear();
    FDivision = 0;
    FTrackCount = 0;
    FTotalLength = 0;
    // The whole file is read once; every track is a window into it.
    const int64_t size = std::max<int64_t>(0, s.GetSize());
    std::vector<uint8_t> file(size_t(std::min<int64_t>(size, int64_t(64) << 20)));
    s.SetPosition(0);
    file.resize(size_t(std::max<int64_t>(0, s.Read(file.data(), int64_t(file.size())))));
    const uint8_t* p = file.data();
    const uint8_t* end = p + file.size();
    if (file.size() < 14 || std::memcmp(p, "MThd", 4) != 0)
        return;
    // The header length is skipped as a field: format, track count and
    // division follow it directly.
    FTrackCount = be16(p + 10);
    FDivision = be16(p + 12);
    p += 14;
    for (int32_t t = 0; t < FTrackCount && end - p >= 8; ++t) {
        const bool isTrack = std::memcmp(p, "MTrk", 4) == 0;
        const int64_t length = std::min<int64_t>(be32(p + 4), end - (p + 8));
        p += 8;
        if (isTrack && length > 0)
            readTrack(p, length, t);
        p += length;                        // a chunk of another kind is skipped whole
    }
    // Events of the same tick keep their reading order.
    std::stable_sort(FEvents.begin(), FEvents.end(),
                     [](const TMidiMsgEvent& a, const TMidiMsgEvent& b) { return a.EventTick < b.EventTick; });
    int32_t tempo = 500000;
    const int32_t division = std::max<int32_t>(1, FDivision);
    int64_t time = 0;
    int32_t previousTick = 0;
    for (TMidiMsgEvent& e : FEvents) {
        const float m = float(tempo) / float(division) / 1000.0f;
        time += int64_t(std::nearbyint(double(m) * double(e.EventTick - previousTick)));
        time = std::min<int64_t>(time, INT32_MAX);
        previousTick = e.EventTick;
        e.EventTime = int32_t(time);
        if (e.EventClass == mecTempo && e.Data.size() >= 5)
            tempo = int32_t(e.Data[2]) << 16 | int32_t(e.Data[3]) << 8 | e.Data[4];
    }
    if (!FEvents.empty())
        FTotalLength = FEvents.back().EventTime;
}

void TMidiV::readTrack(const uint8_t* p, int64_t length, int32_t track) {
    const uint8_t* end = p + length;
    int64_t tick = 0;
    FRunningStatus = 0;
    while (p < end) {
        uint32_t delta;
        if (!readVarLen(p, end, delta) || p >= end)
            return;
        tick = std::min<int64_t>(tick + delta, INT32_MAX);
        TMidiMsgEvent e;
        e.EventTick = int32_t(tick);
        e.EventDelta = int32_t(std::min<uint32_t>(delta, INT32_MAX));
        e.TrackNo = track;
        uint8_t status = *p;
        if (status & 0x80)
            ++p;
        else if (FRunningStatus)
            status = FRunningStatus;        // the byte is the first data byte
        else
            return;                         // data without any status: the track ends here
        if (status == 0xFF) {
            if (p >= end)
                return;
            const uint8_t type = *p++;
            uint32_t len;
            if (!readVarLen(p, end, len) || len > uint32_t(end - p))
                return;
            e.EventKind = mekMeta;
            e.EventClass = type == 0x51 ? mecTempo : (type == 0x2F ? mecEndOfTrack : mecOtherMeta);
            e.Data.reserve(len + 2);
            e.Data.push_back(0xFF);
            e.Data.push_back(type);
            e.Data.insert(e.Data.end(), p, p + len);
            p += len;
        } else if (status == 0xF0 || status == 0xF7) {
            uint32_t len;
            if (!readVarLen(p, end, len) || len > uint32_t(end - p))
                return;
            e.EventKind = mekSysEx;
            e.Data.reserve(len + 1);
            e.Data.push_back(status);
            e.Data.insert(e.Data.end(), p, p + len);
            p += len;
            e.EventClass = isModuleReset(e.Data) ? mecModuleReset : mecOtherSysEx;
        } else if (status >= 0x80 && status < 0xF0) {
            const int n = (status >> 4) == 0xC || (status >> 4) == 0xD ? 1 : 2;
            if (end - p < n)
                return;
            FRunningStatus = status;
            e.EventKind = mekChannel;
            e.Data = {status, uint8_t(p[0] & 0x7F)};
            if (n == 2)
                e.Data.push_back(uint8_t(p[1] & 0x7F));
            p += n;
            e.EventClass = channelClass(status, n == 2 ? e.Data[2] : 0);
        } else {
            return;                         // system common and real-time bytes do not belong in a file
        }
        e.EventNo = int32_t(FEvents.size());
        const bool endOfTrack = e.EventClass == mecEndOfTrack;
        FEvents.push_back(std::move(e));
        if (endOfTrack)
            return;
    }
}

} // namespace zuno
