#include "core/THashCollection.h"

#include "core/Cp932.h"

namespace zuno {

uint8_t THashCollection::HashOf(std::string_view key) {
    size_t n = key.size();
    if (n == 0)
        return 0;
    uint32_t h = 16u * static_cast<uint32_t>(n);
    if (n > 1)
        h += static_cast<uint8_t>(key[n - 2]) + static_cast<uint8_t>(key[0]);
    return static_cast<uint8_t>(h & 0xFF);
}

void THashCollectionItem::SetName(std::string name) {
    std::string key = lowerCaseSjis(name);
    SetName(std::move(name), std::move(key));
}

void THashCollectionItem::SetName(std::string name, std::string lowerKey) {
    if (FCollection)
        FCollection->unlink(this);
    FName = std::move(name);
    FKey = std::move(lowerKey);
    FBucket = THashCollection::HashOf(FKey);
    if (FCollection)
        FCollection->link(this);
}

void THashCollection::link(THashCollectionItem* item) {
    item->FNextInBucket = FBuckets[item->FBucket];
    FBuckets[item->FBucket] = item;
    chainsChanged(item->FKey, TChainChange::Linked);
}

void THashCollection::unlink(THashCollectionItem* item) {
    THashCollectionItem** p = &FBuckets[item->FBucket];
    while (*p && *p != item)
        p = &(*p)->FNextInBucket;
    if (*p)
        *p = item->FNextInBucket;
    item->FNextInBucket = nullptr;
    chainsChanged(item->FKey, TChainChange::Unlinked);
}

THashCollectionItem* THashCollection::Find(std::string_view name) const {
    std::string key = lowerCaseSjis(name);
    for (THashCollectionItem* p = FBuckets[HashOf(key)]; p; p = p->FNextInBucket)
        if (p->FKey == key)
            return p;
    return nullptr;
}

int THashCollection::IndexOf(std::string_view name) const {
    THashCollectionItem* p = Find(name);
    return p ? p->FIndex : -1;
}

THashCollectionItem* THashCollection::Add(std::unique_ptr<THashCollectionItem> item, std::string name) {
    std::string key = lowerCaseSjis(name);
    return Add(std::move(item), std::move(name), std::move(key));
}

THashCollectionItem* THashCollection::Add(std::unique_ptr<THashCollectionItem> item, std::string name,
                                          std::string lowerKey) {
    THashCollectionItem* p = item.get();
    p->FCollection = nullptr;
    p->SetName(std::move(name), std::move(lowerKey));
    p->FCollection = this;
    p->FIndex = Count();
    FItems.push_back(std::move(item));
    link(p);
    return p;
}

std::unique_ptr<THashCollectionItem> THashCollection::Extract(int index) {
    std::unique_ptr<THashCollectionItem> item = std::move(FItems[index]);
    unlink(item.get());
    FItems.erase(FItems.begin() + index);
    for (int i = index; i < Count(); ++i)
        FItems[i]->FIndex = i;
    item->FCollection = nullptr;
    item->FIndex = -1;
    return item;
}

void THashCollection::Delete(int index) { Extract(index); }

void THashCollection::Clear() {
    FItems.clear();
    for (auto& b : FBuckets)
        b = nullptr;
    chainsChanged({}, TChainChange::Cleared);
}

} // namespace zuno
