#include "objects/TFilmManager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "archive/TVrFileManager.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "core/TextHelpers.h"
#include "imaging/TCustomWipe.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoControl.h"

namespace zuno {

//==============================================================================
// Interpolation
//==============================================================================

int32_t filmInterpolate(int curve, int32_t s, int32_t e, int32_t d, int32_t n) {
    if (d == 0)
        return s;
    if (d == n - 1)
        return e;
    constexpr double halfPi = 3.14159265358979323846 / 2;
    const int32_t diff = static_cast<int32_t>(uint32_t(e) - uint32_t(s));
    switch (curve) {
    case 0: {
        // 32-bit products, as the stored values were computed.
        const int32_t product = static_cast<int32_t>(uint32_t(d) * uint32_t(diff));
        return n > 1 ? static_cast<int32_t>(uint32_t(s) + uint32_t(product / (n - 1))) : s;
    }
    case 1:
        return e - static_cast<int32_t>(std::nearbyint(double(diff) * std::sin(double(n - d - 1) * halfPi / n)));
    default:
        return s + static_cast<int32_t>(std::nearbyint(std::sin(double(d) * halfPi / n) * double(diff)));
    }
}

double filmInterpolateF(int curve, double s, double e, int32_t d, int32_t n) {
    if (d == 0)
        return s;
    if (d == n - 1)
        return e;
    constexpr double halfPi = 3.14159265358979323846 / 2;
    switch (curve) {
    case 0:
        return s + d * (e - s) / n;
    case 1:
        return e - std::nearbyint((e - s) * std::sin(double(n - d - 1) * halfPi / n));
    default:
        return s + std::nearbyint(std::sin(double(d) * halfPi / n) * (e - s));
    }
}

//==============================================================================
// File names
//==============================================================================

std::string resolveFilmFileName(const std::string& folder, const std::string& name) {
    if (name.size() <= 1 || name[0] == '\\' || name[1] == ':')
        return name;
    if (name.compare(0, 3, "..\\") != 0)
        return folder + name;
    // Split the upper-cased folder into components ending with "\"; a
    // network or drive root is one component.
    const std::string upper = upperCaseSjis(folder);
    std::vector<std::string> parts;
    size_t pos = 0;
    if (upper.compare(0, 2, "\\\\") == 0) {
        size_t p = upper.find('\\', 2);                   // after the server
        p = p == std::string::npos ? p : upper.find('\\', p + 1);   // after the share
        pos = p == std::string::npos ? upper.size() : p + 1;
        parts.push_back(upper.substr(0, pos));
    } else if (upper.size() >= 3 && upper[1] == ':' && upper[2] == '\\') {
        pos = 3;
        parts.push_back(upper.substr(0, 3));
    }
    while (pos < upper.size()) {
        size_t p = upper.find('\\', pos);
        size_t end = p == std::string::npos ? upper.size() : p + 1;
        parts.push_back(upper.substr(pos, end - pos));
        pos = end;
    }
    std::string rest = name;
    while (!parts.empty() && rest.compare(0, 3, "..\\") == 0) {
        parts.pop_back();
        rest.erase(0, 3);
    }
    std::string out;
    for (const std::string& p : parts)
        out += p;
    return out + rest;
}

//==============================================================================
// Binary fields
//==============================================================================

namespace {

class TBinaryReader : public TFrameListFields {
public:
    explicit TBinaryReader(TStream& s) : FS(s) {}
    void Int(const char*, int32_t& v) override { v = ReadInt(FS); }
    void Pair(const char*, int32_t& a, int32_t& b) override { a = ReadInt(FS); b = ReadInt(FS); }
    void Byte(const char*, uint8_t& v) override { v = ReadByte(FS); }
    void Double(const char*, double& v) override { v = ReadDouble(FS); }
    void Text(const char*, std::string& v) override { v = ReadString(FS); }   // bounded by the data left
    void Skip(int bytes) override {
        uint8_t b[8];
        FS.ReadBuffer(b, bytes);
    }

private:
    TStream& FS;
};

class TBinaryWriter : public TFrameListFields {
public:
    explicit TBinaryWriter(TStream& s) : FS(s) {}
    void Int(const char*, int32_t& v) override { WriteInt(FS, v); }
    void Pair(const char*, int32_t& a, int32_t& b) override { WriteInt(FS, a); WriteInt(FS, b); }
    void Byte(const char*, uint8_t& v) override { WriteByte(FS, v); }
    void Double(const char*, double& v) override { WriteDouble(FS, v); }
    void Text(const char*, std::string& v) override { WriteString(FS, v); }
    void Skip(int bytes) override {
        for (int i = 0; i < bytes; ++i)
            WriteByte(FS, 0);
    }

private:
    TStream& FS;
};

std::unique_ptr<TCustomFrameList> newTrack(TFilmManager& m, uint8_t kind) {
    switch (kind & 0x7F) {
    case FK_IMAGE:    return std::make_unique<TImageFrameList>(m);
    case FK_LABEL:    return std::make_unique<TLabelFrameList>(m);
    case FK_BOX:      return std::make_unique<TBoxFrameList>(m);
    case FK_WIPE:     return std::make_unique<TWipeFrameList>(m);
    case FK_SOUND:    return std::make_unique<TSoundFrameList>(m);
    case FK_TILE:     return std::make_unique<TTileFrameList>(m);
    case FK_PARTICLE: return std::make_unique<TParticleFrameList>(m);
    case FK_FIRE:     return std::make_unique<TFireFrameList>(m);
    default:          return nullptr;
    }
}

} // namespace

//==============================================================================
// TFilmManager
//==============================================================================

TFilmManager::TFilmManager() = default;

TFilmManager::~TFilmManager() { Clear(); }

void TFilmManager::Clear() {
    for (auto& t : FTracks)
        t->ReleaseObject();
    FTracks.clear();
    FLastWipe = nullptr;
    LoopStart = 0;
    OriginX = OriginY = 0;
    RelativeOrigin = 0;
    FLength = 0;
}

void TFilmManager::HeaderFields(TFrameListFields& f) {
    f.Pair("screen", ScreenWidth, ScreenHeight);
    f.Int("background", BackColor);
    if (f.Version > 101)
        f.Byte("relative-origin", RelativeOrigin);
    if (f.Version > 103)
        f.Pair("origin", OriginX, OriginY);
    if (f.Version > 105)
        f.Int("loop-start", LoopStart);
}

void TFilmManager::LoadFromFile(TVrFileManager& files, const std::string& name) {
    TKsMemoryStream data;
    files.ReadFile(data, name);
    LoadFromStream(data, name);
}

void TFilmManager::LoadFromStream(TStream& s, const std::string& name) {
    Clear();
    const size_t slash = name.find_last_of('\\');
    FFolder = slash == std::string::npos ? std::string() : name.substr(0, slash + 1);

    char magic[13];
    if (s.Read(magic, 13) != 13)
        return;
    const std::string prefix(magic, 10);
    if (prefix != "ZunoCinema" && prefix != "ZunoMotion")
        return;
    FMotionMagic = prefix == "ZunoMotion";
    FVersion = 0;
    for (int i = 10; i < 13; ++i) {
        if (magic[i] < '0' || magic[i] > '9')
            throw EZunoError::fromUtf8("'" + std::string(magic + 10, 3) + "' は整数値ではありません");
        FVersion = FVersion * 10 + (magic[i] - '0');
    }

    TBinaryReader reader(s);
    reader.Version = FVersion;
    int32_t count = 0;
    try {
        HeaderFields(reader);
        if (FVersion <= 106)
            LoopStart = saturate32(int64_t(LoopStart) * 2);
        count = ReadInt(s);
    } catch (const EZunoError&) {
        return;                                            // a header cut short: an empty film
    }
    // One track at a time while the data lasts: the count allocates nothing.
    for (int32_t i = 0; i < count; ++i) {
        uint8_t kind;
        if (s.Read(&kind, 1) != 1)
            break;
        std::unique_ptr<TCustomFrameList> track = newTrack(*this, kind);
        if (!track)
            break;                                         // its data cannot be read
        try {
            track->Fields(reader);
        } catch (const EZunoError&) {
            break;                                         // cut short: keep what came complete
        }
        track->AfterLoad(FVersion);
        FTracks.push_back(std::move(track));
    }
    Link();
    if (!NoPrepare)
        for (auto& t : FTracks)
            t->Prepare();
}

void TFilmManager::SaveToStream(TStream& s, int32_t version) const {
    version = std::clamp(version, 0, 999);
    char digits[4];
    std::snprintf(digits, sizeof digits, "%03d", int(version));
    const std::string magic = std::string(FMotionMagic ? "ZunoMotion" : "ZunoCinema") + digits;
    s.WriteBuffer(magic.data(), 13);
    TBinaryWriter writer(s);
    writer.Version = version;
    const_cast<TFilmManager*>(this)->HeaderFields(writer);
    WriteInt(s, static_cast<int32_t>(FTracks.size()));
    for (const auto& t : FTracks) {
        WriteByte(s, t->Kind());
        t->Fields(writer);
    }
}

TCustomFrameList* TFilmManager::AddTrack(uint8_t kind) {
    auto t = newTrack(*this, kind);
    if (!t)
        return nullptr;
    FTracks.push_back(std::move(t));
    return FTracks.back().get();
}

void TFilmManager::Link() {
    const int32_t n = Count();
    for (auto& t : FTracks) {
        t->Parent = t->ParentIndex >= 0 && t->ParentIndex < n ? FTracks[size_t(t->ParentIndex)].get() : nullptr;
        t->Follower = nullptr;
    }
    // A parent chain that comes back to its track would never start: the
    // track that closes the circle has no parent.
    for (auto& t : FTracks) {
        int steps = 0;
        for (TCustomFrameList* p = t->Parent; p; p = p->Parent)
            if (p == t.get() || ++steps > n) {
                t->Parent = nullptr;
                break;
            }
    }
    for (auto& t : FTracks)
        if (t->Parent && !t->Parent->Follower)
            t->Parent->Follower = t.get();
    // Chained start values, parents first.
    std::vector<char> done(size_t(n), 0);
    auto indexOf = [this](const TCustomFrameList* t) {
        for (size_t i = 0; i < FTracks.size(); ++i)
            if (FTracks[i].get() == t)
                return i;
        return size_t(0);
    };
    for (size_t i = 0; i < size_t(n); ++i) {
        std::vector<TCustomFrameList*> chain;
        for (TCustomFrameList* t = FTracks[i].get(); t && !done[indexOf(t)]; t = t->Parent)
            chain.push_back(t);
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            if ((*it)->Parent && (*it)->Parent->Kind() == (*it)->Kind())
                (*it)->Chain(*(*it)->Parent);
            done[indexOf(*it)] = 1;
        }
    }
    FLength = 0;
    for (auto& t : FTracks)
        FLength = std::max(FLength, t->AbsoluteEnd());
}

TCustomFrameList* TFilmManager::GetTrack(int index) const {
    return index >= 0 && index < Count() ? FTracks[size_t(index)].get() : nullptr;
}

TCustomFrameList* TFilmManager::FirstTrackAtZero() const {
    for (auto& t : FTracks)
        if (t->AbsoluteStart() == 0)
            return t.get();
    return nullptr;
}

bool TFilmManager::NeedsPrivateRegistry() const {
    return std::any_of(FTracks.begin(), FTracks.end(),
                       [](const auto& t) { return t->Kind() == FK_WIPE || t->OtherScreen; });
}

void TFilmManager::SetScreenSize(int32_t width, int32_t height) {
    ScreenWidth = width;
    ScreenHeight = height;
    if (FRegistry)
        FRegistry->SetSize(width, height);
}

void TFilmManager::SetBackColor(int32_t color) {
    BackColor = color;
    if (FRegistry) {
        FRegistry->GetScreen(0)->SetColor(color);
        FRegistry->GetScreen(1)->SetColor(color);
    }
}

void TFilmManager::ApplySetup() {
    if (PrivatePlayback()) {
        SetScreenSize(ScreenWidth, ScreenHeight);
        SetBackColor(BackColor);
    }
    for (auto& t : FTracks)
        if (t->Kind() == FK_SOUND)
            static_cast<TSoundFrameList*>(t.get())->EnsureSound();
}

void TFilmManager::SetPaused(bool paused) {
    if (paused == FPaused)
        return;
    FPaused = paused;
    for (auto& t : FTracks)
        t->SetPaused(paused);
}

void TFilmManager::SetSoundEnabled(bool enabled) {
    FSoundEnabled = enabled;
    if (!enabled)
        for (auto& t : FTracks)
            if (t->Kind() == FK_SOUND)
                t->SetPaused(true);
}

int TFilmManager::ObjectParity(int32_t frame) const {
    int done = 0;
    for (auto& t : FTracks)
        if (t->Kind() == FK_WIPE && frame >= t->AbsoluteEnd() - 1)
            ++done;
    return done % 2;
}

void TFilmManager::Seek(int32_t frame) {
    for (auto& t : FTracks)
        t->Update(frame);
    if (PrivatePlayback() && FRegistry) {
        TWipeFrameList* active = nullptr;
        for (auto& t : FTracks)
            if (t->Kind() == FK_WIPE && t->Contains(frame))
                active = static_cast<TWipeFrameList*>(t.get());
        int passed = 0;
        for (auto& t : FTracks)
            if (t->Kind() == FK_WIPE && t.get() != active && frame >= t->AbsoluteEnd())
                ++passed;
        const int parity = passed % 2;
        if (active) {
            // A wipe is made when forced or when none runs; only a new one is set up.
            const bool fresh = active != FLastWipe || !FRegistry->TransitionRunning();
            TCustomWipe* wipe = FRegistry->StartTransition(parity, active->Transition, active->Reverse,
                                                           active != FLastWipe, frame - active->AbsoluteStart(),
                                                           active->Length);
            if (wipe && fresh) {
                wipe->SetParam(0, active->Param0);
                wipe->SetParam(1, active->Param1);
                wipe->SetRuleName(active->ResolvedRule);
                wipe->Prepare();
            }
        } else {
            FRegistry->StartTransition(parity, 0, 0, FLastWipe != nullptr, 0, 0);
        }
        FRegistry->ActiveBase()->SortChildren();
        FLastWipe = active;
    }
    FCurrent = frame;
}

} // namespace zuno
