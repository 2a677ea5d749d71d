#include "media/TFluidSynthPort.h"

#include <fluidsynth.h>

#include <algorithm>
#include <filesystem>

#include "media/MediaTypes.h"

namespace zuno {

std::string chooseSoundFont(const std::string& configured) {
    std::error_code ec;
    for (const std::string& path : {configured, std::string("/usr/share/sounds/sf2/FluidR3_GM.sf2"),
                                    std::string("/usr/share/sounds/sf2/TimGM6mb.sf2")})
        if (!path.empty() && std::filesystem::is_regular_file(path, ec))
            return path;
    return {};
}

TFluidSynthPort::TFluidSynthPort(std::string soundFont) : FSoundFont(std::move(soundFont)) {
}

TFluidSynthPort::~TFluidSynthPort() {
    if (FSynth)
        delete_fluid_synth(FSynth);
    if (FSettings)
        delete_fluid_settings(FSettings);
}

bool TFluidSynthPort::open() {
    if (FOpen)
        return true;
    if (!FSynth) {
        if (FSoundFont.empty())
            return false;
        // FluidSynth's own messages (missing samples, unknown presets) are not ours to print.
        for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
            fluid_set_log_function(level, nullptr, nullptr);
        FSettings = new_fluid_settings();
        if (!FSettings)
            return false;
        fluid_settings_setnum(FSettings, "synth.sample-rate", kMixRate);
        fluid_settings_setnum(FSettings, "synth.gain", 0.5);
        fluid_settings_setint(FSettings, "synth.cpu-cores", 1);
        FSynth = new_fluid_synth(FSettings);
        if (!FSynth)
            return false;
        if (fluid_synth_sfload(FSynth, FSoundFont.c_str(), 1) == FLUID_FAILED) {
            delete_fluid_synth(FSynth);
            FSynth = nullptr;
            return false;
        }
    }
    FUntilTick = 0;
    FOpen = true;
    return true;
}

void TFluidSynthPort::close() {
    FOpen = false;
    if (FSynth)
        fluid_synth_system_reset(FSynth);
}

void TFluidSynthPort::shortMessage(uint32_t m) {
    if (!FOpen)
        return;                             // a closed port drops messages
    const int status = m & 0xFF, d1 = (m >> 8) & 0x7F, d2 = (m >> 16) & 0x7F;
    const int c = status & 0x0F;
    switch (status >> 4) {
    case 0x8: fluid_synth_noteoff(FSynth, c, d1); break;
    case 0x9: d2 ? fluid_synth_noteon(FSynth, c, d1, d2) : fluid_synth_noteoff(FSynth, c, d1); break;
    case 0xA: fluid_synth_key_pressure(FSynth, c, d1, d2); break;
    case 0xB: fluid_synth_cc(FSynth, c, d1, d2); break;
    case 0xC: fluid_synth_program_change(FSynth, c, d1); break;
    case 0xD: fluid_synth_channel_pressure(FSynth, c, d1); break;
    case 0xE: fluid_synth_pitch_bend(FSynth, c, d1 | (d2 << 7)); break;
    default: break;
    }
}

void TFluidSynthPort::longMessage(const std::vector<uint8_t>& bytes) {
    if (!FOpen || bytes.size() < 2 || bytes[0] != 0xF0)
        return;
    // FluidSynth takes the message without its F0 and F7.
    size_t n = bytes.size() - 1;
    if (bytes.back() == 0xF7)
        --n;
    fluid_synth_sysex(FSynth, reinterpret_cast<const char*>(bytes.data() + 1), int(n), nullptr, nullptr, nullptr, 0);
}

void TFluidSynthPort::reset() {
    if (FSynth)
        fluid_synth_all_notes_off(FSynth, -1);
}

uint32_t TFluidSynthPort::clockMs() const {
    return uint32_t(FRendered.load() * 1000 / kMixRate);
}

void TFluidSynthPort::mixInto(int16_t* out, int frames) {
    if (!FOpen)
        return;
    FScratch.resize(size_t(kTickFrames) * 2);
    int done = 0;
    while (done < frames) {
        if (FUntilTick == 0) {
            if (OnTick)
                OnTick();
            FUntilTick = kTickFrames;
        }
        const int n = std::min(frames - done, FUntilTick);
        fluid_synth_write_s16(FSynth, n, FScratch.data(), 0, 2, FScratch.data(), 1, 2);
        int16_t* o = out + size_t(done) * 2;
        for (int i = 0; i < n * 2; ++i)
            o[i] = addSaturated(o[i], FScratch[size_t(i)]);
        done += n;
        FUntilTick -= n;
        FRendered += n;
    }
}

} // namespace zuno
