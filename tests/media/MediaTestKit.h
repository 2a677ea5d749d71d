// Fixtures of the media tests: PCM, WAV and Ogg Vorbis files made in the
// test, a builder of standard MIDI files, a MIDI port that records what it
// is sent, a clock the test moves, and a game folder on disk.
#pragma once

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#ifdef ZUNO_HAVE_VORBISENC
#include <vorbis/vorbisenc.h>
#endif

#include "core/StreamFields.h"
#include "core/TStream.h"
#include "media/MediaTypes.h"
#include "media/TMidiOutPort.h"
#include "media/WavReader.h"
#include "support/TTempFolder.h"

namespace zuno::test {

using Bytes = std::vector<uint8_t>;

inline std::unique_ptr<TStream> memoryStream(const Bytes& b) { return std::make_unique<TKsMemoryStream>(b); }

// Interleaved 16-bit samples as little-endian bytes.
inline Bytes pcm16(const std::vector<int16_t>& samples) {
    Bytes b(samples.size() * 2);
    for (size_t i = 0; i < samples.size(); ++i)
        putLE16(b.data() + i * 2, uint16_t(samples[i]));
    return b;
}

inline std::vector<int16_t> samplesOf(const Bytes& b) {
    std::vector<int16_t> s(b.size() / 2);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = int16_t(getLE16(b.data() + i * 2));
    return s;
}

// `frames` frames of a ramp: sample i of channel c is (i * 7 + c * 1000) mod 20000 - 10000.
inline std::vector<int16_t> ramp(int frames, int channels) {
    std::vector<int16_t> s(size_t(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            s[size_t(i) * channels + c] = int16_t((i * 7 + c * 1000) % 20000 - 10000);
    return s;
}

inline Bytes wavFile(const TPcmFormat& f, const Bytes& data) { return makeWavFile(f, data.data(), int64_t(data.size())); }

inline Bytes constantWav(int frames, int16_t value, int channels = 2, int rate = 44100) {
    return wavFile({channels, rate, 16}, pcm16(std::vector<int16_t>(size_t(frames) * channels, value)));
}

// A sine of `seconds` at `hz`, amplitude 16000, as Ogg Vorbis (quality 0.6);
// empty when the encoder is not linked.
inline Bytes oggSine(double seconds, int rate = 44100, int channels = 2, double hz = 440.0) {
    Bytes out;
#ifdef ZUNO_HAVE_VORBISENC
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, 0.6f) != 0)
        return out;
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1);
    ogg_packet h[3];
    vorbis_analysis_headerout(&vd, &vc, &h[0], &h[1], &h[2]);
    for (auto& p : h)
        ogg_stream_packetin(&os, &p);
    ogg_page og;
    auto put = [&](ogg_page& page) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    while (ogg_stream_flush(&os, &og))
        put(og);
    const int total = int(seconds * rate);
    int done = 0;
    bool eos = false;
    while (!eos) {
        const int n = std::min(1024, total - done);
        if (n > 0) {
            float** buf = vorbis_analysis_buffer(&vd, n);
            for (int i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                    buf[c][i] = float(16000.0 / 32768.0 * std::sin(2 * M_PI * hz * (done + i) / rate));
            vorbis_analysis_wrote(&vd, n);
            done += n;
        } else {
            vorbis_analysis_wrote(&vd, 0);
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet op;
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                while (ogg_stream_pageout(&os, &og)) {
                    put(og);
                    if (ogg_page_eos(&og))
                        eos = true;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
#else
    (void)seconds; (void)rate; (void)channels; (void)hz;
#endif
    return out;
}

//------------------------------------------------------------------------------
// Standard MIDI files
//------------------------------------------------------------------------------

class MidiTrack {
public:
    MidiTrack& delta(uint32_t ticks) {
        uint8_t tmp[5];
        int n = 0;
        tmp[n++] = uint8_t(ticks & 0x7F);
        while (ticks >>= 7)
            tmp[n++] = uint8_t(0x80 | (ticks & 0x7F));
        while (n)
            FBytes.push_back(tmp[--n]);
        return *this;
    }
    MidiTrack& raw(std::initializer_list<uint8_t> bytes) {
        FBytes.insert(FBytes.end(), bytes);
        return *this;
    }
    MidiTrack& event(uint32_t dt, std::initializer_list<uint8_t> bytes) { return delta(dt).raw(bytes); }
    MidiTrack& tempo(uint32_t dt, uint32_t usPerQuarter) {
        return event(dt, {0xFF, 0x51, 0x03, uint8_t(usPerQuarter >> 16), uint8_t(usPerQuarter >> 8), uint8_t(usPerQuarter)});
    }
    MidiTrack& end(uint32_t dt = 0) { return event(dt, {0xFF, 0x2F, 0x00}); }
    const Bytes& bytes() const { return FBytes; }

private:
    Bytes FBytes;
};

inline void putBE32(Bytes& b, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        b.push_back(uint8_t(v >> s));
}

// A file with the given tracks; `lengthFix` replaces a track's stored length when set.
inline Bytes midiFile(const std::vector<MidiTrack>& tracks, uint16_t division = 480, int format = 1,
                      int64_t lengthFix = -1) {
    Bytes b = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, uint8_t(format)};
    b.push_back(uint8_t(tracks.size() >> 8));
    b.push_back(uint8_t(tracks.size()));
    b.push_back(uint8_t(division >> 8));
    b.push_back(uint8_t(division));
    for (const MidiTrack& t : tracks) {
        b.insert(b.end(), {'M', 'T', 'r', 'k'});
        putBE32(b, lengthFix >= 0 ? uint32_t(lengthFix) : uint32_t(t.bytes().size()));
        b.insert(b.end(), t.bytes().begin(), t.bytes().end());
    }
    return b;
}

// A port that records every message.
class RecordingPort : public TMidiOutPort {
public:
    bool open() override { return FOpen = FCanOpen; }
    void close() override { FOpen = false; }
    bool isOpen() const override { return FOpen; }
    void shortMessage(uint32_t m) override {
        if (FOpen)
            Short.push_back(m);
    }
    void longMessage(const std::vector<uint8_t>& bytes) override {
        if (FOpen)
            Long.push_back(bytes);
    }
    void reset() override { ++Resets; }
    std::string name() const override { return "recorder"; }

    // Messages whose status is a note on with a velocity above 0.
    std::vector<uint32_t> notesOn() const {
        std::vector<uint32_t> r;
        for (uint32_t m : Short)
            if ((m & 0xF0) == 0x90 && (m >> 16) != 0)
                r.push_back(m);
        return r;
    }
    bool has(uint32_t m) const { return std::find(Short.begin(), Short.end(), m) != Short.end(); }

    std::vector<uint32_t> Short;
    std::vector<std::vector<uint8_t>> Long;
    int Resets = 0;
    bool FCanOpen = true;
    bool FOpen = false;
};

// A clock the test moves.
struct ManualClock {
    uint32_t now = 1000;
    TMediaClock fn() { return [this] { return now; }; }
};

// A temporary folder that also writes test files into itself.
class TempFolder : public TTempFolder {
public:
    void write(const std::string& name, const Bytes& data) const {
        std::filesystem::create_directories(std::filesystem::path(path(name)).parent_path());
        std::ofstream out(path(name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    }
};

} // namespace zuno::test
