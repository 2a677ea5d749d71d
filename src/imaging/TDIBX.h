// TDIBX: a surface whose pixels are a device-independent bitmap in memory.
//
// Rows are padded to a multiple of 4 bytes (the stored row size of bitmaps
// and Drel images, see RowBytes). The pixels are top-down with a positive
// pitch when the surface owns them; a surface made over someone else's
// memory may have any pitch, also negative (bottom-up). Pixel memory can be
// shared between surfaces (ShareFrom); drawing detaches it first.
// A surface may carry an attached 8-bit mask bitmap of the same size
// (Drel frames keep their opacity there).
#pragma once

#include <memory>

#include "imaging/TCustomDIBX.h"

namespace zuno {

class TDIBX : public TCustomDIBX {
public:
                        TDIBX();                                          // 1 x 1 at 15 bits, as created
                        TDIBX(int32_t width, int32_t height, int32_t bits);
                        ~TDIBX() override;

    static int32_t      RowBytes(int32_t width, int32_t bits);            // (bits x width + 31) / 32 x 4

    int32_t             GetBitCount() override { return FBitCount; }
    void                SetBitCount(int32_t bits) override;
    uint32_t            GetRedMask() override;
    uint32_t            GetGreenMask() override;
    uint32_t            GetBlueMask() override;
    int32_t             GetPitch() override { return FPitch; }
    uint32_t            GetPixel(int32_t x, int32_t y) override;
    void                SetPixel(int32_t x, int32_t y, uint32_t v) override;
    int32_t             GetStoredBitCount() override { return FBitCount == 15 ? 16 : FBitCount; }
    void                SetSize(int32_t width, int32_t height, int32_t bits) override;
    uint8_t*            Lock(int32_t x, int32_t y) override;
    void                MakeUnique() override;
    void                Clear() override;                                 // 0 x 0 (memory kept at 8 x 8)
    void                Assign(TCustomDIBX& source) override;

    void                GetPalette(TPalette& entries) override { entries = FPalette; }
    void                GetPaletteEntries(TRGBQuad* entries, int32_t start, int32_t count) override;
    void                SetPalette(const TPalette& entries) override { FPalette = entries; }
    void                SetPaletteEntries(const TRGBQuad* entries, int32_t start, int32_t count) override;
    const TPalette&     Palette() const { return FPalette; }

    // Pixels that belong to someone else (a screen buffer, a texture lock):
    // not freed with the surface; pitch may be negative.
    void                SetExternalPixels(uint8_t* bits, int32_t width, int32_t height, int32_t bitCount,
                                          int32_t pitch);
    void                ShareFrom(TDIBX& other);                          // same pixels until one is changed
    uint8_t*            ScanLine(int32_t y) { return Lock(0, y); }        // start of row y

    // The attached 8-bit mask bitmap (same size), or nullptr.
    TDIBX*              GetMask() { return FMask.get(); }
    TDIBX&              CreateMask();                                     // sized like the surface, zero-filled
    void                FreeMask() { FMask.reset(); }

private:
    struct TPixelMemory;
    std::shared_ptr<TPixelMemory> FMemory;      // owned (possibly shared) pixels; null when external
    uint8_t*            FBits = nullptr;        // address of row 0
    int32_t             FPitch = 0;
    int32_t             FBitCount = 15;
    TPalette            FPalette{};
    std::unique_ptr<TDIBX> FMask;
};

} // namespace zuno
