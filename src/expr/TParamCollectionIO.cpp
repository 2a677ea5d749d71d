// The stored blocks of the variable table: game variables and status variables.
#include <unordered_set>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "expr/TParamCollection.h"

namespace zuno {

namespace {

void writeRecord(TStream& s, const TParamCollectionItem& item) {
    WriteByte(s, item.ValueType());
    WriteString(s, item.Name());
    item.Value()->SaveToStream(s);
    WriteByte(s, item.Status);
    WriteByte(s, item.Reserved);
    WriteInt(s, item.Owner);
    WriteByte(s, item.Local);
}

// Smallest possible record: type, empty name, empty value record (D, N,
// no elements), status, reserved, owner, local.
constexpr int64_t kMinRecordSize = 1 + 4 + 4 + 4 + 1 + 1 + 4 + 1;

struct TLoadedVar {
    std::unique_ptr<TParamCollectionItem> item;
    std::string name;
};

std::vector<TLoadedVar> readRecords(TStream& s) {
    int32_t count = ReadInt(s);
    checkCount(s, count, kMinRecordSize, "variables");
    std::vector<TLoadedVar> out;
    out.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        uint8_t type = ReadByte(s);
        std::unique_ptr<TCustomParam> v = TCustomParam::CreateParam(type);
        if (!v)
            throw EZunoError::fromUtf8("データが壊れています (変数の型)");
        std::string name = ReadString(s);
        v->LoadFromStream(s);
        auto item = std::make_unique<TParamCollectionItem>();
        item->Status = ReadByte(s);
        item->Reserved = ReadByte(s);
        item->Owner = ReadInt(s);
        item->Local = ReadByte(s);
        if (name.empty())
            continue;               // a nameless record is read and dropped
        item->SetValue(std::move(v));
        out.push_back({std::move(item), std::move(name)});
    }
    return out;
}

} // namespace

void TParamCollection::SaveVariables(TStream& s) const {
    // Candidates in table order; written from the last to the first, a bound
    // reference only after the variable it refers to.
    std::vector<const TParamCollectionItem*> rest;
    for (int i = 0; i < Count(); ++i) {
        const TParamCollectionItem* item = Items(i);
        if (!item->IsSystem() && item->Status != 1)
            rest.push_back(item);
    }
    WriteInt(s, static_cast<int32_t>(rest.size()));
    std::unordered_set<std::string> written;
    while (!rest.empty()) {
        bool progress = false;
        for (size_t k = rest.size(); k-- > 0;) {
            const TParamCollectionItem* item = rest[k];
            const TParamCollectionItem* bound = item->Value()->BoundItem();
            if (bound && !written.count(bound->Name()))
                continue;
            writeRecord(s, *item);
            written.insert(item->Name());
            rest.erase(rest.begin() + static_cast<ptrdiff_t>(k));
            progress = true;
        }
        if (!progress) {
            // References to variables outside this block: write them as they are.
            for (const TParamCollectionItem* item : rest)
                writeRecord(s, *item);
            rest.clear();
        }
    }
    WriteInt(s, TextDelay);
    WriteString(s, Cursor);
    WriteString(s, SelStr);
    WriteInt(s, SelIndex);
    WriteString(s, TempName);
}

void TParamCollection::SaveStatus(TStream& s) const {
    std::vector<const TParamCollectionItem*> list;
    for (int i = 0; i < Count(); ++i) {
        const TParamCollectionItem* item = Items(i);
        if (!item->IsSystem() && item->Status == 1)
            list.push_back(item);
    }
    WriteInt(s, static_cast<int32_t>(list.size()));
    for (const TParamCollectionItem* item : list)
        writeRecord(s, *item);
}

namespace {

void addLoaded(TParamCollection& table, std::vector<TLoadedVar>& loaded) {
    std::vector<TParamCollectionItem*> added;
    added.reserve(loaded.size());
    for (TLoadedVar& v : loaded)
        added.push_back(static_cast<TParamCollectionItem*>(table.Add(std::move(v.item), std::move(v.name))));
    // References are bound again by the name of the variable they were bound to.
    for (TParamCollectionItem* item : added)
        if (auto* ref = dynamic_cast<TParamVar*>(item->Value()); ref && !ref->LoadedBoundName().empty())
            ref->Bind(table.Find(ref->LoadedBoundName()));
}

} // namespace

void TParamCollection::LoadVariables(TStream& s, int32_t version) {
    // Everything is read before the table changes, so bad data leaves it as it was.
    std::vector<TLoadedVar> loaded = readRecords(s);
    int32_t textDelay = ReadInt(s);
    std::string cursor = ReadString(s);
    std::string selStr = SelStr;
    int32_t selIndex = SelIndex;
    if (version > 102) {
        selStr = ReadString(s);
        selIndex = ReadInt(s);
    }
    bool haveHistory = false;
    std::array<int32_t, 6> history{};
    if (version > 112 && version < 135) {
        for (auto& v : history)
            v = ReadInt(s);
        haveHistory = true;
    }
    std::string tempName = TempName;
    if (version > 120)
        tempName = ReadString(s);

    for (int i = Count() - 1; i >= 0; --i) {
        TParamCollectionItem* item = Items(i);
        if (!item->IsSystem() && item->Status != 1)
            DeleteItem(item);
    }
    addLoaded(*this, loaded);
    TextDelay = textDelay;
    Cursor = std::move(cursor);
    SelStr = std::move(selStr);
    SelIndex = selIndex;
    TempName = std::move(tempName);
    if (haveHistory && OnLegacyHistorySettings)
        OnLegacyHistorySettings(history);
}

void TParamCollection::LoadStatus(TStream& s) {
    std::vector<TLoadedVar> loaded = readRecords(s);
    addLoaded(*this, loaded);
}

} // namespace zuno
