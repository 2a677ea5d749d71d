#include "objects/TZunoHistoryFormatManager.h"

#include <algorithm>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "objects/TStoredTextSource.h"
#include "objects/TZunoMes.h"

namespace zuno {

//==============================================================================
// TZunoNewHistory
//==============================================================================

void TZunoNewHistory::ApplySettings(const THistorySettings& s) {
    FWord.DefaultFontSize = s[0];
    FWord.FontBorderWidth = s[1];
    FWord.FontShadowOffset = s[2];
    FWord.LayoutWidth = s[3];
    FWord.PageHeight = s[4];
    FWord.LineSpace = s[5];
}

void TZunoNewHistory::Note(const TNote& note) {
    FPendingSource = note.Source;
    FPendingCommand = note.Position;
    FPendingFirst = note.First;
    FPendingLast = note.Last;
    FPendingBox = note.BoxName;
    FPendingSnapshot = note.Snapshot;
    if (FFormat.Settings[0] == 0) {
        FPendingWidth = note.BoxWidth;
        FPendingHeight = note.BoxHeight;
        FPendingPage = note.PageIndex;
    }
    // A changed format reaches a laid-out backlog only once it is empty.
    if (FEntries.empty())
        ApplySettings(FFormat.Settings);
}

void TZunoNewHistory::Commit(const std::string& boxName, TStoredTextSource* source, TSysFuncMan* funcs) {
    if (FPendingSource.empty() || FPendingBox != boxName)
        return;
    if (IsLaidOut())
        commitLaidOut(source, funcs);
    else
        commitPlain();
}

std::string TZunoNewHistory::plainSource(size_t i) const {
    for (size_t k = std::min(i + 1, FPlain.size()); k-- > 0;)
        if (!FPlain[k].Source.empty())
            return FPlain[k].Source;
    return {};
}

void TZunoNewHistory::commitPlain() {
    THistoryOldData d;
    if (FPlain.empty() || lowerCaseSjis(plainSource(FPlain.size() - 1)) != lowerCaseSjis(FPendingSource))
        d.Source = FPendingSource;
    d.Command = FPendingCommand;
    d.Page = FPendingPage;
    d.Width = FPendingWidth;
    d.Height = FPendingHeight;
    FPlain.push_back(std::move(d));
    while (EntryLimit > 0 && static_cast<int32_t>(FPlain.size()) > EntryLimit) {
        // The name of the page moves on to the next entry when it had none.
        if (FPlain.size() > 1 && !FPlain[0].Source.empty() && FPlain[1].Source.empty())
            FPlain[1].Source = FPlain[0].Source;
        FPlain.erase(FPlain.begin());
    }
    FPendingSource.clear();
}

void TZunoNewHistory::commitLaidOut(TStoredTextSource* source, TSysFuncMan* funcs) {
    if (!source || !source->PageExists(FPendingSource)) {
        FPendingSource.clear();
        return;
    }
    std::string text;
    if (FPendingCommand < 0 || !source->CommandText(FPendingSource, FPendingCommand, text))
        return;     // nothing recorded; the note stays
    std::vector<std::unique_ptr<TWdPage>> pages;
    try {
        FWord.SetFunctions(funcs);
        FWord.SetText(text);
        FWord.RefreshVars(FPendingFirst, FPendingLast);
        FWord.Layout(FPendingFirst, FPendingLast, pages);
    } catch (const EZunoError&) {
        pages.clear();
        FWord.ClearItems();
        FPendingSource.clear();
        return;
    }
    for (const auto& page : pages) {
        const int32_t h = page->Height + FWord.LineSpace;
        int32_t pf = 0, pl = 0;
        // The first and last stored items of the page.
        bool haveFirst = false;
        for (const auto& row : page->Rows)
            for (TWdGlyph* item : row->Items)
                if (TKsWord::IsStored(*item)) {
                    const int32_t p = FWord.SourcePosition(item);
                    if (!haveFirst)
                        pf = p;
                    haveFirst = true;
                    pl = p;
                }
        THistPiece piece{FPendingSource, FPendingCommand, pf, pl, h, FPendingSnapshot};
        if (!FEntries.empty() && int64_t(FEntries.back().TotalHeight()) + h <= FWord.PageHeight) {
            FEntries.back().Add(std::move(piece));
        } else {
            FEntries.emplace_back();
            FEntries.back().Add(std::move(piece));
        }
    }
    while (EntryLimit > 0 && static_cast<int32_t>(FEntries.size()) > EntryLimit)
        FEntries.erase(FEntries.begin());
    pages.clear();
    FWord.ClearItems();
    FPendingSource.clear();
}

void TZunoNewHistory::Clear() {
    FEntries.clear();
    FPlain.clear();
    FPendingSource.clear();
    FPendingSnapshot.clear();
    FWord.ClearItems();
}

int32_t TZunoNewHistory::EntryCount() const {
    return static_cast<int32_t>(IsLaidOut() ? FEntries.size() : FPlain.size());
}

int32_t TZunoNewHistory::Size() const {
    if (!IsLaidOut())
        return static_cast<int32_t>(FPlain.size());
    int64_t total = 0;
    for (const TZunoHistData& e : FEntries)
        total += e.TotalHeight();
    return static_cast<int32_t>(std::clamp<int64_t>(total, 0, INT32_MAX));
}

int32_t TZunoNewHistory::SelectRange(int32_t a, int32_t length, TZunoHistData& target) const {
    target.Clear();
    int64_t top = 0;
    size_t i0 = 0;
    for (; i0 < FEntries.size(); ++i0) {
        if (top + FEntries[i0].TotalHeight() > a)
            break;
        top += FEntries[i0].TotalHeight();
    }
    if (i0 >= FEntries.size())
        return 0;
    const TZunoHistData& first = FEntries[i0];
    int32_t j0 = first.Count() - 1;
    int64_t pieceTop = top, y = top;
    for (int32_t j = 0; j < first.Count(); ++j) {
        pieceTop = y;
        if (y + first.Piece(j).Height > a) {
            j0 = j;
            break;
        }
        y += first.Piece(j).Height;
    }
    const int32_t offset = static_cast<int32_t>(std::clamp<int64_t>(pieceTop - a, INT32_MIN, 0));
    // The last entry: the first from i0 on whose top reaches the end of the
    // range (so the piece the range ends in and the one after it are both
    // there), else the last entry; in it, the first piece whose bottom
    // reaches the end, else its last piece.
    const int64_t end = int64_t(a) + length;
    size_t iLast = FEntries.size() - 1;
    int64_t entryTop = top;
    for (size_t i = i0; i < FEntries.size(); ++i) {
        if (entryTop >= end) {
            iLast = i;
            break;
        }
        entryTop += FEntries[i].TotalHeight();
    }
    int64_t lastTop = top;
    for (size_t i = i0; i < iLast; ++i)
        lastTop += FEntries[i].TotalHeight();
    const TZunoHistData& last = FEntries[iLast];
    int32_t jLast = last.Count() - 1;
    for (int32_t j = 0; j < last.Count(); ++j) {
        lastTop += last.Piece(j).Height;
        if (lastTop >= end) {
            jLast = j;
            break;
        }
    }
    for (size_t i = i0; i <= iLast; ++i) {
        const TZunoHistData& e = FEntries[i];
        // Entries read from a save may hold no pieces whatever their height says.
        const int32_t from = std::max(0, i == i0 ? j0 : 0);
        const int32_t to = std::min(e.Count() - 1, i == iLast ? jLast : e.Count() - 1);
        for (int32_t j = from; j <= to; ++j) {
            THistPiece p = e.Piece(j);
            p.Source = e.ResolvedSource(j);
            target.Add(std::move(p));
        }
    }
    return offset;
}

void TZunoNewHistory::CopyToBox(int32_t first, int32_t length, TZunoMes& box) {
    box.SetReadMode(2);
    TZunoNewMesData& data = box.MesData();
    if (FWord.LayoutWidth <= 0) {
        data.ClearPlain();
        for (int32_t i = first; i < first + length; ++i) {
            if (i < 0 || i >= static_cast<int32_t>(FPlain.size()))
                continue;
            const THistoryOldData& d = FPlain[static_cast<size_t>(i)];
            data.Plain.push_back({plainSource(static_cast<size_t>(i)), d.Command, d.Page, d.Width, d.Height});
        }
        // A plain backlog shows in place of whatever text the box held.
        data.ClearPieces();
        box.SetOffsetY(0);
    } else {
        box.SetHistParam2(SelectRange(first, length, data.Pieces));
    }
    box.ClearText(true);
    box.ShowFirstPage();
}

void TZunoNewHistory::SaveRecord(TStream& s) const {
    WriteInt(s, static_cast<int32_t>(FPlain.size()));
    for (const THistoryOldData& d : FPlain) {
        WriteString(s, d.Source);
        WriteInt(s, d.Command);
        WriteInt(s, d.Page);
        WriteInt(s, d.Width);
        WriteInt(s, d.Height);
    }
    WriteString(s, FPendingSource);
    WriteInt(s, FPendingCommand);
    WriteInt(s, FPendingPage);
    WriteInt(s, FPendingWidth);
    WriteInt(s, FPendingHeight);
    WriteString(s, FPendingBox);
    WriteInt(s, EntryLimit);
    const THistorySettings w{FWord.DefaultFontSize, FWord.FontBorderWidth, FWord.FontShadowOffset,
                             FWord.LayoutWidth,     FWord.PageHeight,      FWord.LineSpace};
    for (int32_t v : w)
        WriteInt(s, v);
    WriteInt(s, FPendingFirst);
    WriteInt(s, FPendingLast);
    WriteInt(s, static_cast<int32_t>(FEntries.size()));
    for (const TZunoHistData& e : FEntries)
        e.SaveRecord(s);
    WriteString(s, FPendingSnapshot);
}

void TZunoNewHistory::LoadRecord(TStream& s, int32_t version) {
    Clear();
    if (version < 113)
        (void)ReadString(s);    // older data, dropped
    const int32_t n = ReadInt(s);
    checkCount(s, n, 20, "history entries");
    std::vector<THistoryOldData> plain(static_cast<size_t>(n));
    if (version > 112) {
        for (auto& d : plain) {
            d.Source = ReadString(s);
            d.Command = ReadInt(s);
            d.Page = ReadInt(s);
            d.Width = ReadInt(s);
            d.Height = ReadInt(s);
        }
    } else {
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
    }
    FPlain = std::move(plain);
    FPendingSource = ReadString(s);
    FPendingCommand = ReadInt(s);
    FPendingPage = ReadInt(s);
    FPendingWidth = ReadInt(s);
    FPendingHeight = ReadInt(s);
    FPendingBox = ReadString(s);
    if (version > 112) {
        EntryLimit = ReadInt(s);
        THistorySettings w{};
        for (int32_t& v : w)
            v = ReadInt(s);
        ApplySettings(w);
        FPendingFirst = ReadInt(s);
        FPendingLast = ReadInt(s);
        const int32_t m = ReadInt(s);
        checkCount(s, m, 8, "history pages");
        for (int32_t i = 0; i < m; ++i) {
            TZunoHistData e;
            e.LoadRecord(s, version);
            FEntries.push_back(std::move(e));
        }
    }
    if (version > 123)
        FPendingSnapshot = ReadString(s);
}

//==============================================================================
// TZunoHistoryFormatManager
//==============================================================================

TZunoHistoryFormat* TZunoHistoryFormatManager::Find(const std::string& name) {
    for (auto& f : FFormats)
        if (f->Name == name)
            return f.get();
    return nullptr;
}

TZunoHistoryFormat& TZunoHistoryFormatManager::GetOrCreate(const std::string& name) {
    if (TZunoHistoryFormat* f = Find(name))
        return *f;
    FFormats.push_back(std::make_unique<TZunoHistoryFormat>(name));
    return *FFormats.back();
}

void TZunoHistoryFormatManager::Reset() {
    FFormats.clear();
    FFormats.push_back(std::make_unique<TZunoHistoryFormat>(std::string()));
}

void TZunoHistoryFormatManager::ClearAll() {
    for (auto& f : FFormats)
        f->History.Clear();
}

void TZunoHistoryFormatManager::NoteBoxPage(const TZunoNewHistory::TNote& note) {
    for (auto& f : FFormats)
        f->History.Note(note);
}

void TZunoHistoryFormatManager::BoxTextChanged(const std::string& boxName) {
    for (auto& f : FFormats)
        f->History.Commit(boxName, TextSource, Funcs);
}

void TZunoHistoryFormatManager::SaveRecord(TStream& s) const {
    WriteInt(s, static_cast<int32_t>(FFormats.size()));
    for (const auto& f : FFormats) {
        WriteString(s, f->Name);
        for (int32_t v : f->Settings)
            WriteInt(s, v);
        f->History.SaveRecord(s);
    }
}

void TZunoHistoryFormatManager::LoadRecord(TStream& s, int32_t version) {
    const int32_t n = ReadInt(s);
    checkCount(s, n, 28, "history formats");
    std::vector<std::unique_ptr<TZunoHistoryFormat>> formats;
    for (int32_t i = 0; i < n; ++i) {
        auto f = std::make_unique<TZunoHistoryFormat>(ReadString(s));
        for (int32_t& v : f->Settings)
            v = ReadInt(s);
        f->History.LoadRecord(s, version);
        formats.push_back(std::move(f));
    }
    // The default format is always there, first.
    auto isDefault = [](const auto& f) { return f->Name.empty(); };
    auto d = std::find_if(formats.begin(), formats.end(), isDefault);
    if (d == formats.end())
        formats.insert(formats.begin(), std::make_unique<TZunoHistoryFormat>(std::string()));
    else if (d != formats.begin())
        std::rotate(formats.begin(), d, d + 1);
    FFormats = std::move(formats);
}

} // namespace zuno
