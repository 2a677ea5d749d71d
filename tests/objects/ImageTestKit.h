// Fixtures of the image component tests: game files held in memory by a
// file manager that the image cache reads, Drel files written from a few
// frame descriptions, and reading back the composed scene.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ObjectTestKit.h"
#include "archive/TVrFileManager.h"
#include "core/TStream.h"
#include "imaging/ImageCodecs.h"
#include "imaging/TDrelFrameList.h"
#include "objects/TDrelCollection.h"
#include "objects/TZunoCustomImage.h"

namespace zuno::test {

// One frame of a Drel file: 24-bit pixels 0x00RRGGBB row by row, an
// optional key pixel value, delay and 8-bit mask.
struct TFramePlan {
    int32_t                 Width = 0, Height = 0;
    std::vector<uint32_t>   Pixels;
    int32_t                 Key = -1;
    int32_t                 Delay = 100;
    std::vector<uint8_t>    Mask;               // empty: none
    std::vector<TRect>      DrawRects;
};

inline std::vector<uint8_t> drelBytes(const std::vector<TFramePlan>& frames) {
    TDrelFrameList list;
    for (const TFramePlan& plan : frames) {
        TDrelFrame* f = list.AddFrame();
        f->Bitmap.SetSize(plan.Width, plan.Height, 24);
        for (int32_t y = 0; y < plan.Height; ++y)
            for (int32_t x = 0; x < plan.Width; ++x)
                f->Bitmap.SetPixel(x, y, plan.Pixels[size_t(y * plan.Width + x)]);
        f->SetTransparentValue(plan.Key);
        f->Delay = plan.Delay;
        if (!plan.Mask.empty()) {
            f->Mask = std::make_unique<TDrelBitmap>(plan.Width, plan.Height, 8);
            for (int32_t y = 0; y < plan.Height; ++y)
                for (int32_t x = 0; x < plan.Width; ++x)
                    f->Mask->Row(y)[x] = plan.Mask[size_t(y * plan.Width + x)];
        }
        f->DrawRects = plan.DrawRects;
    }
    TKsMemoryStream s;
    list.SaveToStream(s);
    return s.Data();
}

// A frame of one colour.
inline TFramePlan solidFrame(int32_t w, int32_t h, uint32_t pixel, int32_t delay = 100) {
    TFramePlan f;
    f.Width = w;
    f.Height = h;
    f.Pixels.assign(size_t(w * h), pixel);
    f.Delay = delay;
    return f;
}

// A registry of a small scene on a grey screen, with the image cache
// reading the files added here.
class ImageSceneTest : public ::testing::Test {
protected:
    static constexpr int32_t kSceneW = 40, kSceneH = 30;
    static constexpr uint32_t kBackground = 0x00406080;       // pixel of the screen colour 0x806040

    ImageSceneTest() {
        Files.AddArchive("");
        TDrelCollection::Instance().SetFileManager(&Files);
        Reg.SetSize(kSceneW, kSceneH);
        Reg.GetScreen(0)->SetColor(0x806040);
    }
    ~ImageSceneTest() override {
        Reg.Reset();
        TDrelCollection::Instance().SetFileManager(nullptr);
        TDrelCollection::Instance().SetHighColour(false);
        TZunoCustomImages::LoopWaitEvaluator = nullptr;
    }

    void addFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        TVrFile* entry = Files.Archive(0)->AddMemoryEntry(name);
        entry->Data->WriteBuffer(bytes.data(), int64_t(bytes.size()));
    }

    // An image surface on screen 0 showing `source` at (left, top).
    TZunoImages* addImage(const std::string& source, int32_t left, int32_t top, const std::string& name = {}) {
        TZunoImages* img = Reg.Create<TZunoImages>();
        if (!name.empty())
            img->SetName(name);
        img->SetParent(Reg.GetScreen(0));
        img->SetLeft(left);
        img->SetTop(top);
        img->SetSource(source);
        return img;
    }

    // Draws the dirty parts of the scene and clears the dirty lists.
    void compose() {
        Reg.Draw();
        Reg.ClearDirty();
    }
    uint32_t pixel(int32_t x, int32_t y) { return Reg.OutputSurface().GetPixel(x, y); }

    TVrFileManager Files;
    TZunoBaseList Reg;
};

} // namespace zuno::test
