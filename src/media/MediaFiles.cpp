#include "media/MediaFiles.h"

#include <charconv>

#include "archive/TRangeStream.h"
#include "archive/TVrFileCollection.h"
#include "archive/TVrFileManager.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"

namespace zuno {

std::string lowerExtension(std::string_view name) {
    const size_t dot = name.find_last_of('.');
    const size_t slash = name.find_last_of("\\/");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && slash > dot))
        return {};
    std::string ext(name.substr(dot));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return ext;
}

TMediaKind mediaKindOf(std::string_view name) {
    const std::string ext = lowerExtension(name);
    if (ext == ".mid" || ext == ".sgt")
        return TMediaKind::midi;
    if (ext == ".wma" || ext == ".asf" || ext == ".wmv")
        return TMediaKind::windowsMedia;
    if (ext == ".ogg" || ext == ".wav")
        return TMediaKind::ogg;
    if (name.substr(0, 3) == "CD_")
        return TMediaKind::cdAudio;
    return TMediaKind::none;
}

int cdTrackOf(std::string_view name) {
    if (name.substr(0, 3) != "CD_")
        return -1;
    int n = 0;
    std::string_view digits = name.substr(3);
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc() || end == digits.data() || n < 0)
        return -1;
    return n;
}

std::unique_ptr<TStream> openMediaStream(TVrFileManager& files, std::string_view name) {
    try {
        if (!name.empty() && (name[0] == '\\' || (name.size() > 1 && name[1] == ':'))) {
            // A disk path of the original platform: a drive letter has no
            // meaning here, so the rest is taken from the root.
            std::string path(name.size() > 1 && name[1] == ':' ? name.substr(2) : name);
            for (char& c : path)
                if (c == '\\')
                    c = '/';
            return std::make_unique<TFileRangeStream>(cp932ToUtf8(path), 0, 0, false, true);
        }
        if (!files.Exists(name))
            return nullptr;
        // A compressed archive entry (a movie of a kind the archive writer
        // packs) cannot be streamed in place: it plays from its work file.
        if (const TVrFile* entry = files.FindEntry(name); entry && entry->Stored == 0 && !entry->Data)
            return std::make_unique<TFileRangeStream>(files.GetLocalPath(name), 0, 0, false, true);
        return files.OpenRange(name);
    } catch (const std::exception&) {
        return nullptr;
    }
}

} // namespace zuno
