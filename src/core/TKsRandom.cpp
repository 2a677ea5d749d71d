#include "core/TKsRandom.h"

#include <cstddef>

namespace zuno {

int32_t TKsRandom::Next() {
    FState = FState * 5u + FSeed;
    return static_cast<int32_t>(FState);
}

void TKsRandom::ResetPool(int n) {
    FPool.clear();
    if (n <= 0)
        return;
    FPool.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        FPool.push_back(i);
}

int32_t TKsRandom::NextFromPool() {
    if (FPool.empty())
        return -1;
    FState = FState * 5u + FSeed;
    std::size_t index = FState % static_cast<uint32_t>(FPool.size());
    int32_t v = FPool[index];
    FPool.erase(FPool.begin() + static_cast<std::ptrdiff_t>(index));
    return v;
}

} // namespace zuno
