#include "media/TWavOut.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "media/PcmConvert.h"

namespace zuno {

//==============================================================================
// TWavBuffer
//==============================================================================

TWavBuffer::TWavBuffer(TWavOut& engine, const TPcmFormat& format, TStream& stream)
    : FEngine(engine), FSourceFormat(format), FStream(stream) {
}

void TWavBuffer::StartSource() {
    std::lock_guard<std::mutex> g(FEngine.FLock);
    FPlaying = true;
    FPauseOn = false;
    FEnded = false;
    auto& a = FEngine.FActive;
    if (std::find(a.begin(), a.end(), this) == a.end())
        a.push_back(this);
}

void TWavBuffer::PauseSource() {
    std::lock_guard<std::mutex> g(FEngine.FLock);
    FPauseOn = true;
    auto& a = FEngine.FActive;
    a.erase(std::remove(a.begin(), a.end(), this), a.end());
}

void TWavBuffer::SetReadPosition(int32_t bytes) {
    std::lock_guard<std::mutex> g(FEngine.FLock);
    FReadPosition = bytes;
}

void TWavBuffer::SetGain(int32_t gain) {
    std::lock_guard<std::mutex> g(FEngine.FLock);
    FGain = std::clamp<int32_t>(gain, 0, 256);
}

void TWavBuffer::SetRepeat(bool on, int32_t loopStartBytes) {
    std::lock_guard<std::mutex> g(FEngine.FLock);
    FRepeatOn = on;
    FLoopStart = loopStartBytes;
}

bool TWavBuffer::SourceFinished() {
    std::lock_guard<std::mutex> g(FEngine.FLock);
    const uint32_t since = FEngine.FClock() - FLastFill;
    return FEnded && since > uint32_t(2 * FEngine.FDelay + 10);
}

int32_t TWavBuffer::PlayingPosition() {
    std::lock_guard<std::mutex> g(FEngine.FLock);
    const uint32_t since = FEngine.FClock() - FLastFill;
    if (since > uint32_t(2 * FEngine.FDelay))
        return FReadPosition;
    const TPcmFormat& f = FSourceFormat;
    const double perMs = double(f.BitsPerSample) * f.Channels * f.SamplesPerSec / 8000.0;
    const int64_t delayBytes = std::llround(perMs * FEngine.FDelay);
    const int64_t elapsedBytes = std::llround(perMs * since);
    const int64_t size = FStream.GetSize();
    return int32_t(std::clamp<int64_t>(int64_t(FReadPosition) - delayBytes + elapsedBytes, 0, size));
}

int32_t TWavBuffer::ReadPosition() { std::lock_guard<std::mutex> g(FEngine.FLock); return FReadPosition; }
int32_t TWavBuffer::Gain() { std::lock_guard<std::mutex> g(FEngine.FLock); return FGain; }
bool TWavBuffer::Playing() { std::lock_guard<std::mutex> g(FEngine.FLock); return FPlaying; }
bool TWavBuffer::PauseOn() { std::lock_guard<std::mutex> g(FEngine.FLock); return FPauseOn; }
bool TWavBuffer::Ended() { std::lock_guard<std::mutex> g(FEngine.FLock); return FEnded; }
bool TWavBuffer::RepeatOn() { std::lock_guard<std::mutex> g(FEngine.FLock); return FRepeatOn; }

bool TWavBuffer::mix(int16_t* block) {
    const int64_t size = FStream.GetSize();
    // A source that was never started is stopped: it waits like a paused one.
    if (size <= 0 || FEnded || FPauseOn || !FPlaying)
        return false;
    const int64_t frames = FEngine.FBlockSize / kMixBytesPerFrame;
    const int64_t want = engineSourceBytes(FSourceFormat, frames);
    if (want <= 0)
        return false;                       // a format the engine does not take stays silent
    // 1. Read one block's worth; at the end continue at the loop start when repeating.
    FRead.resize(size_t(want));
    FStream.Seek(FReadPosition, soBeginning);
    int64_t got = 0;
    bool wrapped = false;
    while (got < want) {
        const int64_t n = FStream.Read(FRead.data() + got, want - got);
        if (n > 0) {
            got += n;
            wrapped = false;
            continue;
        }
        if (!FRepeatOn || wrapped || FLoopStart >= size)
            break;
        FStream.Seek(FLoopStart, soBeginning);
        wrapped = true;                     // a second empty read in a row stops
    }
    FReadPosition = int32_t(FStream.GetPosition());
    // 2. Convert; 3. gain; 4. add, saturating.
    FSamples.resize(size_t(frames) * 2);
    const int64_t out = convertEngineFormat(FSourceFormat, FRead.data(), got, FSamples.data());
    const int64_t count = out * 2;
    if (FGain < 255)
        for (int64_t i = 0; i < count; ++i)
            FSamples[size_t(i)] = int16_t((int32_t(FSamples[size_t(i)]) * FGain) >> 8);
    for (int64_t i = 0; i < count; ++i)
        block[i] = addSaturated(block[i], FSamples[size_t(i)]);
    // 5.
    FEnded = FReadPosition >= size;
    FLastFill = FEngine.FClock();
    return true;
}

//==============================================================================
// TWavOut
//==============================================================================

TWavOut::TWavOut(int32_t soundDelayMs, TMediaClock clock)
    : FDelay(soundDelayMs), FBlockSize(soundDelayMs * kMixBytesPerSecond / 1000), FClock(std::move(clock)) {
}

TWavOut::~TWavOut() {
    CloseDevice();
}

bool TWavOut::OpenDevice(bool open) {
    std::lock_guard<std::mutex> g(FLock);
    if (FDeviceOpen)
        return false;
    if (open)
        FDeviceOpen = true;                 // the mixer's output stands for the wave mapper
    while (FPool.size() < 4)
        FPool.push_back(std::make_unique<TMemData>());
    return true;
}

void TWavOut::CloseDevice() {
    std::lock_guard<std::mutex> g(FLock);
    FActive.clear();
    FSources.clear();
    for (TWavPrimary& p : FQueue)
        p.Mem->InUse = false;
    FQueue.clear();
    FDeviceOpen = false;
}

bool TWavOut::DeviceOpen() {
    std::lock_guard<std::mutex> g(FLock);
    return FDeviceOpen;
}

TWavBuffer* TWavOut::AddSource(const TPcmFormat& format, TStream& stream) {
    std::lock_guard<std::mutex> g(FLock);
    FSources.push_back(std::unique_ptr<TWavBuffer>(new TWavBuffer(*this, format, stream)));
    return FSources.back().get();
}

void TWavOut::RemoveSource(TWavBuffer* source) {
    std::lock_guard<std::mutex> g(FLock);
    FActive.erase(std::remove(FActive.begin(), FActive.end(), source), FActive.end());
    FSources.erase(std::remove_if(FSources.begin(), FSources.end(),
                                  [&](const std::unique_ptr<TWavBuffer>& s) { return s.get() == source; }),
                   FSources.end());
}

int TWavOut::QueuedBlocks() {
    std::lock_guard<std::mutex> g(FLock);
    return int(std::count_if(FQueue.begin(), FQueue.end(), [](const TWavPrimary& p) { return !p.done(); }));
}

int TWavOut::PoolSize() {
    std::lock_guard<std::mutex> g(FLock);
    return int(FPool.size());
}

void TWavOut::Fill() {
    std::lock_guard<std::mutex> g(FLock);
    fillLocked();
}

TWavOut::TMemData* TWavOut::takeMemory() {
    for (auto& m : FPool)
        if (!m->InUse) {
            m->InUse = true;
            return m.get();
        }
    FPool.push_back(std::make_unique<TMemData>());
    FPool.back()->InUse = true;
    return FPool.back().get();
}

void TWavOut::fillLocked() {
    // 1. Done blocks leave the queue (all of them without a device).
    for (auto it = FQueue.begin(); it != FQueue.end();) {
        if (it->done() || !FDeviceOpen) {
            it->Mem->InUse = false;
            it = FQueue.erase(it);
        } else {
            ++it;
        }
    }
    // 2. Twice: top the queue up to two blocks while sources play.
    for (int i = 0; i < 2; ++i) {
        if (FQueue.size() > 1 || FActive.empty())
            continue;
        TWavPrimary p;
        p.Mem = takeMemory();
        p.Mem->Data.resize(size_t(FBlockSize));
        p.Prepared = FDeviceOpen;
        if (mixBlock(reinterpret_cast<int16_t*>(p.Mem->Data.data())) && p.Prepared) {
            p.Written = true;
            FQueue.push_back(p);
        } else {
            p.Mem->InUse = false;
        }
    }
}

bool TWavOut::mixBlock(int16_t* block) {
    std::memset(block, 0, size_t(FBlockSize));
    bool filled = false;
    for (auto& s : FSources)
        filled |= s->mix(block);
    return filled;
}

void TWavOut::mixInto(int16_t* out, int frames) {
    std::lock_guard<std::mutex> g(FLock);
    if (!FDeviceOpen)
        return;
    fillLocked();
    int done = 0;
    while (done < frames) {
        auto it = std::find_if(FQueue.begin(), FQueue.end(), [](const TWavPrimary& p) { return !p.done(); });
        if (it == FQueue.end()) {
            fillLocked();
            it = std::find_if(FQueue.begin(), FQueue.end(), [](const TWavPrimary& p) { return !p.done(); });
            if (it == FQueue.end())
                break;                      // nothing queued: the device plays silence
        }
        const int16_t* src = reinterpret_cast<const int16_t*>(it->Mem->Data.data()) + it->Played / 2;
        const int n = std::min(frames - done, (int32_t(it->Mem->Data.size()) - it->Played) / kMixBytesPerFrame);
        int16_t* o = out + size_t(done) * 2;
        for (int i = 0; i < n * 2; ++i)
            o[i] = addSaturated(o[i], src[i]);
        it->Played += n * kMixBytesPerFrame;
        done += n;
        if (it->done())
            fillLocked();                   // the device reports it done: the queue is topped up at once
    }
}

} // namespace zuno
