// The small generator of the archive, the Drel format and the transitions:
// State := State x 5 + Seed (mod 2^32).
#pragma once

#include <cstdint>
#include <vector>

namespace zuno {

class TKsRandom {
public:
    explicit            TKsRandom(int32_t seed) : FSeed(static_cast<uint32_t>(seed)) {}

    int32_t             Next();                 // the new State as a signed value
    void                ResetPool(int n);       // the pool becomes 0 .. n-1
    int32_t             NextFromPool();         // draws one pool element and removes it; -1 when empty
    int                 PoolSize() const { return static_cast<int>(FPool.size()); }

private:
    uint32_t            FSeed;
    uint32_t            FState = 0;
    std::vector<int32_t> FPool;
};

} // namespace zuno
