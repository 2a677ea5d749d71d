#include "text/TDecorateList.h"

#include <algorithm>

namespace zuno {

const TWdStyle* styleOf(const TWdGlyph& item) {
    if (item.IsReal())
        return static_cast<const TWdReal&>(item).Style.get();
    if (item.Kind() == TWdKind::Var)
        return static_cast<const TWdOpeVar&>(item).Style.get();
    return nullptr;
}

void TDecorateList::Clear() {
    for (auto& runs : FRuns)
        runs.clear();
}

void TDecorateList::Build(const std::vector<std::unique_ptr<TWdGlyph>>& items) {
    Clear();
    // One open run per kind, extended while the next item continues it.
    for (size_t k = 0; k < 3; ++k) {
        auto kind = static_cast<TDecorateKind>(k);
        std::vector<TDecorate>& runs = FRuns[k];
        bool open = false;
        for (size_t i = 0; i < items.size(); ++i) {
            const TWdStyle* s = styleOf(*items[i]);
            TWdText text;
            bool on = false;
            if (s) {
                switch (kind) {
                case TDecorateKind::Underline: on = (s->StyleFlags & FS_UNDERLINE) || !textOf(s->Link).empty(); break;
                case TDecorateKind::Link:      text = s->Link; on = !textOf(text).empty(); break;
                case TDecorateKind::Ruby:      text = s->Ruby; on = !textOf(text).empty(); break;
                }
            }
            if (!on) {
                open = false;
                continue;
            }
            auto index = static_cast<int32_t>(i);
            if (open && runs.back().Last == index - 1 &&
                (kind == TDecorateKind::Underline || textOf(runs.back().Text) == textOf(text))) {
                runs.back().Last = index;
            } else {
                runs.push_back({kind, index, index, kind == TDecorateKind::Underline ? nullptr : text});
                open = true;
            }
        }
    }
}

const TDecorate* TDecorateList::RunAt(TDecorateKind kind, int32_t index) const {
    const std::vector<TDecorate>& runs = Runs(kind);
    auto it = std::upper_bound(runs.begin(), runs.end(), index,
                               [](int32_t i, const TDecorate& d) { return i < d.First; });
    if (it == runs.begin())
        return nullptr;
    --it;
    return index <= it->Last ? &*it : nullptr;
}

} // namespace zuno
