// A fresh folder below the system's temporary folder for one test, removed
// with everything in it when the object goes, also when an assertion ends
// the test early.
#pragma once

#include <string>
#include <string_view>

namespace zuno::test {

class TTempFolder {
public:
                        TTempFolder();                              // throws std::runtime_error when none can be made
                        ~TTempFolder();
                        TTempFolder(const TTempFolder&) = delete;
    TTempFolder&        operator=(const TTempFolder&) = delete;

    std::string         path(std::string_view name = {}) const;     // the folder, or name inside it ("a/b" allowed)
    std::string         folder() const { return FPath + "/"; }      // the folder with a trailing '/', as the player spells folders

private:
    std::string         FPath;                                      // without a trailing '/'
};

} // namespace zuno::test
