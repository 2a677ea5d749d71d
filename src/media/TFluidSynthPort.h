// The MIDI output port: a FluidSynth synthesiser without an audio driver.
// As a voice of the mixer it renders its samples with fluid_synth_write_s16
// in steps of 10 ms of output and runs the sequencer's tick before each
// step, so the sequencer's clock is the count of samples rendered.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "media/TAudioMixer.h"
#include "media/TMidiOutPort.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;

namespace zuno {

// The sound font: `configured` when it names a file, else FluidR3_GM when
// installed, else TimGM6mb; empty when none of them is there.
std::string             chooseSoundFont(const std::string& configured);

class TFluidSynthPort : public TMidiOutPort, public TMixVoice {
public:
    static constexpr int kTickFrames = 441;                  // 10 ms at 44100 Hz

    explicit            TFluidSynthPort(std::string soundFont);
                        ~TFluidSynthPort() override;

    bool                open() override;                     // false when no synthesiser or sound font
    void                close() override;
    bool                isOpen() const override { return FOpen; }
    void                shortMessage(uint32_t message) override;
    void                longMessage(const std::vector<uint8_t>& bytes) override;
    void                reset() override;
    std::string         name() const override { return "FluidSynth"; }

    void                mixInto(int16_t* out, int frames) override;
    uint32_t            clockMs() const;                     // milliseconds of samples rendered
    std::function<void()> OnTick;                            // the sequencer's tick

private:
    std::string         FSoundFont;
    fluid_settings_t*   FSettings = nullptr;
    fluid_synth_t*      FSynth = nullptr;
    std::atomic<bool>   FOpen{false};
    std::atomic<int64_t> FRendered{0};
    int                 FUntilTick = 0;
    std::vector<int16_t> FScratch;
};

} // namespace zuno
