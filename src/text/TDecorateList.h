// The decorations of a word's items: the runs of consecutive items that are
// underlined (links are), that share one link target, or that share one
// ruby text. Hover and click find a link's whole run here; ruby is drawn
// once over its run.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "text/TWdGlyph.h"

namespace zuno {

enum class TDecorateKind : uint8_t { Underline, Link, Ruby };

struct TDecorate {
    TDecorateKind       Kind;
    int32_t             First;              // item indexes, inclusive
    int32_t             Last;
    TWdText             Text;               // the link target or ruby text; null for underline
};

class TDecorateList {
public:
    void                Build(const std::vector<std::unique_ptr<TWdGlyph>>& items);
    void                Clear();

    const std::vector<TDecorate>& Runs(TDecorateKind kind) const { return FRuns[static_cast<size_t>(kind)]; }
    const TDecorate*    RunAt(TDecorateKind kind, int32_t index) const;   // the run holding that item, or null

private:
    std::vector<TDecorate> FRuns[3];
};

// The style of an item that carries one: characters, images and variable
// insertion points; null for the other items.
const TWdStyle* styleOf(const TWdGlyph& item);

} // namespace zuno
