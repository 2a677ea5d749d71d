// The --audio-dump file: a PCM WAV file (44100 Hz, 16 bits, stereo) of
// everything mixed for the sound output. The header's sizes are brought up
// to date after every write, so the file is complete however the run ends.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace zuno {

class TAudioDump {
public:
                        TAudioDump() = default;
                        ~TAudioDump();
                        TAudioDump(const TAudioDump&) = delete;
    TAudioDump&         operator=(const TAudioDump&) = delete;

    bool                open(const std::string& path);           // UTF-8 path; false when it cannot be written
    void                write(const int16_t* samples, int frames);
    void                close();
    int64_t             framesWritten() const { return FFrames; }

private:
    void                writeHeader();

    std::FILE*          FFile = nullptr;
    int64_t             FFrames = 0;
};

} // namespace zuno
