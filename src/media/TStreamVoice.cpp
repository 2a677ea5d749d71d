#include "media/TStreamVoice.h"

#include <algorithm>
#include <cmath>

namespace zuno {

int64_t msToMixBytes(int64_t ms) {
    return std::max<int64_t>(0, ms) * kMixRate / 1000 * kMixBytesPerFrame;
}

int32_t mixBytesToMs(int64_t bytes) {
    return int32_t(std::llround(double(bytes) * 1000.0 / kMixBytesPerSecond));
}

double TStreamVoice::decibelGain(int32_t hundredths) {
    if (hundredths <= -10000)
        return 0.0;
    if (hundredths >= 0)
        return 1.0;
    return std::pow(10.0, hundredths / 2000.0);
}

TStreamVoice::TStreamVoice(std::unique_ptr<TPcmDecoder> decoder, TVolumeLaw law)
    : FDecoder(toMixFormat(std::move(decoder))), FLaw(law) {
}

void TStreamVoice::play() {
    std::lock_guard<std::mutex> g(FLock);
    if (FEnded || FDecoder->position() >= FDecoder->size())
        FDecoder->seek(0);
    FEnded = false;
    FPlaying = true;
    FPaused = false;
}

void TStreamVoice::pause() {
    std::lock_guard<std::mutex> g(FLock);
    if (FPlaying)
        FPaused = true;
}

void TStreamVoice::stop() {
    std::lock_guard<std::mutex> g(FLock);
    FPlaying = false;
    FPaused = false;
}

bool TStreamVoice::isPlaying() { std::lock_guard<std::mutex> g(FLock); return FPlaying && !FPaused; }
bool TStreamVoice::isPaused() { std::lock_guard<std::mutex> g(FLock); return FPaused; }
bool TStreamVoice::reachedEnd() { std::lock_guard<std::mutex> g(FLock); return FEnded; }
bool TStreamVoice::repeat() { std::lock_guard<std::mutex> g(FLock); return FRepeat; }
int32_t TStreamVoice::volume() { std::lock_guard<std::mutex> g(FLock); return FVolume; }
int32_t TStreamVoice::pan() { std::lock_guard<std::mutex> g(FLock); return FPan; }

int32_t TStreamVoice::positionMs() {
    std::lock_guard<std::mutex> g(FLock);
    return mixBytesToMs(FDecoder->position());
}

void TStreamVoice::setPositionMs(int32_t ms) {
    std::lock_guard<std::mutex> g(FLock);
    FDecoder->seek(msToMixBytes(ms));
    FEnded = false;
}

int32_t TStreamVoice::lengthMs() {
    std::lock_guard<std::mutex> g(FLock);
    return mixBytesToMs(FDecoder->size());
}

void TStreamVoice::setRepeat(bool on) {
    std::lock_guard<std::mutex> g(FLock);
    FRepeat = on;
}

void TStreamVoice::setRepeatPosMs(int32_t ms) {
    std::lock_guard<std::mutex> g(FLock);
    FRepeatPos = msToMixBytes(ms);
}

int32_t TStreamVoice::repeatPosMs() {
    std::lock_guard<std::mutex> g(FLock);
    return mixBytesToMs(FRepeatPos);
}

void TStreamVoice::setVolume(int32_t v) {
    std::lock_guard<std::mutex> g(FLock);
    FVolume = std::clamp<int32_t>(v, -10000, 0);
    updateGains();
}

void TStreamVoice::setPan(int32_t p) {
    std::lock_guard<std::mutex> g(FLock);
    FPan = std::clamp<int32_t>(p, -10000, 10000);
    updateGains();
}

void TStreamVoice::updateGains() {
    double v;
    if (FLaw == TVolumeLaw::linearLine)
        v = (std::max(FVolume, -5000) + 5000) / 5000.0;
    else
        v = decibelGain(FVolume);
    // A pan to the right attenuates the left side, and the other way round.
    FGainLeft = v * (FPan > 0 ? decibelGain(-FPan) : 1.0);
    FGainRight = v * (FPan < 0 ? decibelGain(FPan) : 1.0);
}

void TStreamVoice::mixInto(int16_t* out, int frames) {
    std::lock_guard<std::mutex> g(FLock);
    if (!FPlaying || FPaused)
        return;
    FScratch.resize(size_t(frames) * 2);
    int done = 0;
    bool wrapped = false;
    while (done < frames) {
        const int64_t got = FDecoder->read(FScratch.data() + size_t(done) * 2, int64_t(frames - done) * kMixBytesPerFrame);
        if (got > 0) {
            done += int(got / kMixBytesPerFrame);
            wrapped = false;
            continue;
        }
        if (FRepeat && !wrapped && FRepeatPos < FDecoder->size()) {
            FDecoder->seek(FRepeatPos);
            wrapped = true;
            continue;
        }
        FEnded = true;
        FPlaying = false;
        break;
    }
    const bool unity = FGainLeft == 1.0 && FGainRight == 1.0;
    // Scaled samples are rounded to nearest, halves away from zero.
    auto scale = [](int32_t s, double g) {
        const double v = s * g;
        return int32_t(v + (v >= 0 ? 0.5 : -0.5));
    };
    for (int i = 0; i < done; ++i) {
        int32_t l = FScratch[size_t(i) * 2];
        int32_t r = FScratch[size_t(i) * 2 + 1];
        if (!unity) {
            l = scale(l, FGainLeft);
            r = scale(r, FGainRight);
        }
        out[i * 2] = addSaturated(out[i * 2], l);
        out[i * 2 + 1] = addSaturated(out[i * 2 + 1], r);
    }
}

} // namespace zuno
