// The reveal of a page against the frame clock: per-item waits scaled by the
// delay rate, the fade, pauses, event marks, the caret and hit testing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Cp932.h"
#include "text/TKsWord.h"
#include "WordTestUtil.h"

namespace {

using namespace zuno;

struct TRevealFixture {
    TKsWord word;
    std::vector<std::unique_ptr<TWdPage>> pages;

    explicit TRevealFixture(const std::string& utf8, int32_t width = 1000, int32_t pageHeight = 1000) {
        zuno::test::setTenPixelCells(word);
        word.LayoutWidth = width;
        word.PageHeight = pageHeight;
        word.SetText(sjis(utf8));
        word.Layout(0, -1, pages);
    }
    TWdPage& page() { return *pages.at(0); }
    TKsWord::TRevealResult step(int32_t elapsed) { return word.Reveal(page(), elapsed); }

    // The new text of each frame, in UTF-8.
    std::vector<std::string> run(const std::vector<int32_t>& frames) {
        std::vector<std::string> out;
        for (int32_t ms : frames)
            out.push_back(cp932ToUtf8(step(ms).NewText));
        return out;
    }
};

TEST(KsWordReveal, WaitsScaledByTheDelayRate) {
    struct TCase {
        const char* name;
        std::string markup;
        int32_t rate;
        std::vector<int32_t> frames;
        std::vector<std::string> shown;
    } cases[] = {
        {"the first item at once, then every 50 ms", "abc", 256, {16, 30, 20, 49, 1}, {"a", "", "b", "", "c"}},
        {"a rate of 512 counts every wait twice", "abc", 512, {16, 99, 1}, {"a", "", "b"}},
        {"a rate of 0 shows everything at once", "abc", 0, {16}, {"abc"}},
        {"a negative rate counts as 0", "abc", -256, {16}, {"abc"}},
        {"WAIT 0 shows the following characters at once", "<WAIT VALUE=0>abc", 256, {16}, {"abc"}},
        {"the wait of an item delays the next", "a<WAIT VALUE=0>bc</WAIT>d", 256, {16, 50}, {"a", "bcd"}},
        {"a negative wait is a fixed delay", "<WAIT VALUE=-30>abc", 512, {16, 29, 1}, {"a", "", "b"}},
        {"time left over carries on", "<WAIT VALUE=10>abcd", 256, {16, 25, 5}, {"a", "bc", "d"}},
        {"an image shows as *", "<WAIT VALUE=0>a<IMG SRC=p>", 256, {16}, {"a*"}},
        {"the first frame's time is not counted", "abc", 256, {1000, 50}, {"a", "b"}},
    };
    for (auto& c : cases) {
        TRevealFixture f(c.markup);
        f.word.TextDelayRate = c.rate;
        EXPECT_EQ(f.run(c.frames), c.shown) << c.name;
    }
}

TEST(KsWordReveal, CompleteWhenEverythingIsShownAndFaded) {
    TRevealFixture f("<WAIT VALUE=0>ab");
    f.word.FadeTime = 100;
    const int32_t frames[] = {16, 50, 30, 20};
    const int32_t alpha[] = {0, 128, 204, 255};
    for (int i = 0; i < 4; ++i) {
        TKsWord::TRevealResult r = f.step(frames[i]);
        EXPECT_EQ(f.word.Item(0)->Alpha, alpha[i]) << i;
        EXPECT_EQ(f.word.Item(1)->Alpha, alpha[i]) << i;
        EXPECT_EQ(r.Complete, i == 3) << i;
    }
    EXPECT_TRUE(f.page().Fading.empty());
}

TEST(KsWordReveal, WithoutFadeTimeItemsAppearWhole) {
    TRevealFixture f("ab");
    EXPECT_FALSE(f.step(16).Complete);
    EXPECT_EQ(f.word.Item(0)->Alpha, 255);
    EXPECT_EQ(f.word.Item(1)->Alpha, 0);
    EXPECT_TRUE(f.step(50).Complete);
}

TEST(KsWordReveal, PauseStopsNewItemsButNotTheFade) {
    TRevealFixture f("ab");
    f.word.FadeTime = 100;
    f.word.Paused = true;
    EXPECT_EQ(f.step(16).NewText, "");
    f.word.Paused = false;
    EXPECT_EQ(f.step(16).NewText, "a");
    f.word.Paused = true;
    TKsWord::TRevealResult r = f.step(50);
    EXPECT_EQ(r.NewText, "");
    EXPECT_EQ(f.word.Item(0)->Alpha, 128);
    f.step(100);
    EXPECT_EQ(f.word.Item(0)->Alpha, 255);
    EXPECT_EQ(f.word.Item(1)->Alpha, 0);
    // Back from the pause, the countdown goes on where it was.
    f.word.Paused = false;
    EXPECT_EQ(f.step(50).NewText, "b");
}

TEST(KsWordReveal, EventMarksAreCollectedAndHoldTheReveal) {
    TRevealFixture f("a<EVENT VALUE=x>b<WAIT VALUE=0><EVENT VALUE=y><EVENT VALUE=z END>c");
    f.word.CollectEvents = true;
    EXPECT_EQ(f.step(16).NewText, "a");
    TKsWord::TRevealResult r = f.step(50);
    EXPECT_TRUE(r.EventsPending);
    EXPECT_EQ(r.NewText, "");
    // Nothing more appears while the marks wait to be reported.
    EXPECT_EQ(f.step(100).NewText, "");
    EXPECT_EQ(f.word.TakeEventText(f.page()), "x");
    // The frame after the mark does not count its time.
    EXPECT_EQ(f.step(30).NewText, "");
    EXPECT_EQ(f.step(50).NewText, "b");
    r = f.step(50);
    EXPECT_EQ(r.NewText, "c");    // marks without a wait do not stop the reveal
    EXPECT_EQ(f.word.TakeEventText(f.page()), "y\t\x01z");
    EXPECT_TRUE(r.Complete);
}

TEST(KsWordReveal, EventMarksPassSilentlyWhenNotCollected) {
    TRevealFixture f("<WAIT VALUE=0>a<EVENT VALUE=x>b");
    TKsWord::TRevealResult r = f.step(16);
    EXPECT_EQ(r.NewText, "ab");
    EXPECT_FALSE(r.EventsPending);
    EXPECT_EQ(f.page().EventText, "");
}

TEST(KsWordReveal, CaretFollowsTheShownItems) {
    TRevealFixture f("ab<BR>c");
    f.word.OriginX = 5;
    f.word.OriginY = 7;
    f.word.ResetReveal(f.page());
    EXPECT_EQ(f.word.CaretX, 5);
    f.step(16);
    EXPECT_EQ(f.word.CaretX, 15);      // before b
    EXPECT_EQ(f.word.CaretY, 7);
    EXPECT_EQ(f.word.CaretHeight, 10);
    f.step(50);
    EXPECT_EQ(f.word.CaretX, 25);      // before the line break
    EXPECT_EQ(f.word.CaretY, 7);
    f.step(50);                        // the line break takes no time: c follows at once
    EXPECT_EQ(f.word.CaretX, 15);      // after c, the last item
    EXPECT_EQ(f.word.CaretY, 17);
    EXPECT_EQ(f.word.CaretHeight, 10);
}

TEST(KsWordReveal, StopsAtRowsBelowTheVisiblePart) {
    TRevealFixture f("<WAIT VALUE=0>あいうえおか", 20, 15);
    f.word.Paging = false;
    f.pages.clear();
    f.word.Layout(0, -1, f.pages);
    ASSERT_EQ(f.pages.size(), 1u);
    EXPECT_EQ(f.run({16, 16}), (std::vector<std::string>{"あいうえ", ""}));
    f.page().ScrollY = 10;
    EXPECT_EQ(f.run({16}), (std::vector<std::string>{"おか"}));
}

TEST(KsWordReveal, ShowAllAndResetReveal) {
    TRevealFixture f("abc");
    f.word.FadeTime = 1000;
    f.step(16);
    f.word.ShowAll(f.page());
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(f.word.Item(i)->Alpha, 255);
    EXPECT_TRUE(f.page().Complete());
    EXPECT_EQ(f.step(16).NewText, "");
    f.word.ResetReveal(f.page());
    EXPECT_FALSE(f.page().Complete());
    EXPECT_EQ(f.word.Item(2)->Alpha, 0);
    EXPECT_EQ(f.step(16).NewText, "a");
}

TEST(KsWordReveal, OnlyFullyShownItemsAreHit) {
    TRevealFixture f("<WAIT VALUE=500>ab");
    f.word.FadeTime = 100;
    f.step(16);
    f.step(100);
    EXPECT_EQ(f.word.ItemAt(f.page(), 5, 5), f.word.Item(0));
    EXPECT_EQ(f.word.ItemAt(f.page(), 15, 5), nullptr);    // not shown yet
    f.step(399);
    f.step(10);
    EXPECT_GT(f.word.Item(1)->Alpha, 0);
    EXPECT_EQ(f.word.ItemAt(f.page(), 15, 5), nullptr);    // still fading
    f.word.ShowAll(f.page());
    EXPECT_EQ(f.word.ItemAt(f.page(), 15, 5), f.word.Item(1));
    EXPECT_EQ(f.word.ItemAt(f.page(), 25, 5), nullptr);
    f.page().ScrollY = 5;
    EXPECT_EQ(f.word.ItemAt(f.page(), 5, 4), f.word.Item(0));
    EXPECT_EQ(f.word.ItemAt(f.page(), 5, 6), nullptr);
}

} // namespace
