// TZunoNewMesData: the history record of one message box: what text the box
// shows, as references into the script pages. Either pieces (the text of a
// TextIns command, or a range of a laid-out backlog) or plain entries (pages
// of a plain backlog). BuildPages lays that text out into the box's pages.
// Parsed texts are kept in a small most-recently-used cache.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "objects/TZunoHistData.h"

namespace zuno {

class TKsWord;
class TStream;
class TStoredTextSource;
class TWdPage;

class TZunoNewMesData {
public:
    TZunoHistData       Pieces;
    std::vector<THistoryOldData> Plain;             // sources always in full

    void                ClearPieces() { Pieces.Clear(); }
    void                ClearPlain() { Plain.clear(); }
    bool                IsEmpty() const { return Pieces.Count() == 0 && Plain.empty(); }

    // Rebuilds `pages` (empty on entry) from the record into `word`. A page
    // file that is missing ends the build with what was built; a text that
    // cannot be found is skipped.
    void                BuildPages(TKsWord& word, std::vector<std::unique_ptr<TWdPage>>& pages, bool flag,
                                   int32_t offset, TStoredTextSource* source);

    // Entry count n; n sources; n commands; n page indices; n (width, height);
    // then the piece list (read when version > 112).
    void                SaveRecord(TStream& s) const;
    void                LoadRecord(TStream& s, int32_t version);

private:
    // The stored text of (page, command); false when there is none.
    bool                lookUp(TStoredTextSource& source, const std::string& page, int32_t command, std::string& text);
    void                buildPlain(TKsWord& word, std::vector<std::unique_ptr<TWdPage>>& pages, bool flag,
                                   TStoredTextSource& source);

    struct TCached {
        std::string     Key;                        // lower-case page name, NUL, command index
        bool            Found = false;
        std::string     Text;
    };
    std::list<TCached>  FCache;                     // most recently used first
};

// Moves the rows of `from` onto the end of `into`, each lowered by dy;
// answers the bottom of the last moved row (dy when none moved).
int32_t                 moveRows(TWdPage& from, TWdPage& into, int32_t dy);

} // namespace zuno
