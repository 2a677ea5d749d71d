#include <gtest/gtest.h>

#include <algorithm>

#include "core/TKsRandom.h"

using namespace zuno;

TEST(TKsRandom, StateTimesFivePlusSeed) {
    TKsRandom r(1482730591);
    uint32_t state = 0;
    for (int i = 0; i < 1000; ++i) {
        state = state * 5u + 1482730591u;
        ASSERT_EQ(r.Next(), static_cast<int32_t>(state)) << i;
    }
    TKsRandom negative(-7);
    EXPECT_EQ(negative.Next(), -7);
    EXPECT_EQ(negative.Next(), -42);
}

TEST(TKsRandom, PoolDrawsEveryElementOnceInGeneratorOrder) {
    TKsRandom r(12345);
    r.ResetPool(5);
    std::vector<int32_t> pool = {0, 1, 2, 3, 4};
    uint32_t state = 0;
    std::vector<int32_t> drawn;
    while (r.PoolSize() > 0) {
        state = state * 5u + 12345u;
        int32_t expected = pool[state % pool.size()];
        pool.erase(pool.begin() + state % pool.size());
        int32_t got = r.NextFromPool();
        EXPECT_EQ(got, expected);
        drawn.push_back(got);
    }
    std::sort(drawn.begin(), drawn.end());
    EXPECT_EQ(drawn, (std::vector<int32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(r.NextFromPool(), -1);
}
