#include <gtest/gtest.h>

#include "core/THashCollection.h"

using namespace zuno;

TEST(THashCollection, BucketRule) {
    struct Case { std::string key; int bucket; };
    const Case cases[] = {
        {"", 0},
        {"a", 16},                               // one byte: 16 x length only
        {"ab", (32 + 'a' + 'a') % 256},          // second-to-last of "ab" is 'a'
        {"abc", (48 + 'b' + 'a') % 256},
        {"zuno.zpb", (128 + 'p' + 'z') % 256},
        {std::string(20, 'x'), (320 + 'x' + 'x') % 256},
    };
    for (const Case& c : cases)
        EXPECT_EQ(THashCollection::HashOf(c.key), c.bucket) << c.key;
}

TEST(THashCollection, FindsNamesWithoutRegardToCaseAndPrefersTheLaterDuplicate) {
    THashCollection c;
    c.Add(std::make_unique<THashCollectionItem>(), "Data\\A.png");
    c.Add(std::make_unique<THashCollectionItem>(), "other");
    c.Add(std::make_unique<THashCollectionItem>(), "data\\a.PNG");
    EXPECT_EQ(c.IndexOf("DATA\\a.png"), 2);
    EXPECT_EQ(c.IndexOf("OTHER"), 1);
    EXPECT_EQ(c.IndexOf("missing"), -1);

    c.Delete(2);
    EXPECT_EQ(c.IndexOf("data\\a.png"), 0);     // the earlier one is found again
    EXPECT_EQ(c.Item(1)->Index(), 1);
}

TEST(THashCollection, RenamedItemMovesToTheHeadOfItsNewChain) {
    THashCollection c;
    auto* first = c.Add(std::make_unique<THashCollectionItem>(), "x");
    auto* second = c.Add(std::make_unique<THashCollectionItem>(), "y");
    EXPECT_EQ(c.Find("x"), first);
    second->SetName("X");
    EXPECT_EQ(c.Find("x"), second);
    EXPECT_EQ(c.Find("y"), nullptr);
    first->SetName("x");                        // renaming again puts it back in front
    EXPECT_EQ(c.Find("X"), first);
}

TEST(THashCollection, DoubleByteNamesKeepTheirTrailBytes) {
    THashCollection c;
    c.Add(std::make_unique<THashCollectionItem>(), "\x83\x41");    // ア
    EXPECT_EQ(c.IndexOf("\x83\x41"), 0);
    EXPECT_EQ(c.IndexOf("\x83\x61"), -1);                          // ャ is a different name
}

TEST(THashCollection, ExtractHandsOverTheItem) {
    THashCollection c;
    c.Add(std::make_unique<THashCollectionItem>(), "a");
    c.Add(std::make_unique<THashCollectionItem>(), "b");
    std::unique_ptr<THashCollectionItem> a = c.Extract(0);
    EXPECT_EQ(a->Name(), "a");
    EXPECT_EQ(a->Collection(), nullptr);
    EXPECT_EQ(c.Count(), 1);
    EXPECT_EQ(c.IndexOf("a"), -1);
    EXPECT_EQ(c.IndexOf("b"), 0);
    c.Clear();
    EXPECT_EQ(c.Find("b"), nullptr);
}
