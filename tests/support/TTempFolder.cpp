#include "support/TTempFolder.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace zuno::test {

TTempFolder::TTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zuno-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder from " + pattern + ": " + std::strerror(errno));
    FPath = pattern;
}

TTempFolder::~TTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
}

std::string TTempFolder::path(std::string_view name) const {
    if (name.empty())
        return FPath;
    return FPath + "/" + std::string(name);
}

} // namespace zuno::test
