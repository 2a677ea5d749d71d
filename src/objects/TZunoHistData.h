// TZunoHistData: a list of text references ("pieces"): page name, command
// index, the range of source positions shown, the height the range took
// and the snapshot of the variables shown in it. A laid-out backlog entry is
// one such list (one screenful); a message box keeps one as the text it
// shows. A piece's source is stored only where it differs from the nearest
// earlier stored one (without regard to case); empty means "the same".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zuno {

class TStream;

struct THistPiece {
    std::string         Source;
    int32_t             Command = 0;
    int32_t             First = 0;
    int32_t             Last = -1;                  // -1: to the end of the text
    int32_t             Height = 0;
    std::string         Snapshot;                   // variable lines joined with CR LF; empty: none
};

// A plain backlog entry: one page as a box showed it.
struct THistoryOldData {
    std::string         Source;                     // in a backlog: empty = the nearest earlier one
    int32_t             Command = 0;
    int32_t             Page = 0;
    int32_t             Width = 0;
    int32_t             Height = 0;
};

class TZunoHistData {
public:
    void                Add(THistPiece piece);      // the source kept only where it changes
    void                Clear();
    int32_t             Count() const { return static_cast<int32_t>(FPieces.size()); }
    const THistPiece&   Piece(int32_t i) const { return FPieces[static_cast<size_t>(i)]; }
    std::string         ResolvedSource(int32_t i) const;   // its own or the nearest earlier one
    int32_t             TotalHeight() const { return FTotalHeight; }

    // Piece count; per piece source, command, first, last, height, snapshot
    // (read when version > 123); then the total height.
    void                SaveRecord(TStream& s) const;
    void                LoadRecord(TStream& s, int32_t version);

private:
    std::vector<THistPiece> FPieces;
    int32_t             FTotalHeight = 0;
};

// Variable snapshot lines to and from the stored text.
std::string             joinSnapshot(const std::vector<std::string>& lines);
std::vector<std::string> splitSnapshot(const std::string& text);

} // namespace zuno
