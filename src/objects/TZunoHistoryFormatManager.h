// The backlog. TZunoHistoryFormatManager holds the history formats, the
// first always the default one (empty name, all settings 0, so plain). Each
// TZunoHistoryFormat owns one TZunoNewHistory: a backlog kept either plain
// (one entry per page a box showed) or laid out (entries of one screenful
// each, made of text references whose heights come from laying the text out
// with the format's settings). A tracked box notes each page it shows and
// commits the note when it moves on; CallHist copies a range into a box.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "objects/TZunoHistData.h"
#include "text/TKsWord.h"

namespace zuno {

class TStream;
class TStoredTextSource;
class TZunoMes;
class TZunoHistoryFormat;

// The six settings: font height, font border, font shadow, width, height, line space.
using THistorySettings = std::array<int32_t, 6>;

class TZunoNewHistory {
public:
    explicit            TZunoNewHistory(TZunoHistoryFormat& format) : FFormat(format) {}

    struct TNote {
        std::string     BoxName;
        int32_t         BoxWidth = 0, BoxHeight = 0;
        std::string     Source;
        std::string     Snapshot;
        int32_t         PageIndex = 0;
        int32_t         Last = -1, First = 0;
        int32_t         Position = 0;           // the command index
    };
    void                Note(const TNote& note);
    // Records the pending page when it was noted by `boxName`. Texts come
    // from `source`; VAR values from `funcs`.
    void                Commit(const std::string& boxName, TStoredTextSource* source, TSysFuncMan* funcs);
    void                Clear();
    bool                IsLaidOut() const { return FWord.LayoutWidth != 0; }
    int32_t             EntryCount() const;
    int32_t             Size() const;           // entries when plain, pixels when laid out
    void                CopyToBox(int32_t first, int32_t length, TZunoMes& box);
    // Selects the pixel range [a, a + length) into `target`; answers the offset.
    int32_t             SelectRange(int32_t a, int32_t length, TZunoHistData& target) const;

    int32_t             EntryLimit = 0;         // 0: unlimited
    const std::vector<TZunoHistData>& Entries() const { return FEntries; }
    const std::vector<THistoryOldData>& PlainEntries() const { return FPlain; }
    const std::string&  PendingSource() const { return FPendingSource; }
    TKsWord&            LayoutWord() { return FWord; }
    void                ApplySettings(const THistorySettings& s);

    void                SaveRecord(TStream& s) const;
    void                LoadRecord(TStream& s, int32_t version);

private:
    void                commitLaidOut(TStoredTextSource* source, TSysFuncMan* funcs);
    void                commitPlain();
    std::string         plainSource(size_t i) const;

    TZunoHistoryFormat& FFormat;
    TKsWord             FWord;
    std::vector<TZunoHistData> FEntries;
    int32_t             FPendingWidth = 0, FPendingHeight = 0, FPendingPage = 0;
    std::vector<THistoryOldData> FPlain;
    std::string         FPendingBox;
    std::string         FPendingSource;
    int32_t             FPendingCommand = 0, FPendingFirst = 0, FPendingLast = -1;
    std::string         FPendingSnapshot;
};

class TZunoHistoryFormat {
public:
    explicit            TZunoHistoryFormat(std::string name) : Name(std::move(name)), History(*this) {}
    std::string         Name;
    THistorySettings    Settings{};
    TZunoNewHistory     History;
};

class TZunoHistoryFormatManager {
public:
                        TZunoHistoryFormatManager() { Reset(); }

    TZunoHistoryFormat* Find(const std::string& name);
    TZunoHistoryFormat& GetOrCreate(const std::string& name);
    TZunoHistoryFormat& Default() { return *FFormats.front(); }
    int32_t             Count() const { return static_cast<int32_t>(FFormats.size()); }
    TZunoHistoryFormat& Format(int32_t i) { return *FFormats[static_cast<size_t>(i)]; }
    void                Reset();
    void                ClearAll();
    void                NoteBoxPage(const TZunoNewHistory::TNote& note);
    void                BoxTextChanged(const std::string& boxName);

    // Where committed pages read their text, and VAR values.
    TStoredTextSource*  TextSource = nullptr;
    TSysFuncMan*        Funcs = nullptr;

    // Format count; per format name, six settings, history record.
    void                SaveRecord(TStream& s) const;
    void                LoadRecord(TStream& s, int32_t version);

private:
    std::vector<std::unique_ptr<TZunoHistoryFormat>> FFormats;
};

} // namespace zuno
