#include "archive/TKsBigResourceStream.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "core/Cp932.h"
#include "core/EZunoError.h"

namespace zuno {

namespace {

struct Registry {
    std::mutex lock;
    std::map<std::string, TEmbeddedResource> items;      // key: upper-cased type, NUL, upper-cased name
};

Registry& registry() {
    static Registry r;
    return r;
}

std::string keyOf(std::string_view name, std::string_view type) {
    return upperCaseSjis(type) + '\0' + upperCaseSjis(name);
}

EZunoError readOnlyError() { return EZunoError::fromUtf8("リソースには書き込めません"); }

} // namespace

void registerEmbeddedResource(std::string name, std::string type, const uint8_t* data, int64_t size) {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.items[keyOf(name, type)] = TEmbeddedResource{data, std::max<int64_t>(0, size), nullptr};
}

void registerEmbeddedResource(std::string name, std::string type, std::vector<uint8_t> bytes) {
    auto owned = std::make_shared<std::vector<uint8_t>>(std::move(bytes));
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.items[keyOf(name, type)] = TEmbeddedResource{owned->data(), static_cast<int64_t>(owned->size()), owned};
}

void unregisterEmbeddedResource(std::string_view name, std::string_view type) {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.items.erase(keyOf(name, type));
}

std::optional<TEmbeddedResource> findEmbeddedResource(std::string_view name, std::string_view type) {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = r.items.find(keyOf(name, type));
    if (it == r.items.end())
        return std::nullopt;
    return it->second;
}

// ---------------------------------------------------------------- TKsBigResourceStream

TKsBigResourceStream::TKsBigResourceStream(std::string module, std::string name, std::string type)
    : FModule(std::move(module)), FName(std::move(name)), FType(std::move(type)) {
    std::optional<TEmbeddedResource> found = findEmbeddedResource(FName, FType);
    if (!found)
        throw EZunoError::fromUtf8("リソースが見つかりません");
    FResource = *found;
}

void TKsBigResourceStream::SetPosition(int64_t p) { FPosition = std::clamp<int64_t>(p, 0, FResource.size); }

int64_t TKsBigResourceStream::Write(const void*, int64_t) { throw readOnlyError(); }

int64_t TKsBigResourceStream::CopyFromBig(TKsBigStream&, int64_t) { throw readOnlyError(); }

int64_t TKsBigResourceStream::CopyFrom(TStream&, int64_t) { throw readOnlyError(); }

int64_t TKsBigResourceStream::Read(void* buffer, int64_t count) {
    int64_t n = std::min(count, FResource.size - FPosition);
    if (n <= 0)
        return 0;
    std::memcpy(buffer, FResource.data + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TKsBigResourceStream::CopyTo(TStream& target, int64_t count) {
    int64_t n = std::min(count, FResource.size - FPosition);
    if (n <= 0)
        return 0;
    target.WriteBuffer(FResource.data + FPosition, n);
    FPosition += n;
    return n;
}

} // namespace zuno
