// Writing the version-106 Drel format.
#include <algorithm>
#include <climits>
#include <cstring>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "core/ZlibCodec.h"
#include "imaging/DrelCompose.h"
#include "imaging/ImageCodecs.h"
#include "imaging/TDrelFrameList.h"
#include "platform/posix/AtomicFile.h"

namespace zuno {

namespace {

constexpr int32_t kWrittenVersion = 106;
constexpr int kZlibLevel = 6;

struct WriteOptions {
    int32_t kind;
    int32_t quality;
    int32_t idCode;
    bool    isProtected;
};

// The rows of a picture from top to bottom, permuted when protected.
std::vector<uint8_t> storedRows(const TDrelBitmap& image, const WriteOptions& o) {
    std::vector<uint8_t> rows(image.ByteSize());
    if (!o.isProtected) {
        std::memcpy(rows.data(), image.Bits(), rows.size());
        return rows;
    }
    if (o.idCode == 0)
        throw EZunoError::fromUtf8("識別コードを設定してください");
    std::vector<int32_t> order = permutationOrder(o.idCode, image.Height());
    const size_t rowBytes = image.RowBytes();
    for (int32_t i = 0; i < image.Height(); ++i)
        std::memcpy(rows.data() + size_t(i) * rowBytes, image.Row(order[size_t(i)]), rowBytes);
    return rows;
}

std::vector<uint8_t> jpegOf(const TDrelBitmap& image, int quality) {
    std::vector<uint8_t> rgb(size_t(image.Width()) * size_t(image.Height()) * 3);
    uint8_t* d = rgb.data();
    for (int32_t y = 0; y < image.Height(); ++y)
        for (int32_t x = 0; x < image.Width(); ++x, d += 3) {
            int32_t c = image.PixelToColor(image.GetPixel(x, y));
            d[0] = uint8_t(c);
            d[1] = uint8_t(c >> 8);
            d[2] = uint8_t(c >> 16);
        }
    return encodeJpeg(rgb.data(), image.Width(), image.Height(), quality);
}

void writeImage(TStream& s, const TDrelBitmap* image, bool isMask, const WriteOptions& o) {
    if (!image || image->IsEmpty()) {
        WriteInt(s, 0);
        return;
    }
    std::vector<uint8_t> bytes;
    if (o.kind == dcJpeg && !isMask) {
        bytes = jpegOf(*image, o.quality);
    } else {
        bytes = storedRows(*image, o);
        if (o.kind == dcDefault || o.kind == dcJpeg)
            bytes = deflateZlib(bytes.data(), bytes.size(), kZlibLevel);
    }
    if (bytes.size() > size_t(INT32_MAX))
        throw EZunoError::fromUtf8("画像が大きすぎて保存できません");
    WriteInt(s, int32_t(bytes.size()));
    s.WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

void writeLayerRecord(TStream& s, const std::string& name, bool visible, int32_t transparent, int32_t opacity,
                      const TDrelBitmap& colour, const TDrelBitmap* mask, bool maskEnabled, const WriteOptions& o) {
    WriteInt(s, 0);
    WriteInt(s, 0);
    WriteBool(s, visible);
    WriteInt(s, transparent);
    WriteInt(s, opacity);
    WriteBool(s, maskEnabled);
    WriteString(s, name);
    writeImage(s, &colour, false, o);
    writeImage(s, mask, true, o);
}

void writeRects(TStream& s, const std::vector<TRect>& rects) {
    WriteInt(s, int32_t(rects.size()));
    for (const TRect& r : rects) {
        WriteInt(s, r.Left);
        WriteInt(s, r.Top);
        WriteInt(s, r.Right);
        WriteInt(s, r.Bottom);
    }
}

} // namespace

void TDrelFrameList::SaveToStream(TStream& stream, int32_t compressionKind, int32_t jpegQuality) {
    if (compressionKind < dcDefault || compressionKind > dcJpeg)
        throw EZunoError::fromUtf8("圧縮の種類が不正です (" + std::to_string(compressionKind) + ")");
    WriteOptions o{compressionKind, std::clamp(jpegQuality, 1, 100), FIdCode, FIdCode != 0};
    if (o.isProtected)
        o.kind = dcNone;   // protected rows are stored raw (the archive compresses them)
    // JPEG holds no palette: palette pictures are stored losslessly instead.
    if (o.kind == dcJpeg)
        for (const auto& f : FFrames)
            if (f->Bitmap.IsPalette())
                o.kind = dcDefault;
    for (const auto& f : FFrames) {
        if (f->Mask && (f->Mask->Width() != f->Bitmap.Width() || f->Mask->Height() != f->Bitmap.Height() ||
                        f->Mask->BitCount() != 8))
            throw EZunoError::fromUtf8("マスクの大きさがフレームと一致しません");
        for (const auto& l : f->Layers)
            if (l->Bitmap.Width() != f->Bitmap.Width() || l->Bitmap.Height() != f->Bitmap.Height() ||
                l->Bitmap.BitCount() != f->Bitmap.BitCount() ||
                (l->Mask && (l->Mask->Width() != f->Bitmap.Width() || l->Mask->Height() != f->Bitmap.Height())))
                throw EZunoError::fromUtf8("レイヤーの大きさがフレームと一致しません");
    }

    stream.WriteBuffer("Drel106", 7);
    WriteInt(stream, 40);
    uint8_t h[40] = {};
    const TDrelBitmap* first = FFrames.empty() ? nullptr : &FFrames[0]->Bitmap;
    putLE32(h + 0, kWrittenVersion);
    putLE32(h + 4, uint32_t(first ? first->Width() : 0));
    putLE32(h + 8, uint32_t(first ? first->Height() : 0));
    putLE32(h + 12, uint32_t(first ? first->BitCount() : 0));
    putLE32(h + 16, uint32_t(FFrames.size()));
    h[20] = 1;
    h[21] = o.isProtected ? 1 : 0;
    h[22] = uint8_t(o.kind);
    putLE32(h + 24, uint32_t(BackdropColor));
    h[36] = FirstLayerOpaque ? 1 : 0;
    h[37] = uint8_t(o.quality);
    stream.WriteBuffer(h, 40);

    for (const auto& f : FFrames) {
        const TDrelBitmap& bmp = f->Bitmap;
        WriteString(stream, f->Name);
        WriteInt(stream, f->TransparentValue());
        WriteInt(stream, f->Delay);
        WriteByte(stream, 0);
        WriteInt(stream, 0);
        WriteInt(stream, f->Layers.empty() ? 1 : int32_t(f->Layers.size()));
        WriteInt(stream, bmp.Width());
        WriteInt(stream, bmp.Height());
        WriteInt(stream, bmp.BitCount());
        for (int i = 0; i < bmp.PaletteSize(); ++i) {
            const TRGBQuad& q = bmp.Palette[size_t(i)];
            const uint8_t quad[4] = {q.Blue, q.Green, q.Red, 0};
            stream.WriteBuffer(quad, 4);
        }
        if (f->Layers.empty()) {
            writeLayerRecord(stream, "Layer", true, -1, 255, bmp, f->Mask.get(), f->HasMask(), o);
        } else {
            for (const auto& l : f->Layers)
                writeLayerRecord(stream, l->Name, l->Visible, l->TransparentColor, l->Opacity, l->Bitmap,
                                 l->Mask.get(), l->MaskEnabled, o);
        }
        writeRects(stream, f->DrawRects);
        writeRects(stream, f->SecondRects);
    }
}

void TDrelFrameList::SaveToFile(const std::string& path, int32_t compressionKind, int32_t jpegQuality) {
    TKsMemoryStream stream;
    SaveToStream(stream, compressionKind, jpegQuality);
    writeFileAtomically(path, stream.Data());
}

} // namespace zuno
