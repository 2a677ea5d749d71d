#include "media/TAudioDump.h"

#include <vector>

#include "core/StreamFields.h"
#include "media/MediaTypes.h"
#include "media/WavReader.h"

namespace zuno {

TAudioDump::~TAudioDump() {
    close();
}

bool TAudioDump::open(const std::string& path) {
    close();
    FFile = std::fopen(path.c_str(), "wb");
    if (!FFile)
        return false;
    FFrames = 0;
    writeHeader();
    return true;
}

void TAudioDump::writeHeader() {
    const std::vector<uint8_t> header = makeWavFile(kMixFormat, nullptr, 0);
    std::vector<uint8_t> h(header.begin(), header.begin() + 44);
    const uint32_t data = uint32_t(FFrames * kMixBytesPerFrame);
    putLE32(h.data() + 4, 36 + data);
    putLE32(h.data() + 40, data);
    std::fseek(FFile, 0, SEEK_SET);
    std::fwrite(h.data(), 1, h.size(), FFile);
    std::fseek(FFile, 0, SEEK_END);
}

void TAudioDump::write(const int16_t* samples, int frames) {
    if (!FFile || frames <= 0)
        return;
    // Little-endian samples whatever the machine.
    std::vector<uint8_t> bytes(size_t(frames) * kMixBytesPerFrame);
    for (size_t i = 0; i < size_t(frames) * 2; ++i)
        putLE16(bytes.data() + i * 2, uint16_t(samples[i]));
    std::fwrite(bytes.data(), 1, bytes.size(), FFile);
    FFrames += frames;
    writeHeader();
    std::fflush(FFile);
}

void TAudioDump::close() {
    if (!FFile)
        return;
    writeHeader();
    std::fclose(FFile);
    FFile = nullptr;
}

} // namespace zuno
