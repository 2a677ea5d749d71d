#include "script/TPageTextSource.h"

#include "archive/TVrFileManager.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "script/ComMedia.h"
#include "script/TCallMan.h"
#include "script/TPage.h"
#include "script/TScriptEnv.h"

namespace zuno {

namespace {
constexpr size_t kCachedPages = 4;
}

TPageTextSource::~TPageTextSource() = default;

bool TPageTextSource::PageExists(const std::string& page) {
    return !page.empty() && FEnv.fileExists(page);
}

const TPage* TPageTextSource::findPage(const std::string& name) {
    const std::string key = lowerCaseSjis(name);
    if (CallMan)
        for (int i = 0; i < CallMan->CachedPageCount(); ++i)
            if (lowerCaseSjis(CallMan->CachedPage(i)->Name()) == key)
                return CallMan->CachedPage(i);
    for (auto it = FPages.begin(); it != FPages.end(); ++it)
        if (lowerCaseSjis((*it)->Name()) == key) {
            FPages.splice(FPages.begin(), FPages, it);
            return FPages.front().get();
        }
    if (!FEnv.Files)
        return nullptr;
    auto page = std::make_unique<TPage>();
    TKsMemoryStream data;
    FEnv.Files->ReadFile(data, name);
    if (page->LoadFromStream(data, name) == TPageLoadResult::TooOld)
        throw EZunoError(rebuildMessage(name));
    FPages.push_front(std::move(page));
    while (FPages.size() > kCachedPages)
        FPages.pop_back();
    return FPages.front().get();
}

bool TPageTextSource::CommandText(const std::string& page, int32_t index, std::string& text) {
    const TPage* p = findPage(page);
    if (!p || index < 0 || index >= p->CommandCount())
        return false;
    const auto* ins = dynamic_cast<const TComTextIns*>(p->Command(index));
    if (!ins)
        return false;
    text = ins->FText;
    return true;
}

} // namespace zuno
