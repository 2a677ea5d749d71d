// Reading Drel files (every version) into composed frames.
//
// The data is read from one contiguous span: a memory stream's own bytes in
// place, or the rest of any other stream read once. Every count, size and
// index is checked against what the span holds; the decoded pictures of one
// file may use at most decodeBudget(file size) bytes.
#include <algorithm>
#include <cstring>
#include <string>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "core/ZlibCodec.h"
#include "imaging/DrelCompose.h"
#include "imaging/ImageCodecs.h"
#include "imaging/TDrelFrameList.h"

namespace zuno {

namespace {

EZunoError drelError(const std::string& what) {
    return EZunoError::fromUtf8("Drel データが壊れています (" + what + ")");
}

// A bounds-checked little-endian reader over a byte span.
class Cursor {
public:
    Cursor(const uint8_t* data, size_t size) : FData(data), FSize(size) {}

    size_t          pos() const { return FPos; }
    void            back(size_t n) { FPos -= std::min(n, FPos); }
    size_t          remaining() const { return FSize - FPos; }
    const uint8_t*  take(size_t n, const char* what) {
        if (n > remaining())
            throw drelError(what);
        const uint8_t* p = FData + FPos;
        FPos += n;
        return p;
    }
    int32_t         i32(const char* what) { return int32_t(getLE32(take(4, what))); }
    uint8_t         u8(const char* what) { return *take(1, what); }
    std::string     str(const char* what) {
        int32_t n = i32(what);
        if (n <= 0)
            return {};
        const uint8_t* p = take(size_t(n), what);
        return std::string(reinterpret_cast<const char*>(p), size_t(n));
    }

private:
    const uint8_t*  FData;
    size_t          FSize;
    size_t          FPos = 0;
};

struct Header {
    int32_t version = 0;
    int32_t frameCount = 0;
    bool    isProtected = false;
    int32_t kind = dcDefault;
    int32_t backdrop = 0;
    int32_t blockWidth = 0;
    int32_t blockHeight = 0;
    bool    firstLayerOpaque = false;
};

// The decoded images of one layer, kept while a block-coded file is read so
// that later images can copy their blocks.
struct KeptLayer {
    TDrelBitmap                  colour;
    std::unique_ptr<TDrelBitmap> mask;
};

class DrelReader {
public:
    DrelReader(const uint8_t* data, size_t size, int32_t idCode)
        : FIn(data, size), FIdCode(idCode), FBudget(decodeBudget(size)) {}

    size_t          consumed() const { return FIn.pos(); }
    void            read(TDrelFrameList& list, bool firstFrameOnly);

private:
    void            readHeader();
    void            readFrame(TDrelFrame& frame, int32_t frameIndex);
    void            charge(size_t bytes);
    // Decodes one stored image (colour or mask) into `image`, whose size and
    // format are set. `frameIndex`/`layerIndex` locate it for block copies.
    void            decodeImage(const uint8_t* stored, size_t size, bool isMask, TDrelBitmap& image,
                                int32_t frameIndex, int32_t layerIndex);
    void            decodeRows(const uint8_t* data, size_t size, TDrelBitmap& image, bool permuted);
    void            decodeBlocks(const uint8_t* data, size_t size, bool isMask, TDrelBitmap& image,
                                 int32_t frameIndex, int32_t layerIndex);
    void            decodeJpegInto(const uint8_t* data, size_t size, TDrelBitmap& image);
    const TDrelBitmap* referencedImage(int32_t frame, int32_t layer, bool isMask, int32_t frameIndex,
                                       int32_t layerIndex) const;

    Cursor          FIn;
    int32_t         FIdCode;
    uint64_t        FBudget;
    uint64_t        FUsed = 0;
    Header          FHeader;
    bool            FBlocks = false;
    std::vector<std::vector<KeptLayer>> FKept;     // [frame][layer], block-coded files only
    std::vector<uint8_t> FScratch;
};

void DrelReader::charge(size_t bytes) {
    FUsed += bytes;
    if (FUsed > FBudget)
        throw EZunoError::fromUtf8("Drel 画像が大きすぎます");
}

void DrelReader::readHeader() {
    Header& h = FHeader;
    const uint8_t* magic = FIn.take(7, "header");
    if (std::memcmp(magic, "Drel", 4) == 0) {
        for (int i = 4; i < 7; ++i)
            if (magic[i] < '0' || magic[i] > '9')
                throw drelError("version");
        h.version = (magic[4] - '0') * 100 + (magic[5] - '0') * 10 + (magic[6] - '0');
    } else {
        FIn.back(7);   // an old file without the magic: read it from its start
        h.version = 0;
    }
    if (h.version >= 103) {
        int32_t size = FIn.i32("header size");
        if (size < 0)
            throw drelError("header size");
        uint8_t b[40] = {};
        const uint8_t* p = FIn.take(size_t(size), "header");
        std::memcpy(b, p, std::min<size_t>(size_t(size), 40));
        h.frameCount = int32_t(getLE32(b + 16));
        h.isProtected = b[21] != 0;
        h.kind = b[22];
        h.backdrop = int32_t(getLE32(b + 24));
        h.blockWidth = int32_t(getLE32(b + 28));
        h.blockHeight = int32_t(getLE32(b + 32));
        h.firstLayerOpaque = h.version >= 105 && b[36] != 0;
        if (h.kind > dcJpeg)
            throw drelError("compression kind " + std::to_string(h.kind));
    } else {
        h.frameCount = FIn.i32("frame count");
        FIn.u8("header");
        if (h.version >= 102)
            h.backdrop = FIn.i32("backdrop");
    }
    // A frame record takes at least 33 bytes.
    if (h.frameCount < 0 || size_t(h.frameCount) > FIn.remaining() / 33)
        throw drelError("frame count");
    FBlocks = h.version >= 103 && h.blockWidth > 0 && h.blockHeight > 0;
}

void DrelReader::read(TDrelFrameList& list, bool firstFrameOnly) {
    readHeader();
    list.Version = FHeader.version;
    list.BackdropColor = FHeader.backdrop;
    list.FirstLayerOpaque = FHeader.firstLayerOpaque;
    int32_t count = FHeader.frameCount;
    if (firstFrameOnly && count > 1)
        count = 1;
    for (int32_t i = 0; i < count; ++i)
        readFrame(*list.AddFrame(), i);
}

void DrelReader::readFrame(TDrelFrame& frame, int32_t frameIndex) {
    const int32_t version = FHeader.version;
    frame.Name = FIn.str("frame name");
    int32_t transparentValue = FIn.i32("frame");
    frame.Delay = FIn.i32("frame");
    FIn.u8("frame");
    FIn.i32("frame");
    int32_t layerCount = FIn.i32("layer count");
    int32_t width = FIn.i32("frame size"), height = FIn.i32("frame size"), bits = FIn.i32("frame size");
    // A layer record takes at least 25 bytes.
    if (layerCount < 0 || size_t(layerCount) > FIn.remaining() / 25)
        throw drelError("layer count");
    if (!TDrelBitmap::isValidBitCount(bits))
        throw drelError("bit count " + std::to_string(bits));
    if (width < 0 || height < 0 || width > kMaxImageSide || height > kMaxImageSide)
        throw drelError("frame size " + std::to_string(width) + "x" + std::to_string(height));
    const size_t imageBytes = TDrelBitmap::rowBytesOf(width, bits) * size_t(height);
    charge(imageBytes);
    // The frame's pixels are made when a layer is first blended in (or at
    // the end): a first layer that covers everything simply becomes them.
    frame.Bitmap.SetSize(0, 0, bits);
    bool framePainted = false;
    auto paintBackdrop = [&] {
        if (framePainted)
            return;
        framePainted = true;
        frame.Bitmap.SetSizeUncleared(width, height, bits);
        frame.Bitmap.Fill(frame.Bitmap.ColorToPixel(FHeader.backdrop));
    };
    if (bits <= 8) {
        int n = 1 << bits;
        const uint8_t* p = FIn.take(size_t(n) * 4, "palette");
        for (int i = 0; i < n; ++i)
            frame.Bitmap.Palette[size_t(i)] = TRGBQuad{p[4 * i], p[4 * i + 1], p[4 * i + 2], 0};
    }
    frame.SetTransparentValue(transparentValue);

    if (FBlocks)
        FKept.emplace_back();
    bool seenVisible = false;
    for (int32_t i = 0; i < layerCount; ++i) {
        TDrelLayer layer;
        layer.Frame = &frame;
        FIn.take(8, "layer");
        layer.Visible = FIn.u8("layer") != 0;
        layer.TransparentColor = FIn.i32("layer");
        layer.Opacity = FIn.i32("layer");
        if (version > 100)
            layer.MaskEnabled = FIn.u8("layer") != 0;
        layer.Name = FIn.str("layer name");
        int32_t colourSize = FIn.i32("colour image size");
        if (colourSize < 0)
            throw drelError("colour image size");
        const uint8_t* colour = FIn.take(size_t(colourSize), "colour image");
        charge(imageBytes);
        // Plain rows overwrite every byte; blocks, JPEG and missing images may not.
        if (colourSize > 0 && !FBlocks && FHeader.kind != dcJpeg)
            layer.Bitmap.SetSizeUncleared(width, height, bits);
        else
            layer.Bitmap.SetSize(width, height, bits);
        layer.Bitmap.Palette = frame.Bitmap.Palette;
        decodeImage(colour, size_t(colourSize), false, layer.Bitmap, frameIndex, i);
        if (version > 99) {
            int32_t maskSize = FIn.i32("mask size");
            if (maskSize < 0)
                throw drelError("mask size");
            // An empty picture has nothing to mask.
            if (maskSize > 0 && width > 0 && height > 0) {
                const uint8_t* mask = FIn.take(size_t(maskSize), "mask");
                if (layer.MaskEnabled)
                    layer.TransparentColor = -1;
                charge(TDrelBitmap::rowBytesOf(width, 8) * size_t(height));
                layer.Mask = std::make_unique<TDrelBitmap>(width, height, 8);
                decodeImage(mask, size_t(maskSize), true, *layer.Mask, frameIndex, i);
            } else {
                FIn.take(size_t(maskSize), "mask");
            }
        }

        if (layer.Visible) {
            const bool first = !seenVisible;
            seenVisible = true;
            const bool masked = layer.Mask && layer.MaskEnabled;
            // Layers of files without block coding are dropped after
            // composition, so their pictures can be handed over instead of copied.
            if (first && masked) {
                if (!FBlocks && i == 0) {
                    frame.Mask = std::move(layer.Mask);
                } else {
                    charge(layer.Mask->ByteSize());
                    frame.Mask = std::make_unique<TDrelBitmap>(*layer.Mask);
                }
            }
            const bool opaque = layer.TransparentColor == -1 || (first && FHeader.firstLayerOpaque);
            if (masked && i > 0) {
                paintBackdrop();
                composeMask(frame.Bitmap, layer.Bitmap, *layer.Mask);
            } else if (opaque && layer.Opacity > 254) {
                // Replaces every pixel, whatever was there.
                if (FBlocks) {
                    frame.Bitmap = layer.Bitmap;   // the layer stays for later block copies
                } else {
                    std::swap(frame.Bitmap, layer.Bitmap);
                }
                framePainted = true;
            } else {
                paintBackdrop();
                composeAlpha(frame.Bitmap, layer.Bitmap, layer.Opacity, layer.TransparentColor);
            }
        }
        if (FBlocks) {
            FKept.back().push_back(KeptLayer{std::move(layer.Bitmap), std::move(layer.Mask)});
        } else {
            // The layer is dropped: give its memory back to the budget.
            FUsed -= imageBytes + (layer.Mask ? layer.Mask->ByteSize() : 0);
        }
    }
    paintBackdrop();

    if (version >= 104) {
        for (std::vector<TRect>* list : {&frame.DrawRects, &frame.SecondRects}) {
            int32_t n = FIn.i32("rectangle list");
            if (n < 0)
                continue;
            if (size_t(n) > FIn.remaining() / 16)
                throw drelError("rectangle list");
            list->reserve(size_t(n));
            for (int32_t k = 0; k < n; ++k) {
                const uint8_t* p = FIn.take(16, "rectangle list");
                list->push_back(TRect(int32_t(getLE32(p)), int32_t(getLE32(p + 4)), int32_t(getLE32(p + 8)),
                                      int32_t(getLE32(p + 12))));
            }
        }
    }
}

// ---------------------------------------------------------------- images

void DrelReader::decodeImage(const uint8_t* stored, size_t size, bool isMask, TDrelBitmap& image,
                             int32_t frameIndex, int32_t layerIndex) {
    if (size == 0)
        return;   // no stored image: the picture stays blank
    const int32_t kind = FHeader.kind;
    if (kind == dcJpeg && !isMask) {
        decodeJpegInto(stored, size, image);
        return;
    }
    const bool permuted = FHeader.version >= 103 && FHeader.isProtected && kind != dcJpeg;
    if (FBlocks) {
        decodeBlocks(stored, size, isMask, image, frameIndex, layerIndex);
        return;
    }
    const size_t need = image.ByteSize();
    if (kind == dcNone) {
        if (size < need)
            throw drelError("image data too short");
        decodeRows(stored, need, image, permuted);
        return;
    }
    // zlib: straight into the picture when the rows are in order.
    if (!permuted) {
        if (inflateZlibInto(stored, size, image.Bits(), need) != need)
            throw drelError("image data too short");
        return;
    }
    FScratch.resize(need);
    if (inflateZlibInto(stored, size, FScratch.data(), need) != need)
        throw drelError("image data too short");
    decodeRows(FScratch.data(), need, image, true);
}

void DrelReader::decodeRows(const uint8_t* data, size_t size, TDrelBitmap& image, bool permuted) {
    if (!permuted || image.Height() == 0) {
        std::memcpy(image.Bits(), data, std::min(size, image.ByteSize()));
        return;
    }
    const size_t rowBytes = image.RowBytes();
    std::vector<int32_t> order = permutationOrder(FIdCode, image.Height());
    for (int32_t i = 0; i < image.Height(); ++i)
        std::memcpy(image.Row(order[size_t(i)]), data + size_t(i) * rowBytes, rowBytes);
}

void DrelReader::decodeJpegInto(const uint8_t* data, size_t size, TDrelBitmap& image) {
    if (image.IsEmpty())
        return;
    std::vector<uint8_t> rgb;
    decodeJpeg(data, size, image.Width(), image.Height(), rgb);
    const int32_t w = image.Width();
    std::vector<int32_t> cache(image.IsPalette() ? 32768 : 0, -1);
    for (int32_t y = 0; y < image.Height(); ++y) {
        const uint8_t* s = rgb.data() + size_t(y) * size_t(w) * 3;
        uint8_t* d = image.Row(y);
        if (image.BitCount() == 24 || image.BitCount() == 32) {
            const int bpp = image.BitCount() / 8;
            for (int32_t x = 0; x < w; ++x, s += 3, d += bpp) {
                d[0] = s[2];
                d[1] = s[1];
                d[2] = s[0];
            }
            continue;
        }
        for (int32_t x = 0; x < w; ++x, s += 3) {
            int32_t c = int32_t(s[0] | (s[1] << 8) | (s[2] << 16));
            if (image.IsPalette()) {
                uint32_t key = (s[0] >> 3) | ((s[1] >> 3) << 5) | ((s[2] >> 3) << 10);
                if (cache[key] < 0)
                    cache[key] = int32_t(image.ColorToPixel(c));
                image.SetPixel(x, y, uint32_t(cache[key]));
            } else {
                image.SetPixel(x, y, image.ColorToPixel(c));
            }
        }
    }
}

const TDrelBitmap* DrelReader::referencedImage(int32_t frame, int32_t layer, bool isMask, int32_t frameIndex,
                                               int32_t layerIndex) const {
    // Only images decoded before this one: earlier frames, or earlier layers
    // of this frame.
    if (frame > frameIndex || size_t(frame) >= FKept.size())
        return nullptr;
    const std::vector<KeptLayer>& layers = FKept[size_t(frame)];
    if (layer < 0 || size_t(layer) >= layers.size() || (frame == frameIndex && layer >= layerIndex))
        return nullptr;
    const KeptLayer& k = layers[size_t(layer)];
    return isMask ? k.mask.get() : &k.colour;
}

void DrelReader::decodeBlocks(const uint8_t* stored, size_t size, bool isMask, TDrelBitmap& image,
                              int32_t frameIndex, int32_t layerIndex) {
    const int32_t width = image.Width(), height = image.Height();
    if (image.IsEmpty())
        return;
    const int32_t bw = std::min(FHeader.blockWidth, width), bh = std::min(FHeader.blockHeight, height);
    const int32_t columns = (width + bw - 1) / bw, rows = (height + bh - 1) / bh;
    const int32_t count = columns * rows;
    const int bits = image.StoredBits();
    auto blockRowBytes = [&](int32_t w) { return (size_t(w) * size_t(bits) + 7) / 8; };

    // The coded data: the block table, then the rows of the blocks stored here.
    const uint8_t* data = stored;
    size_t dataSize = size;
    if (FHeader.kind != dcNone) {
        size_t most = size_t(count) * 8;
        for (int32_t by = 0; by < rows; ++by)
            for (int32_t bx = 0; bx < columns; ++bx)
                most += blockRowBytes(std::min(bw, width - bx * bw)) * size_t(std::min(bh, height - by * bh));
        charge(most);
        FScratch.resize(most);
        dataSize = inflateZlibInto(stored, size, FScratch.data(), most);
        FUsed -= most;
        data = FScratch.data();
    }
    Cursor in(data, dataSize);
    const uint8_t* table = in.take(size_t(count) * 8, "block table");
    std::vector<int32_t> order = permutationOrder(
        FHeader.isProtected && FHeader.kind != dcJpeg ? FIdCode : 0, count);
    std::vector<std::pair<int32_t, int32_t>> entries(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        entries[size_t(order[size_t(i)])] = {int32_t(getLE32(table + 8 * size_t(i))),
                                              int32_t(getLE32(table + 8 * size_t(i) + 4))};

    auto copyBlock = [&](const TDrelBitmap& from, int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w,
                         int32_t h) {
        if (sx + w > width || sy + h > height)
            throw drelError("block reference");
        if (bits >= 8) {
            const size_t bpp = size_t(bits / 8);
            for (int32_t y = 0; y < h; ++y)
                std::memmove(image.Row(dy + y) + size_t(dx) * bpp, from.Row(sy + y) + size_t(sx) * bpp,
                             size_t(w) * bpp);
        } else {
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x)
                    image.SetPixel(dx + x, dy + y, from.GetPixel(sx + x, sy + y));
        }
    };

    for (int32_t b = 0; b < count; ++b) {
        const int32_t x0 = (b % columns) * bw, y0 = (b / columns) * bh;
        const int32_t w = std::min(bw, width - x0), h = std::min(bh, height - y0);
        const auto [frameRef, index] = entries[size_t(b)];
        if (frameRef == -1) {
            const size_t rowBytes = blockRowBytes(w);
            for (int32_t y = 0; y < h; ++y) {
                const uint8_t* src = in.take(rowBytes, "block data");
                if (bits >= 8) {
                    std::memcpy(image.Row(y0 + y) + size_t(x0) * size_t(bits / 8), src, rowBytes);
                } else {
                    for (int32_t x = 0; x < w; ++x) {
                        uint32_t v = bits == 1 ? (src[x >> 3] >> (7 - (x & 7))) & 1
                                               : (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
                        image.SetPixel(x0 + x, y0 + y, v);
                    }
                }
            }
        } else if (frameRef == -2) {
            if (index < 0 || index >= count)
                throw drelError("block index");
            copyBlock(image, (index % columns) * bw, (index / columns) * bh, x0, y0, w, h);
        } else if (frameRef >= 0) {
            const TDrelBitmap* from = referencedImage(frameRef, index, isMask, frameIndex, layerIndex);
            if (!from || from->Width() != width || from->Height() != height || from->BitCount() != image.BitCount())
                throw drelError("block reference");
            copyBlock(*from, x0, y0, x0, y0, w, h);
        } else {
            throw drelError("block table");
        }
    }
}

} // namespace

void TDrelFrameList::LoadFromStream(TStream& stream, bool firstFrameOnly) {
    Clear();
    const int64_t start = stream.GetPosition();
    const uint8_t* data;
    size_t size;
    std::vector<uint8_t> copy;
    if (auto* memory = dynamic_cast<TKsMemoryStream*>(&stream)) {
        size = size_t(std::max<int64_t>(0, memory->GetSize() - start));
        data = memory->Memory() + std::min<int64_t>(start, memory->GetSize());
    } else {
        int64_t n = std::max<int64_t>(0, stream.Remaining());
        copy.resize(size_t(n));
        stream.ReadBuffer(copy.data(), n);
        data = copy.data();
        size = copy.size();
    }
    DrelReader reader(data, size, FIdCode);
    try {
        reader.read(*this, firstFrameOnly);
    } catch (...) {
        Clear();
        throw;
    }
    stream.SetPosition(start + int64_t(reader.consumed()));
}

} // namespace zuno
