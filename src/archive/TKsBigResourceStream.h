// Embedded resources: data built into the executable, found by a resource
// name and a resource type (both compared case-insensitively), and the
// read-only big stream over one of them.
//
// Data is registered once, usually by a static registrar in the file that
// embeds it; the registry never copies borrowed data.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/TKsBigStream.h"

namespace zuno {

struct TEmbeddedResource {
    const uint8_t*      data = nullptr;
    int64_t             size = 0;
    std::shared_ptr<const void> keep;                 // holds an owned copy alive while in use
};

// Registers borrowed bytes (they must outlive the process's use of them) or
// an owned copy. A later registration of the same name and type replaces the
// earlier one.
void registerEmbeddedResource(std::string name, std::string type, const uint8_t* data, int64_t size);
void registerEmbeddedResource(std::string name, std::string type, std::vector<uint8_t> bytes);
void unregisterEmbeddedResource(std::string_view name, std::string_view type);

// The resource, or nothing when none is registered under that name and type.
std::optional<TEmbeddedResource> findEmbeddedResource(std::string_view name, std::string_view type);

// Registers at static-initialisation time: static TEmbeddedResourceRegistrar r("DUMMY", "BINTYPE", data, size);
struct TEmbeddedResourceRegistrar {
    TEmbeddedResourceRegistrar(const char* name, const char* type, const uint8_t* data, int64_t size) {
        registerEmbeddedResource(name, type, data, size);
    }
};

// The module name that stands for the player itself.
constexpr const char* kOwnModule = "";

class TKsBigResourceStream : public TKsBigStream {
public:
    // Fails with "リソースが見つかりません" when no such resource is embedded.
    // `module` only names the source so range streams over the same resource
    // can be opened; every resource of this player is its own.
                        TKsBigResourceStream(std::string module, std::string name, std::string type);

    int64_t             GetSize() override { return FResource.size; }
    int64_t             GetPosition() override { return FPosition; }
    void                SetPosition(int64_t p) override;
    int64_t             Write(const void* buffer, int64_t count) override;  // fails: read-only
    int64_t             Read(void* buffer, int64_t count) override;
    int64_t             CopyFromBig(TKsBigStream& source, int64_t count) override;  // fails: read-only
    int64_t             CopyFrom(TStream& source, int64_t count) override;          // fails: read-only
    int64_t             CopyTo(TStream& target, int64_t count) override;

    const std::string&  Module() const { return FModule; }
    const std::string&  ResourceName() const { return FName; }
    const std::string&  ResourceType() const { return FType; }

private:
    std::string         FModule;
    std::string         FName;
    std::string         FType;
    TEmbeddedResource   FResource;
    int64_t             FPosition = 0;
};

} // namespace zuno
