// Fuzz target: a standard MIDI file parsed and played through a silent port
// for a few seconds of ticks, with a seek into the middle.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/TStream.h"
#include "media/TMidiPlayV.h"

namespace {

class NullPort : public zuno::TMidiOutPort {
public:
    bool open() override { return FOpen = true; }
    void close() override { FOpen = false; }
    bool isOpen() const override { return FOpen; }
    void shortMessage(uint32_t) override {}
    void longMessage(const std::vector<uint8_t>&) override {}
    void reset() override {}
    std::string name() const override { return "null"; }
    bool FOpen = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zuno;
    NullPort port;
    uint32_t now = 0;
    TMidiPlayV seq(port, [&now] { return now; });
    TKsMemoryStream in(std::vector<uint8_t>(data, data + size));
    seq.LoadSong(in);
    seq.OpenPort();
    seq.SetAutoRepeat(size & 1);
    seq.PlayFrom(0);
    for (int i = 0; i < 300; ++i) {
        now += 10;
        seq.Tick();
    }
    seq.PlayFrom(seq.Length() / 2);
    seq.SetControllerScaleAll(7, 50);
    return 0;
}
