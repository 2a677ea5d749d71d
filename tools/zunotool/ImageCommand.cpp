// zunotool image convert: reads a Drel, PNG or Windows bitmap picture and
// writes it as PNG (one frame, RGBA with the mask as alpha) or as Drel.
// Several inputs are joined into one animation, their frames in the order
// given; --delay sets the display time of every frame.
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/TStream.h"
#include "platform/posix/AtomicFile.h"
#include "imaging/ImageCodecs.h"
#include "imaging/TDrelFrameList.h"
#include "ToolCommand.h"

namespace zuno::tool {

namespace {

std::string lowerExtension(const std::string& path) {
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return lowerCaseSjis(path.substr(dot));
}

int64_t parseInteger(const std::string& option, const std::string& text, int64_t lo, int64_t hi) {
    const char* s = text.c_str();
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(s, &end, hex ? 16 : 10);
    if (text.empty() || *end != 0 || errno == ERANGE || v < lo || v > hi)
        throw UsageError(option + " needs an integer from " + std::to_string(lo) + " to " + std::to_string(hi) +
                         ", not '" + text + "'");
    return v;
}

// The frame's picture as RGBA rows, alpha from its mask (255 without one).
std::vector<uint8_t> rgbaOf(const TDrelFrame& frame) {
    const TDrelBitmap& b = frame.Bitmap;
    std::vector<uint8_t> out(size_t(b.Width()) * size_t(b.Height()) * 4);
    uint8_t* d = out.data();
    for (int32_t y = 0; y < b.Height(); ++y) {
        const uint8_t* m = frame.Mask ? frame.Mask->Row(y) : nullptr;
        for (int32_t x = 0; x < b.Width(); ++x, d += 4) {
            int32_t c = b.PixelToColor(b.GetPixel(x, y));
            d[0] = uint8_t(c);
            d[1] = uint8_t(c >> 8);
            d[2] = uint8_t(c >> 16);
            d[3] = m ? m[x] : 255;
        }
    }
    return out;
}

int runImage(const std::vector<std::string>& args) {
    if (args.empty() || args[0] != "convert")
        throw UsageError("unknown image command (convert)");
    int64_t frame = 0, id = 0, kind = dcDefault, quality = 70, delay = -1;
    bool frameGiven = false;
    ToolArgs parsed = parseToolArgs(*findToolCommand("image"),
                                    std::vector<std::string>(args.begin() + 1, args.end()));
    for (const ToolArgs::Given& g : parsed.options) {
        const std::string main = g.option->names[0];
        if (main == "--frame") {
            frame = parseInteger(g.name, g.value, 0, INT32_MAX);
            frameGiven = true;
        } else if (main == "--id") {
            id = parseInteger(g.name, g.value, INT32_MIN, UINT32_MAX);
        } else if (main == "--kind") {
            kind = parseInteger(g.name, g.value, 0, 2);
        } else if (main == "--quality") {
            quality = parseInteger(g.name, g.value, 1, 100);
        } else if (main == "--delay") {
            delay = parseInteger(g.name, g.value, 0, INT32_MAX);
        }
    }
    std::vector<std::string>& paths = parsed.operands;
    if (paths.size() < 2)
        throw UsageError("image convert needs IN and OUT");
    const std::string out = paths.back();
    paths.pop_back();
    const std::string outExt = lowerExtension(out);
    for (const std::string& in : paths) {
        const std::string inExt = lowerExtension(in);
        if (inExt != ".drl" && inExt != ".png" && inExt != ".bmp" && inExt != ".dib")
            throw EZunoError::fromUtf8(in + ":対応していない画像形式です (.drl .png .bmp .dib)");
    }
    if (outExt != ".png" && outExt != ".drl")
        throw EZunoError::fromUtf8(out + ":書き出せない画像形式です (.png .drl)");

    const int32_t code = static_cast<int32_t>(static_cast<uint32_t>(id));
    TDrelFrameList list(code);
    list.LoadFromFile(paths[0]);
    for (size_t i = 1; i < paths.size(); ++i) {
        // The frames of the next input move to the end of the list.
        TDrelFrameList more(code);
        more.LoadFromFile(paths[i]);
        for (int k = 0; k < more.Count(); ++k) {
            TDrelFrame& from = *more.Frames(k);
            TDrelFrame* to = list.AddFrame();
            to->Name = from.Name;
            to->Delay = from.Delay;
            to->Bitmap = std::move(from.Bitmap);
            to->Mask = std::move(from.Mask);
            to->DrawRects = from.DrawRects;
            to->SecondRects = from.SecondRects;
            to->SetTransparentValue(from.TransparentValue());
        }
    }
    if (delay >= 0)
        for (int k = 0; k < list.Count(); ++k)
            list.Frames(k)->Delay = static_cast<int32_t>(delay);
    const std::string& in = paths.size() == 1 ? paths[0] : out;
    if (frame >= list.Count())
        throw EZunoError::fromUtf8(in + ":フレーム " + std::to_string(frame) + " がありません (フレーム数 " +
                                   std::to_string(list.Count()) + ")");
    TKsMemoryStream stream;
    if (outExt == ".png") {
        const TDrelFrame& f = *list.Frames(int(frame));
        std::vector<uint8_t> rgba = rgbaOf(f);
        std::vector<uint8_t> png = writePngRgba(rgba.data(), f.Bitmap.Width(), f.Bitmap.Height());
        stream.WriteBuffer(png.data(), int64_t(png.size()));
    } else {
        if (frameGiven) {
            for (int i = list.Count() - 1; i > frame; --i)
                list.Delete(i);
            for (int i = 0; i < frame; ++i)
                list.Delete(0);
        }
        list.SaveToStream(stream, int32_t(kind), int32_t(quality));
    }
    writeFileAtomically(out, stream.Data());
    return 0;
}

ToolCommandRegistrar imageCommand({"image",
    {{"image convert IN... OUT [OPTIONS]",
      "Reads IN (.drl, .png, .bmp or .dib) and writes OUT: .png writes one frame's composed picture as RGBA "
      "PNG, alpha from the frame's mask (255 without one); .drl writes a version-106 Drel file of every frame "
      "(or of --frame N only). Several INs make one animation of all their frames in that order."}},
    runImage,
    {{{"--frame"}, "N", "the frame, counting from 0 (default 0); a frame the file does not have is an error"},
     {{"--id"}, "CODE",
      "identification code of protected images, for reading and writing (default 0); written images are then "
      "protected and stored uncompressed"},
     {{"--kind"}, "0|1|2", "Drel output: 0 zlib (default), 1 uncompressed, 2 JPEG colour"},
     {{"--quality"}, "Q", "Drel output: JPEG quality 1-100 (default 70)"},
     {{"--delay"}, "MS", "every frame's display time in milliseconds (0 plays as 1 ms)"}}});

} // namespace

} // namespace zuno::tool
