// Inline images of a message box's text: measured from and drawn with the
// picture in the image cache, at their place in the box once revealed.
#include <gtest/gtest.h>

#include "ImageTestKit.h"
#include "ObjectTestKit.h"
#include "objects/TZunoMes.h"

namespace zuno {
namespace {

class MesImageTest : public test::ImageSceneTest {
protected:
    // The pixels of the output that are exactly `rgb`.
    int countOf(uint32_t rgb) {
        int n = 0;
        for (int32_t y = 0; y < kSceneH; ++y)
            for (int32_t x = 0; x < kSceneW; ++x)
                n += (pixel(x, y) & 0xFFFFFF) == rgb;
        return n;
    }
};

TEST_F(MesImageTest, InlineImageIsDrawnWithItsPictureSize) {
    test::TFramePlan dot;
    dot.Width = 5;
    dot.Height = 3;
    dot.Pixels.assign(15, 0x00FF00);
    addFile("dot.drl", test::drelBytes({dot}));
    TZunoMes* box = test::addControl<TZunoMes>(Reg, Reg.GetScreen(0), 4, 4, 30, 20, "m");
    box->SetProp(PR_TEXT, TPropValue::ofStr("<IMG SRC=dot.drl><IMG SRC=none.drl>"));
    for (int i = 0; i < 20; ++i)
        Reg.Update(100);
    ASSERT_NE(box->CurrentPage(), nullptr);
    const TWdRow& row = *box->CurrentPage()->Rows[0];
    ASSERT_EQ(row.Items.size(), 2u);
    EXPECT_EQ(row.Items[0]->Width, 5);
    EXPECT_EQ(row.Items[0]->Height, 3);
    EXPECT_EQ(row.Items[1]->Width, 8);                         // a missing file: the empty picture
    Reg.GetScreen(0)->MarkAllDirty();
    compose();
    EXPECT_EQ(countOf(0x00FF00), 15);
    const int32_t left = 4 + box->Word().OriginX + TKsWord::ItemLeft(row, *row.Items[0]);
    const int32_t top = 4 + box->Word().OriginY + TKsWord::ItemTop(row, *row.Items[0]);
    EXPECT_EQ(pixel(left, top) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(pixel(left + 4, top + 2) & 0xFFFFFF, 0x00FF00u);
}

} // namespace
} // namespace zuno
