// How media items find their bytes, and the media kind a name stands for.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/TStream.h"

namespace zuno {

class TVrFileManager;

enum class TMediaKind { none, midi, windowsMedia, ogg, cdAudio };

// The kind of a sound by its name: ".mid"/".sgt" MIDI, ".wma"/".asf"/".wmv"
// Windows Media, ".ogg"/".wav" Ogg/WAV (extension in any case), any other
// name beginning with "CD_" (exact case) CD audio, anything else none. The
// name's availability is not checked here.
TMediaKind              mediaKindOf(std::string_view name);
// The track number of a "CD_N" name (the decimal text after "CD_"); -1 when none.
int                     cdTrackOf(std::string_view name);
// The extension, lower-cased, with its dot ("" when none).
std::string             lowerExtension(std::string_view name);

// A name beginning with a backslash or with ':' as its second character is a
// disk path and is opened directly; any other name through the file manager.
// Returns nullptr when the file cannot be had.
std::unique_ptr<TStream> openMediaStream(TVrFileManager& files, std::string_view name);

} // namespace zuno
