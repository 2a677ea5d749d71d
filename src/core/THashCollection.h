// A named collection with 256 hash buckets and case-insensitive names.
// Bucket of a name: (16 x length + second-to-last byte + first byte) mod 256 of
// the lower-cased name, or 16 x length mod 256 for a one-byte name. An item that
// is added or renamed goes to the head of its chain, so of two items with the
// same name the later one is found.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zuno {

class THashCollection;

class THashCollectionItem {
public:
    virtual             ~THashCollectionItem() = default;

    const std::string&  Name() const { return FName; }
    void                SetName(std::string name);         // re-hashes, to the head of the new chain
    void                SetName(std::string name, std::string lowerKey);   // lowerKey = lowerCaseSjis(name), given
    int                 Index() const { return FIndex; }   // position in the collection, -1 when free
    THashCollection*    Collection() const { return FCollection; }
    const std::string&  Key() const { return FKey; }           // lower-cased name
    THashCollectionItem* NextInBucket() const { return FNextInBucket; }

private:
    friend class THashCollection;
    std::string         FName;
    std::string         FKey;                               // lower-cased name
    THashCollectionItem* FNextInBucket = nullptr;
    THashCollection*    FCollection = nullptr;
    int                 FIndex = -1;
    uint8_t             FBucket = 0;
};

class THashCollection {
public:
                        THashCollection() = default;
    virtual             ~THashCollection() = default;
                        THashCollection(const THashCollection&) = delete;
    THashCollection&    operator=(const THashCollection&) = delete;

    int                 Count() const { return static_cast<int>(FItems.size()); }
    THashCollectionItem* Item(int index) const { return FItems[index].get(); }
    THashCollectionItem* Find(std::string_view name) const;    // nullptr when absent
    int                 IndexOf(std::string_view name) const;  // -1 when absent

    THashCollectionItem* Add(std::unique_ptr<THashCollectionItem> item, std::string name);
    THashCollectionItem* Add(std::unique_ptr<THashCollectionItem> item, std::string name, std::string lowerKey);
    std::unique_ptr<THashCollectionItem> Extract(int index);   // removes without freeing
    void                Delete(int index);
    void                Clear();

    static uint8_t      HashOf(std::string_view lowerName);
    // Head of a bucket's chain (most recently added or renamed first), for
    // collections with their own look-up rules.
    THashCollectionItem* BucketHead(uint8_t bucket) const { return FBuckets[bucket]; }

protected:
    // Called whenever an item with this key joins or leaves a chain (adding,
    // renaming, removing), and once when Clear removes everything.
    // Collections that cache look-ups use it to know when they are stale.
    enum class TChainChange { Linked, Unlinked, Cleared };
    virtual void        chainsChanged(std::string_view /*key*/, TChainChange /*change*/) {}

private:
    friend class THashCollectionItem;
    void                link(THashCollectionItem* item);
    void                unlink(THashCollectionItem* item);

    std::vector<std::unique_ptr<THashCollectionItem>> FItems;
    THashCollectionItem* FBuckets[256] = {};
};

// A typed view for collections of one item class.
template <class T>
class TTypedHashCollection : public THashCollection {
public:
    T*                  Items(int index) const { return static_cast<T*>(Item(index)); }
    T*                  FindItem(std::string_view name) const { return static_cast<T*>(Find(name)); }
    T*                  AddItem(std::string name) { return static_cast<T*>(Add(std::make_unique<T>(), std::move(name))); }
};

} // namespace zuno
