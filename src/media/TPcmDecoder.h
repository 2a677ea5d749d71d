// Decoders of compressed or wrapped sound into PCM. A decoder reads from a
// stream it owns and offers the decoded samples as a seekable byte sequence
// of a known size, in its own PCM format. Positions are bytes of decoded
// PCM and always whole sample frames.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "core/TStream.h"
#include "media/MediaTypes.h"

namespace zuno {

class TPcmDecoder {
public:
    virtual             ~TPcmDecoder() = default;

    virtual TPcmFormat  format() const = 0;
    virtual int64_t     read(void* buffer, int64_t count) = 0;   // bytes read; 0 at the end
    virtual void        seek(int64_t bytePosition) = 0;          // clamped to 0..size, whole frames
    virtual int64_t     position() const = 0;
    virtual int64_t     size() const = 0;                        // bytes of decoded PCM
};

// What a decoder is chosen for: the container the name or the bytes tell.
enum class TSoundKind { automatic, ogg, wav, other };

// Opens the right decoder for the stream: Ogg Vorbis through libvorbisfile,
// RIFF WAV through our own reader, anything else through FFmpeg. With
// `automatic` the first bytes decide. Fails with badSoundDataError.
std::unique_ptr<TPcmDecoder> openPcmDecoder(std::unique_ptr<TStream> stream, TSoundKind kind = TSoundKind::automatic);

// The formats the wave-out engine converts itself: 44100 or 22050 Hz, 8 or
// 16 bits, mono or stereo.
bool                    isEngineFormat(const TPcmFormat& f);

// A decoder whose output the engine takes as it is: the decoder itself when
// its format is an engine format, otherwise the decoder behind a converter
// to 44100 Hz 16-bit stereo (swresample).
std::unique_ptr<TPcmDecoder> toEngineFormat(std::unique_ptr<TPcmDecoder> decoder);

// A decoder whose output is 44100 Hz 16-bit stereo, converting engine
// formats exactly as the wave-out engine does (repeated frames, 8-bit
// samples scaled by 256) and other formats through swresample.
std::unique_ptr<TPcmDecoder> toMixFormat(std::unique_ptr<TPcmDecoder> decoder);

// The three decoders, for callers that know the format.
std::unique_ptr<TPcmDecoder> openWavDecoder(std::unique_ptr<TStream> stream);
std::unique_ptr<TPcmDecoder> openVorbisDecoder(std::unique_ptr<TStream> stream);
std::unique_ptr<TPcmDecoder> openFfmpegDecoder(std::unique_ptr<TStream> stream);

} // namespace zuno
