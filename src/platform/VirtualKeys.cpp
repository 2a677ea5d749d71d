#include "platform/VirtualKeys.h"

#include <charconv>

#include "core/Cp932.h"

namespace zuno::vk {

// ---------------------------------------------------------------- fromName

namespace {

struct TNamedKey {
    const char*         name;
    int32_t             code;
};

constexpr TNamedKey kNamedKeys[] = {
    {"return", Return}, {"escape", Escape}, {"space", Space}, {"left", Left},     {"up", Up},     {"right", Right},
    {"down", Down},     {"shift", Shift},   {"control", Control}, {"tab", Tab},   {"back", Back},
};

} // namespace

int32_t fromName(std::string_view name) {
    if (name.size() == 1) {
        char c = name[0];
        if (c >= 'a' && c <= 'z')
            return c - 'a' + KeyA;
        if (c >= 'A' && c <= 'Z')
            return c - 'A' + KeyA;
        if (c >= '0' && c <= '9')
            return c - '0' + Key0;
        return 0;
    }
    if (!name.empty() && name[0] >= '0' && name[0] <= '9') {
        int32_t code = 0;
        auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), code);
        if (ec != std::errc() || end != name.data() + name.size() || code < 1 || code > 255)
            return 0;
        return code;
    }
    for (const TNamedKey& k : kNamedKeys)
        if (sameTextSjis(name, k.name))
            return k.code;
    return 0;
}

} // namespace zuno::vk
