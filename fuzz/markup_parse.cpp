// Fuzz target: any bytes as message text through the markup parser, variable
// insertion, layout into a small box and a few reveal frames. The layout must
// place every item of the word on exactly one row.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/EZunoError.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "text/TKsWord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zuno;
    static TParamCollection params;
    static TSysFuncMan funcs{params};
    static bool ready = false;
    if (!ready) {
        params.CreateVariable("s", PT_STR, vsGlobal)->Value()->SetString("ab\rc d");
        params.CreateVariable("n", PT_INT, vsGlobal)->Value()->SetInteger(12345);
        ready = true;
    }
    // The first two bytes choose the box, the rest is the text.
    int32_t width = size > 0 ? data[0] : 0;
    int32_t height = size > 1 ? data[1] : 0;
    size_t skip = size > 2 ? 2 : size;
    std::string text(reinterpret_cast<const char*>(data) + skip, size - skip);

    TKsWord word;
    word.SetFunctions(&funcs);
    word.LayoutWidth = width;
    word.PageHeight = height;
    word.Paging = (width & 1) == 0;
    word.FadeTime = height;
    word.CollectEvents = true;
    try {
        word.SetText(text);
    } catch (const EZunoError&) {
        return 0;
    }
    word.RefreshVars();
    word.CaptureVars();
    word.RefreshVars();
    std::vector<std::unique_ptr<TWdPage>> pages;
    word.Layout(0, -1, pages);

    size_t placed = 0;
    for (const auto& page : pages)
        for (const auto& row : page->Rows)
            for (const TWdGlyph* item : row->Items)
                placed += item->Kind() == TWdKind::Space ? 0 : 1;
    if (placed != static_cast<size_t>(word.ItemCount()))
        std::abort();

    for (auto& page : pages) {
        for (int frame = 0; frame < 4; ++frame) {
            word.Reveal(*page, 40);
            word.TakeEventText(*page);
        }
        word.ItemAt(*page, 10, 10);
        word.ShowAll(*page);
        if (!page->Complete())
            std::abort();
    }
    return 0;
}
