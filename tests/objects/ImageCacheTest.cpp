// The image cache: items shared by key and freed with their last owner,
// what a loaded frame holds (key colour, delay, mask, trim offset), the
// empty picture that stands in for unreadable files, the high-colour flag.
#include <gtest/gtest.h>

#include "ImageTestKit.h"
#include "core/StreamFields.h"

namespace zuno {
namespace {

using namespace test;

class ImageCacheTest : public ImageSceneTest {
protected:
    TDrelCollection& Cache = TDrelCollection::Instance();
};

TEST_F(ImageCacheTest, ItemsAreSharedByKeyAndLiveWhileOwned) {
    addFile("pic.drl", drelBytes({solidFrame(3, 2, 0x112233)}));
    int ownerA = 0, ownerB = 0;
    TDrelItem* a = Cache.Acquire(&ownerA, "pic.drl", false, false);
    TDrelItem* again = Cache.Acquire(&ownerA, "PIC.DRL", false, false);   // names compare without case
    TDrelItem* b = Cache.Acquire(&ownerB, "pic.drl", false, false);
    EXPECT_EQ(a, again);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->OwnerCount(), 2);                                       // each owner once
    EXPECT_EQ(Cache.Count(), 1);

    // The mask and trim requests are separate items.
    TDrelItem* masked = Cache.Acquire(&ownerA, "pic.drl", false, true);
    TDrelItem* trimmed = Cache.Acquire(&ownerA, "pic.drl", true, true);
    EXPECT_NE(masked, a);
    EXPECT_NE(trimmed, masked);
    EXPECT_EQ(masked->Name(), "pic.drl?m");
    EXPECT_EQ(trimmed->Name(), "pic.drl?m?t");
    EXPECT_EQ(Cache.Count(), 3);

    Cache.Release(a, &ownerA);
    EXPECT_EQ(Cache.Find("pic.drl"), a);                                 // ownerB still holds it
    Cache.Release(a, &ownerB);
    EXPECT_EQ(Cache.Find("pic.drl"), nullptr);
    Cache.Release(masked, &ownerA);
    Cache.Release(trimmed, &ownerA);
    EXPECT_EQ(Cache.Count(), 0);
}

TEST_F(ImageCacheTest, ImageListsAndControlsReleaseTheirItems) {
    addFile("anim.drl", drelBytes({solidFrame(2, 2, 1), solidFrame(2, 2, 2)}));
    TZunoImages* one = addImage("anim.drl", 0, 0);
    TZunoImages* two = addImage("anim.drl", 5, 5);
    TDrelItem* item = Cache.Find("anim.drl");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->OwnerCount(), 2);
    Reg.DeleteObject(one);
    EXPECT_EQ(item->OwnerCount(), 1);
    two->SetSource("");
    EXPECT_EQ(Cache.Count(), 0);

    // Two lists of one control keep the item for each other.
    TZunoImageList first, second;
    first.Load("anim.drl");
    second.Load("anim.drl");
    first.Clear();
    ASSERT_EQ(second.Count(), 2);
    EXPECT_EQ(second.Data(1).GetPicture()->GetPixel(0, 0), 2u);
}

TEST_F(ImageCacheTest, FramesCarryKeyDelayMaskAndTrim) {
    TFramePlan keyed = solidFrame(4, 3, 0x00AA0000);
    keyed.Key = 0x00AA0000;                                              // the border is transparent
    keyed.Pixels[size_t(1 * 4 + 1)] = 0x00102030;
    keyed.Pixels[size_t(1 * 4 + 2)] = 0x00405060;
    keyed.Delay = 0;
    TFramePlan masked = solidFrame(4, 3, 0x00010203, 70);
    masked.Mask.assign(12, 0);
    masked.Mask[size_t(2 * 4 + 3)] = 200;
    addFile("two.drl", drelBytes({keyed, masked}));

    int owner = 0;
    TDrelItem* item = Cache.Acquire(&owner, "two.drl", false, false);
    ASSERT_EQ(item->FrameCount(), 2);
    EXPECT_EQ(item->Width(), 4);
    EXPECT_EQ(item->Height(), 3);
    TDrelItemFrame& f0 = item->Frames(0);
    EXPECT_EQ(f0.Delay, 1);                                              // 0 in the file
    EXPECT_EQ(f0.TransparentColor, 0x000000AA);                          // 0x00BBGGRR
    EXPECT_EQ(f0.Picture->TransparentColor, 0x00AA0000);                 // as a pixel of the picture
    EXPECT_EQ(f0.Picture->GetBitCount(), 32);
    EXPECT_EQ(f0.Mask, nullptr);
    TDrelItemFrame& f1 = item->Frames(1);
    EXPECT_EQ(f1.Delay, 70);
    EXPECT_EQ(f1.Picture->TransparentColor, -1);
    ASSERT_NE(f1.Mask, nullptr);
    EXPECT_EQ(f1.Mask->GetPixel(3, 2), 200u);
    EXPECT_EQ(item->TotalDuration(), 71);

    // The mask request turns the key colour into a mask; trimming cuts the
    // frame to what is visible and keeps where the cut started.
    TDrelItem* trimmed = Cache.Acquire(&owner, "two.drl", true, true);
    TDrelItemFrame& t0 = trimmed->Frames(0);
    ASSERT_NE(t0.Mask, nullptr);
    EXPECT_EQ(t0.OffsetX, 1);
    EXPECT_EQ(t0.OffsetY, 1);
    EXPECT_EQ(t0.Picture->GetWidth(), 2);
    EXPECT_EQ(t0.Picture->GetHeight(), 1);
    EXPECT_EQ(t0.Picture->GetPixel(1, 0), 0x00405060u);
    EXPECT_EQ(t0.Mask->GetPixel(0, 0), 255u);
    EXPECT_EQ(trimmed->Width(), 2);
    // The mask request makes every frame's mask from its key, replacing a
    // mask of the file: without a key nothing is cut.
    TDrelItemFrame& t1 = trimmed->Frames(1);
    EXPECT_EQ(t1.OffsetX, 0);
    EXPECT_EQ(t1.Picture->GetWidth(), 4);
    EXPECT_EQ(t1.Mask->GetPixel(0, 0), 255u);
    Cache.Release(item, &owner);
    Cache.Release(trimmed, &owner);
}

TEST_F(ImageCacheTest, UnreadableFilesGiveTheEmptyPicture) {
    std::vector<uint8_t> damaged = drelBytes({solidFrame(8, 8, 0x123456)});
    damaged.resize(damaged.size() / 2);
    addFile("damaged.drl", damaged);
    addFile("garbage.drl", std::vector<uint8_t>(64, 0xEE));
    addFile("noframes.drl", drelBytes({}));
    addFile("text.txt", {'h', 'i'});
    struct TCase {
        const char* name;
        bool mask;
    } cases[] = {
        {"missing.drl", false}, {"missing.drl", true}, {"damaged.drl", false}, {"garbage.drl", true},
        {"noframes.drl", false}, {"text.txt", false}, {"", false},
    };
    for (const TCase& c : cases) {
        int owner = 0;
        TDrelItem* item = Cache.Acquire(&owner, c.name, false, c.mask);
        ASSERT_EQ(item->FrameCount(), 1) << c.name;
        TDrelItemFrame& f = item->Frames(0);
        EXPECT_EQ(item->Width(), 8) << c.name;
        EXPECT_EQ(item->Height(), 8) << c.name;
        EXPECT_EQ(f.Picture->GetPixel(7, 7), 0u) << c.name;
        EXPECT_EQ(f.TransparentColor, 0) << c.name;
        EXPECT_EQ(f.Picture->TransparentColor, 0) << c.name;
        EXPECT_EQ(f.Mask != nullptr, c.mask) << c.name;
        if (f.Mask) {
            EXPECT_EQ(f.Mask->GetPixel(3, 3), 0u) << c.name;
        }
        Cache.Release(item, &owner);
    }

    // On screen the empty picture shows nothing.
    TZunoImages* img = addImage("missing.drl", 2, 2);
    EXPECT_EQ(img->Width(), 8);
    compose();
    EXPECT_EQ(pixel(5, 5), kBackground);
}

TEST_F(ImageCacheTest, HighColourIsSavedAndReloadsItemsInPlace) {
    addFile("pic.drl", drelBytes({solidFrame(2, 2, 0x111111)}));
    int owner = 0;
    TDrelItem* item = Cache.Acquire(&owner, "pic.drl", false, false);
    TDIBX* picture = item->Frames(0).Picture.get();

    // The file changes under the cache: a change of the flag reloads it into
    // the same frames.
    addFile("pic.drl", drelBytes({solidFrame(2, 2, 0x222222)}));        // the later entry wins
    EXPECT_EQ(picture->GetPixel(0, 0), 0x111111u);
    Cache.SetHighColour(true);
    EXPECT_EQ(item->Frames(0).Picture.get(), picture);
    EXPECT_EQ(picture->GetPixel(0, 0), 0x222222u);
    Cache.SetHighColour(true);                                           // unchanged: nothing happens

    TKsMemoryStream s;
    Cache.SaveToStream(s);
    ASSERT_EQ(s.GetSize(), 1);
    EXPECT_EQ(s.Memory()[0], 1);

    // A file that is gone leaves the frames as they are.
    TVrFileManager empty;
    Cache.SetFileManager(&empty);
    s.SetPosition(0);
    WriteBool(s, false);
    s.SetPosition(0);
    Cache.LoadFromStream(s, 101);
    EXPECT_FALSE(Cache.HighColour());
    EXPECT_EQ(picture->GetPixel(0, 0), 0x222222u);
    s.SetPosition(0);
    Cache.LoadFromStream(s, 100);                                        // version 100 has no flag
    EXPECT_EQ(s.GetPosition(), 0);
    Cache.SetFileManager(&Files);
    Cache.Release(item, &owner);
}

} // namespace
} // namespace zuno
