// The wave-out mixing engine: every playing source is mixed into blocks of
// 44100 Hz 16-bit stereo whose length is the sound delay; at most two blocks
// are queued on the output. The output's pull is the engine's wake-up: each
// pull first fills (done blocks leave the queue, the queue is topped up to
// two blocks while sources play), then plays the queued blocks in order.
// One lock guards the lists, the pool and every source's fields.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "core/TStream.h"
#include "media/MediaTypes.h"
#include "media/TAudioMixer.h"

namespace zuno {

class TWavOut;

// One source: a stream of decoded PCM in its own format.
class TWavBuffer {
public:
    void                StartSource();                      // playing, not paused, not ended; joins the active list
    void                PauseSource();                      // paused; leaves the active list
    void                SetReadPosition(int32_t bytes);
    void                SetGain(int32_t gain);              // 0..256
    void                SetRepeat(bool on, int32_t loopStartBytes);
    bool                SourceFinished();                   // ended and its last samples have played
    int32_t             PlayingPosition();                  // bytes, in the source's format

    // Field reads (under the engine's lock).
    int32_t             ReadPosition();
    int32_t             Gain();
    bool                Playing();
    bool                PauseOn();
    bool                Ended();
    bool                RepeatOn();
    const TPcmFormat&   SourceFormat() const { return FSourceFormat; }

private:
    friend class TWavOut;
                        TWavBuffer(TWavOut& engine, const TPcmFormat& format, TStream& stream);
    bool                mix(int16_t* block);                // under the lock; true when it contributed

    TWavOut&            FEngine;
    TPcmFormat          FSourceFormat;
    TStream&            FStream;
    bool                FEnded = false;
    uint32_t            FLastFill = 0;
    int32_t             FReadPosition = 0;
    int32_t             FGain = 256;
    bool                FPlaying = false;
    bool                FPauseOn = false;
    bool                FRepeatOn = false;
    int32_t             FLoopStart = 0;
    std::vector<uint8_t> FRead;                             // source bytes of one block
    std::vector<int16_t> FSamples;                          // one block converted
};

class TWavOut : public TMixVoice {
public:
                        TWavOut(int32_t soundDelayMs, TMediaClock clock);
                        ~TWavOut() override;

    int32_t             SoundDelay() const { return FDelay; }
    int32_t             BlockSize() const { return FBlockSize; }

    bool                OpenDevice(bool open);              // false when already open
    void                CloseDevice();                      // frees every source; drops queued blocks
    bool                DeviceOpen();
    TWavBuffer*         AddSource(const TPcmFormat& format, TStream& stream);
    void                RemoveSource(TWavBuffer* source);
    int                 QueuedBlocks();                     // blocks written and not done
    int                 PoolSize();

    void                Fill();                             // one wake-up of the feeding side
    void                mixInto(int16_t* out, int frames) override;   // the device plays

private:
    friend class TWavBuffer;
    struct TMemData {
        std::vector<uint8_t> Data;
        bool            InUse = false;
    };
    struct TWavPrimary {
        TMemData*       Mem = nullptr;
        bool            Prepared = false;
        bool            Written = false;
        int32_t         Played = 0;                         // bytes the device has played
        bool            done() const { return Played >= int32_t(Mem->Data.size()); }
    };

    void                fillLocked();
    bool                mixBlock(int16_t* block);
    TMemData*           takeMemory();

    const int32_t       FDelay;
    const int32_t       FBlockSize;
    TMediaClock         FClock;
    std::mutex          FLock;
    bool                FDeviceOpen = false;
    std::vector<std::unique_ptr<TWavBuffer>> FSources;
    std::vector<TWavBuffer*> FActive;
    std::vector<TWavPrimary> FQueue;                        // TWavPrimaryList
    std::vector<std::unique_ptr<TMemData>> FPool;           // TMemList
};

} // namespace zuno
