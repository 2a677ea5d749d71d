#include "objects/TZunoHistData.h"

#include <algorithm>
#include <cstdint>

#include "core/Cp932.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "core/TextHelpers.h"

namespace zuno {

std::string TZunoHistData::ResolvedSource(int32_t i) const {
    for (int32_t k = std::min(i, Count() - 1); k >= 0; --k)
        if (!FPieces[static_cast<size_t>(k)].Source.empty())
            return FPieces[static_cast<size_t>(k)].Source;
    return {};
}

void TZunoHistData::Add(THistPiece piece) {
    if (!FPieces.empty() && lowerCaseSjis(ResolvedSource(Count() - 1)) == lowerCaseSjis(piece.Source))
        piece.Source.clear();
    // The total is a sum of heights from untrusted records: it saturates.
    const int64_t total = int64_t(FTotalHeight) + piece.Height;
    FTotalHeight = static_cast<int32_t>(std::clamp<int64_t>(total, INT32_MIN, INT32_MAX));
    FPieces.push_back(std::move(piece));
}

void TZunoHistData::Clear() {
    FPieces.clear();
    FTotalHeight = 0;
}

void TZunoHistData::SaveRecord(TStream& s) const {
    WriteInt(s, Count());
    for (const THistPiece& p : FPieces) {
        WriteString(s, p.Source);
        WriteInt(s, p.Command);
        WriteInt(s, p.First);
        WriteInt(s, p.Last);
        WriteInt(s, p.Height);
        WriteString(s, p.Snapshot);
    }
    WriteInt(s, FTotalHeight);
}

void TZunoHistData::LoadRecord(TStream& s, int32_t version) {
    Clear();
    const int32_t n = ReadInt(s);
    checkCount(s, n, 20, "history pieces");
    FPieces.reserve(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        THistPiece p;
        p.Source = ReadString(s);
        p.Command = ReadInt(s);
        p.First = ReadInt(s);
        p.Last = ReadInt(s);
        p.Height = ReadInt(s);
        if (version > 123)
            p.Snapshot = ReadString(s);
        FPieces.push_back(std::move(p));
    }
    FTotalHeight = ReadInt(s);
}

std::string joinSnapshot(const std::vector<std::string>& lines) {
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            out += "\r\n";
        out += lines[i];
    }
    return out;
}

std::vector<std::string> splitSnapshot(const std::string& text) {
    if (text.empty())
        return {};
    return splitLines(text);
}

} // namespace zuno
