// The event queue of the registry. Display objects post events (handler page
// reference, sender, the handler property's identifier, argument texts); the
// interpreter takes the waiting ones and marks them with the nesting level of
// the handler call that runs them, and removes them when that call ends.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/TStream.h"
#include "objects/TZunoNamedObject.h"

namespace zuno {

struct TTimerData {
    std::string         Handler;                // page reference "page.zsb" or "page.zsb:label"
    TZunoNamedObject*   Sender = nullptr;       // not owned; none for events without an object
    uint8_t             Id = 0;                 // PR_ identifier of the handler property
    int32_t             Level = 0;              // 0 waiting, else the level of the call running it
    std::vector<std::string> Arguments;
};

class TTimerList {
public:
    using TFindSender = std::function<TZunoNamedObject*(const std::string& name)>;

    void                Post(TZunoNamedObject* sender, const std::string& handler,
                             const std::vector<std::string>* arguments, uint8_t id);
    int                 FindPending(const TZunoNamedObject* sender, uint8_t id) const; // waiting or running, -1
    TTimerData*         NextWaiting() const;                    // first entry of level 0
    void                RemoveLevel(int32_t level);
    void                RemoveLevels(int32_t from, int32_t to);   // every level in from .. to
    void                RemoveRunning();                        // every entry whose level is not 0
    void                RemoveWaitingOf(const TZunoNamedObject* sender);
    void                Remove(const TTimerData* entry);           // that entry, if it is queued
    void                Clear() { FItems.clear(); }

    int                 Count() const { return static_cast<int>(FItems.size()); }
    TTimerData&         Items(int i) const { return *FItems[static_cast<size_t>(i)]; }

    // Record: int32 count; per entry handler, sender name, id byte, level
    // (int32; before save version 114 one byte, non-zero read as 1), argument texts.
    // `isRegistered` tells whether a sender still exists (its name is written
    // only then); loading looks senders up by name with `find`.
    void                SaveToStream(TStream& s, const std::function<bool(const TZunoNamedObject*)>& isRegistered) const;
    void                LoadFromStream(TStream& s, int32_t saveVersion, const TFindSender& find);

private:
    std::vector<std::unique_ptr<TTimerData>> FItems;
};

} // namespace zuno
