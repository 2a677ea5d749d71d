// The stored texts of TextIns commands for message boxes and backlogs: the
// page is taken from the call manager's cache when it is there (without
// changing the cache order), else loaded and kept in a small cache of its
// own, so that showing a backlog does not disturb the running script.
#pragma once

#include <list>
#include <memory>
#include <string>

#include "objects/TStoredTextSource.h"

namespace zuno {

class TPage;
class TCallMan;
struct TScriptEnv;

class TPageTextSource : public TStoredTextSource {
public:
    explicit            TPageTextSource(TScriptEnv& env) : FEnv(env) {}
                        ~TPageTextSource() override;

    TCallMan*           CallMan = nullptr;                  // its cache is looked at first; may be none

    bool                PageExists(const std::string& page) override;
    bool                CommandText(const std::string& page, int32_t index, std::string& text) override;

private:
    const TPage*        findPage(const std::string& name);

    TScriptEnv&         FEnv;
    std::list<std::unique_ptr<TPage>> FPages;               // most recently used first, at most 4
};

} // namespace zuno
