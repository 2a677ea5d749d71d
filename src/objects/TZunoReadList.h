// TZunoReadList: which pages of message text have been revealed completely
// at least once. Items are named by a source identity (the page name that
// TextIns gave the box) and hold the set of (position, page index) pairs
// read under it. A box notes the page it shows and commits the note when
// the page's reveal completes; the list travels in the status data, so it
// outlives the run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zuno {

class TStream;

class TZunoReadList {
public:
    struct TZunoRead {
        std::string     Name;
        std::vector<int32_t> Positions;
        std::vector<int32_t> PageIndices;
    };

    void                Note(const std::string& boxName, const std::string& source, int32_t pageIndex, int32_t position);
    void                Commit(const std::string& boxName);
    bool                IsRead(const std::string& source, int32_t position, int32_t pageIndex) const;
    void                Clear();

    int32_t             Count() const { return static_cast<int32_t>(FItems.size()); }
    const TZunoRead&    Item(int32_t i) const { return FItems[static_cast<size_t>(i)]; }
    const std::string&  PendingSource() const { return FPendingSource; }

    // Item count; per item name, pair count k, k positions, k page indices;
    // then the pending note. Loading clears the list first and reads nothing
    // more when `version` < 100. EZunoError on a short or damaged record.
    void                SaveRecord(TStream& s) const;
    void                LoadRecord(TStream& s, int32_t version);

private:
    int                 indexOf(const std::string& name) const;     // without regard to case; -1 when none

    std::vector<TZunoRead> FItems;
    std::string         FPendingSource;
    int32_t             FPendingPosition = 0;
    int32_t             FPendingPage = 0;
    std::string         FPendingBox;
};

} // namespace zuno
