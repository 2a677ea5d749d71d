// TFilmManager: one frame-list film (a ".zmt" motion file or a ".zcm"
// cinema file) and the frame it shows. It reads the file, links the tracks
// (parents, followers, chained start values), and Seek shows a frame: in
// cinema mode each active track owns a display object of the registry, in
// motion mode every active track writes into the one target control.
//
// File: a 13-byte magic ("ZunoCinema" or "ZunoMotion" and three digits, the
// version), the screen size, the background colour, from version 102 the
// relative-origin flag, from 104 the origin point, from 106 the loop start,
// then the track count and the tracks (a kind byte and the kind's fields).
// Reading never allocates from a count: tracks are read one at a time while
// the data lasts; a truncated file keeps the tracks read completely, an
// unknown kind ends the list.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "objects/TCustomFrameList.h"

namespace zuno {

class TStream;
class TVrFileManager;
class TZunoBaseList;
class TZunoControl;

class TFilmManager {
public:
    static constexpr int32_t kVersion = 108;              // what Save writes

                        TFilmManager();
                        ~TFilmManager();

    // Reads the whole file through the file manager (its read error when
    // missing), then LoadFromStream.
    void                LoadFromFile(TVrFileManager& files, const std::string& name);
    // Parses the film; `name` only gives the folder of relative file names.
    void                LoadFromStream(TStream& s, const std::string& name);
    // Writes the film with the motion or the cinema magic, at version 108
    // or at an older one (its fields only; values are written as held).
    void                SaveToStream(TStream& s, int32_t version = kVersion) const;
    void                Clear();

    // The header fields, in file order (the text form walks them too).
    void                HeaderFields(TFrameListFields& f);
    // Appends a track of `kind` (none above 7); links are made by Link.
    TCustomFrameList*   AddTrack(uint8_t kind);
    // Resolves parents (out of range or circular: none), followers and
    // chained start values, and computes the total length.
    void                Link();

    int                 Count() const { return static_cast<int>(FTracks.size()); }
    TCustomFrameList*   GetTrack(int index) const;
    TCustomFrameList*   FirstTrackAtZero() const;
    int32_t             Length() const { return FLength; }
    int32_t             CurrentFrame() const { return FCurrent; }
    int32_t             Version() const { return FVersion; }
    const std::string&  Folder() const { return FFolder; }
    bool                IsMotionFile() const { return FMotionMagic; }
    void                SetMotionFile(bool motion) { FMotionMagic = motion; }

    void                Seek(int32_t frame);
    void                ApplySetup();
    bool                NeedsPrivateRegistry() const;
    bool                PrivatePlayback() const { return !MotionMode && !OwnerCinema; }
    void                SetScreenSize(int32_t width, int32_t height);
    void                SetBackColor(int32_t color);
    void                SetRegistry(TZunoBaseList* registry) { FRegistry = registry; }
    TZunoBaseList*      Registry() const { return FRegistry; }
    // Sound objects always live in the global registry (the registry when unset).
    TZunoBaseList*      SoundRegistry() const { return GlobalRegistry ? GlobalRegistry : FRegistry; }
    void                SetPaused(bool paused);
    bool                Paused() const { return FPaused; }
    void                SetSoundEnabled(bool enabled);
    bool                SoundEnabled() const { return FSoundEnabled; }
    // Object parity of a frame: transitions done by then, modulo 2.
    int                 ObjectParity(int32_t frame) const;

    // --- stored header -------------------------------------------------------
    int32_t             ScreenWidth = 0, ScreenHeight = 0;
    int32_t             BackColor = -1;
    uint8_t             RelativeOrigin = 0;
    int32_t             OriginX = 0, OriginY = 0;
    int32_t             LoopStart = 0;

    // --- playback ---------------------------------------------------------------
    TZunoBaseList*      GlobalRegistry = nullptr;
    TZunoControl*       OwnerCinema = nullptr;            // direct playback
    bool                MotionMode = false;
    TZunoControl*       Target = nullptr;                 // motion mode
    int32_t             BaseX = 0, BaseY = 0, BasePriority = 0;
    int32_t             Volume = 1000;
    bool                NoPrepare = false;

private:
    std::vector<std::unique_ptr<TCustomFrameList>> FTracks;
    std::string         FFolder;
    TZunoBaseList*      FRegistry = nullptr;
    TWipeFrameList*     FLastWipe = nullptr;
    int32_t             FCurrent = 0;
    int32_t             FLength = 0;
    int32_t             FVersion = kVersion;
    bool                FMotionMagic = false;
    bool                FSoundEnabled = true;
    bool                FPaused = false;
};

// Resolves a file name of a track against the film's folder: names of at
// most one character, names starting with "\" and names with a drive
// (second character ":") stand as they are; "..\" steps go up the folder.
std::string resolveFilmFileName(const std::string& folder, const std::string& name);

// The interpolation of the frame lists. n is the divisor (the length, one
// more when the track has a follower), d the offset in the track.
int32_t filmInterpolate(int curve, int32_t start, int32_t end, int32_t d, int32_t n);
double  filmInterpolateF(int curve, double start, double end, int32_t d, int32_t n);

} // namespace zuno
