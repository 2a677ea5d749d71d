#include "objects/TTimerList.h"

#include <algorithm>

#include "core/EZunoError.h"
#include "core/StreamFields.h"

namespace zuno {

void TTimerList::Post(TZunoNamedObject* sender, const std::string& handler,
                      const std::vector<std::string>* arguments, uint8_t id) {
    auto d = std::make_unique<TTimerData>();
    d->Handler = handler;
    d->Sender = sender;
    d->Id = id;
    if (arguments)
        d->Arguments = *arguments;
    FItems.push_back(std::move(d));
}

int TTimerList::FindPending(const TZunoNamedObject* sender, uint8_t id) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i]->Sender == sender && FItems[i]->Id == id)
            return static_cast<int>(i);
    return -1;
}

TTimerData* TTimerList::NextWaiting() const {
    for (const auto& d : FItems)
        if (d->Level == 0)
            return d.get();
    return nullptr;
}

void TTimerList::RemoveLevel(int32_t level) {
    std::erase_if(FItems, [level](const auto& d) { return d->Level == level; });
}

void TTimerList::RemoveLevels(int32_t from, int32_t to) {
    std::erase_if(FItems, [from, to](const auto& d) { return d->Level >= from && d->Level <= to; });
}

void TTimerList::RemoveRunning() {
    std::erase_if(FItems, [](const auto& d) { return d->Level != 0; });
}

void TTimerList::RemoveWaitingOf(const TZunoNamedObject* sender) {
    std::erase_if(FItems, [sender](const auto& d) { return d->Level == 0 && d->Sender == sender; });
}

void TTimerList::Remove(const TTimerData* entry) {
    std::erase_if(FItems, [entry](const auto& d) { return d.get() == entry; });
}

void TTimerList::SaveToStream(TStream& s, const std::function<bool(const TZunoNamedObject*)>& isRegistered) const {
    WriteInt(s, static_cast<int32_t>(FItems.size()));
    for (const auto& d : FItems) {
        WriteString(s, d->Handler);
        bool named = d->Sender && (!isRegistered || isRegistered(d->Sender));
        WriteString(s, named ? d->Sender->Name() : std::string());
        WriteByte(s, d->Id);
        WriteInt(s, d->Level);
        WriteStrings(s, d->Arguments);
    }
}

void TTimerList::LoadFromStream(TStream& s, int32_t saveVersion, const TFindSender& find) {
    FItems.clear();
    int32_t count = ReadInt(s);
    // Every entry needs at least 4 + 4 + 1 + 1 + 4 bytes.
    checkCount(s, count, 14, "event queue");
    for (int32_t i = 0; i < count; ++i) {
        auto d = std::make_unique<TTimerData>();
        d->Handler = ReadString(s);
        std::string sender = ReadString(s);
        d->Id = ReadByte(s);
        if (saveVersion < 114)
            d->Level = ReadByte(s) != 0 ? 1 : 0;
        else
            d->Level = ReadInt(s);
        d->Arguments = ReadStrings(s);
        if (!sender.empty() && find)
            d->Sender = find(sender);
        FItems.push_back(std::move(d));
    }
}

} // namespace zuno
