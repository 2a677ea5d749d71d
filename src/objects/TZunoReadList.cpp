#include "objects/TZunoReadList.h"

#include "core/Cp932.h"
#include "core/StreamFields.h"
#include "core/TStream.h"

namespace zuno {

int TZunoReadList::indexOf(const std::string& name) const {
    const std::string key = lowerCaseSjis(name);
    for (size_t i = 0; i < FItems.size(); ++i)
        if (lowerCaseSjis(FItems[i].Name) == key)
            return static_cast<int>(i);
    return -1;
}

void TZunoReadList::Note(const std::string& boxName, const std::string& source, int32_t pageIndex, int32_t position) {
    FPendingBox = boxName;
    FPendingSource = source;
    FPendingPage = pageIndex;
    FPendingPosition = position;
}

void TZunoReadList::Commit(const std::string& boxName) {
    if (FPendingSource.empty() || FPendingBox != boxName)
        return;
    int i = indexOf(FPendingSource);
    if (i < 0) {
        FItems.push_back({FPendingSource, {}, {}});
        i = static_cast<int>(FItems.size()) - 1;
    }
    TZunoRead& item = FItems[static_cast<size_t>(i)];
    for (size_t k = 0; k < item.Positions.size(); ++k)
        if (item.Positions[k] == FPendingPosition && item.PageIndices[k] == FPendingPage)
            return;
    item.Positions.push_back(FPendingPosition);
    item.PageIndices.push_back(FPendingPage);
    FPendingSource.clear();
}

bool TZunoReadList::IsRead(const std::string& source, int32_t position, int32_t pageIndex) const {
    const int i = indexOf(source);
    if (i < 0)
        return false;
    const TZunoRead& item = FItems[static_cast<size_t>(i)];
    for (size_t k = 0; k < item.Positions.size(); ++k)
        if (item.Positions[k] == position && item.PageIndices[k] == pageIndex)
            return true;
    return false;
}

void TZunoReadList::Clear() {
    FItems.clear();
    FPendingSource.clear();
}

void TZunoReadList::SaveRecord(TStream& s) const {
    WriteInt(s, static_cast<int32_t>(FItems.size()));
    for (const TZunoRead& item : FItems) {
        WriteString(s, item.Name);
        WriteInt(s, static_cast<int32_t>(item.Positions.size()));
        for (int32_t p : item.Positions)
            WriteInt(s, p);
        for (int32_t p : item.PageIndices)
            WriteInt(s, p);
    }
    WriteString(s, FPendingSource);
    WriteInt(s, FPendingPosition);
    WriteInt(s, FPendingPage);
    WriteString(s, FPendingBox);
}

void TZunoReadList::LoadRecord(TStream& s, int32_t version) {
    Clear();
    if (version < 100)
        return;
    const int32_t n = ReadInt(s);
    checkCount(s, n, 8, "read-text list");
    std::vector<TZunoRead> items;
    items.reserve(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        TZunoRead item;
        item.Name = ReadString(s);
        const int32_t k = ReadInt(s);
        checkCount(s, k, 8, "read-text item");
        item.Positions.resize(static_cast<size_t>(k));
        item.PageIndices.resize(static_cast<size_t>(k));
        for (int32_t& p : item.Positions)
            p = ReadInt(s);
        for (int32_t& p : item.PageIndices)
            p = ReadInt(s);
        items.push_back(std::move(item));
    }
    std::string source = ReadString(s);
    const int32_t position = ReadInt(s);
    const int32_t page = ReadInt(s);
    std::string box = ReadString(s);
    FItems = std::move(items);
    FPendingSource = std::move(source);
    FPendingPosition = position;
    FPendingPage = page;
    FPendingBox = std::move(box);
}

} // namespace zuno
