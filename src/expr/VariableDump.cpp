#include "expr/VariableDump.h"

#include <algorithm>
#include <vector>

#include "core/Cp932.h"
#include "expr/TParamCollection.h"

namespace zuno {

std::string formatValueForDump(const TCustomParam& value) {
    const std::vector<int32_t>& dims = value.Dims();
    if (dims.empty())
        return escapeForPrint(value.AsString());
    std::string line = "[";
    for (size_t k = 0; k < dims.size(); ++k) {
        if (k)
            line += ',';
        line += std::to_string(dims[k]);
    }
    line += "]";
    for (int i = 0; i < value.Count(); ++i) {
        line += '\t';
        line += escapeForPrint(value.GetStringAt(i));
    }
    return line;
}

std::string dumpVariables(const TParamCollection& params) {
    std::vector<const TParamCollectionItem*> items;
    for (int i = 0; i < params.Count(); ++i) {
        const TParamCollectionItem* item = params.Items(i);
        if (!item->IsSystem() && item->Value())
            items.push_back(item);
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const TParamCollectionItem* a, const TParamCollectionItem* b) { return a->Name() < b->Name(); });
    std::string out;
    for (const TParamCollectionItem* item : items) {
        out += escapeForPrint(item->Name());
        out += '\t';
        out += std::to_string(item->ValueType());
        out += '\t';
        out += formatValueForDump(*item->Value());
        out += "\n";
    }
    return out;
}

} // namespace zuno
