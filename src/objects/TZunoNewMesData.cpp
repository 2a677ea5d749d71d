#include "objects/TZunoNewMesData.h"

#include <algorithm>

#include "core/Cp932.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "objects/TStoredTextSource.h"
#include "text/TKsWord.h"

namespace zuno {

namespace {

constexpr size_t kCachedTexts = 64;     // 4 pages of 16 texts each

// The layout width and page height of a word, put back however the build ends.
class TKeepLayoutSize {
public:
    explicit TKeepLayoutSize(TKsWord& word) : FWord(word), FWidth(word.LayoutWidth), FHeight(word.PageHeight) {}
    ~TKeepLayoutSize() {
        FWord.LayoutWidth = FWidth;
        FWord.PageHeight = FHeight;
    }
    TKeepLayoutSize(const TKeepLayoutSize&) = delete;
    TKeepLayoutSize& operator=(const TKeepLayoutSize&) = delete;

private:
    TKsWord& FWord;
    int32_t FWidth, FHeight;
};

TWdPage& newPage(std::vector<std::unique_ptr<TWdPage>>& pages) {
    pages.push_back(std::make_unique<TWdPage>());
    return *pages.back();
}

} // namespace

int32_t moveRows(TWdPage& from, TWdPage& into, int32_t dy) {
    int32_t bottom = dy;
    for (auto& row : from.Rows) {
        row->Y += dy;
        bottom = row->Y + row->Height;
        into.Width = std::max(into.Width, row->Width);
        into.Height = std::max(into.Height, bottom);
        into.Rows.push_back(std::move(row));
    }
    from.Rows.clear();
    return bottom;
}

bool TZunoNewMesData::lookUp(TStoredTextSource& source, const std::string& page, int32_t command, std::string& text) {
    const std::string key = lowerCaseSjis(page) + '\0' + std::to_string(command);
    auto it = std::find_if(FCache.begin(), FCache.end(), [&](const TCached& c) { return c.Key == key; });
    if (it == FCache.end()) {
        TCached entry;
        entry.Key = key;
        entry.Found = source.CommandText(page, command, entry.Text);
        FCache.push_front(std::move(entry));
        while (FCache.size() > kCachedTexts)
            FCache.pop_back();
    } else {
        FCache.splice(FCache.begin(), FCache, it);
    }
    text = FCache.front().Text;
    return FCache.front().Found;
}

void TZunoNewMesData::BuildPages(TKsWord& word, std::vector<std::unique_ptr<TWdPage>>& pages, bool flag,
                                 int32_t offset, TStoredTextSource* source) {
    if (!source)
        return;
    if (Pieces.Count() == 0) {
        buildPlain(word, pages, flag, *source);
        return;
    }
    word.ClearItems();
    std::string text;
    if (Pieces.Count() == 1 && Pieces.TotalHeight() == 0) {
        const THistPiece& p = Pieces.Piece(0);
        const std::string page = Pieces.ResolvedSource(0);
        if (!source->PageExists(page) || !lookUp(*source, page, p.Command, text))
            return;
        word.VarSnapshot = splitSnapshot(p.Snapshot);
        const int32_t e = word.AppendText(text, p.First, p.Last);
        word.RefreshVars(e, -1);
        word.Layout(e, -1, pages);
        return;
    }
    TWdPage& into = newPage(pages);
    int32_t y = offset;
    for (int32_t i = 0; i < Pieces.Count(); ++i) {
        const THistPiece& p = Pieces.Piece(i);
        const std::string page = Pieces.ResolvedSource(i);
        if (!source->PageExists(page))
            break;
        if (!lookUp(*source, page, p.Command, text))
            continue;
        const int32_t e = word.AppendText(text, p.First, p.Last);
        word.VarSnapshot = splitSnapshot(p.Snapshot);
        word.RefreshVars(e, -1);
        std::vector<std::unique_ptr<TWdPage>> laid;
        word.Layout(e, -1, laid);
        if (!laid.empty() && !laid.front()->Rows.empty())
            y = moveRows(*laid.front(), into, y) + word.LineSpace;
    }
}

void TZunoNewMesData::buildPlain(TKsWord& word, std::vector<std::unique_ptr<TWdPage>>& pages, bool flag,
                                 TStoredTextSource& source) {
    TKeepLayoutSize keep(word);
    word.ClearItems();
    std::string text;
    if (Plain.size() == 1 && Plain.front().Page < 0) {
        const THistoryOldData& d = Plain.front();
        if (!source.PageExists(d.Source) || !lookUp(source, d.Source, d.Command, text))
            return;
        const int32_t e = word.AppendText(text, 0, -1);
        word.LayoutWidth = d.Width;
        word.PageHeight = d.Height;
        word.RefreshVars(e, -1);
        word.Layout(e, -1, pages);
        return;
    }
    if (Plain.empty())
        return;
    TWdPage& into = newPage(pages);
    int32_t y = 0;
    for (const THistoryOldData& d : Plain) {
        if (!source.PageExists(d.Source))
            break;
        if (!lookUp(source, d.Source, d.Command, text))
            continue;
        const int32_t e = word.AppendText(text, 0, -1);
        word.LayoutWidth = d.Width;
        word.PageHeight = d.Height;
        word.RefreshVars(e, -1);
        std::vector<std::unique_ptr<TWdPage>> laid;
        word.Layout(e, -1, laid);
        // An entry whose page the text no longer yields is skipped.
        if (d.Page < 0 || d.Page >= static_cast<int32_t>(laid.size()))
            continue;
        TWdPage& shown = *laid[static_cast<size_t>(d.Page)];
        if (shown.Rows.empty())
            continue;
        const int32_t bottom = moveRows(shown, into, y);
        y = flag ? bottom + word.LineSpace : y + d.Height;
    }
}

void TZunoNewMesData::SaveRecord(TStream& s) const {
    WriteInt(s, static_cast<int32_t>(Plain.size()));
    for (const THistoryOldData& d : Plain)
        WriteString(s, d.Source);
    for (const THistoryOldData& d : Plain)
        WriteInt(s, d.Command);
    for (const THistoryOldData& d : Plain)
        WriteInt(s, d.Page);
    for (const THistoryOldData& d : Plain) {
        WriteInt(s, d.Width);
        WriteInt(s, d.Height);
    }
    Pieces.SaveRecord(s);
}

void TZunoNewMesData::LoadRecord(TStream& s, int32_t version) {
    const int32_t n = ReadInt(s);
    checkCount(s, n, 20, "message history");
    std::vector<THistoryOldData> plain(static_cast<size_t>(n));
    for (auto& d : plain)
        d.Source = ReadString(s);
    for (auto& d : plain)
        d.Command = ReadInt(s);
    for (auto& d : plain)
        d.Page = ReadInt(s);
    for (auto& d : plain) {
        d.Width = ReadInt(s);
        d.Height = ReadInt(s);
    }
    Plain = std::move(plain);
    if (version > 112)
        Pieces.LoadRecord(s, version);
    else
        Pieces.Clear();
    FCache.clear();
}

} // namespace zuno
