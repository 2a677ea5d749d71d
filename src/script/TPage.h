// A compiled script page (*.zsb): version, result type, the property sets of
// the component command types and the owned list of command records.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/TStream.h"
#include "objects/PropertyIds.h"
#include "script/CommandFactory.h"
#include "script/TCommand.h"

namespace zuno {

constexpr int32_t PageVersionMin = 103;                    // oldest page version that runs
constexpr int32_t PageVersionMax = 113;                    // newest page version read
constexpr int     PropertySetBytes = 21;                   // one set over identifiers 0 .. 167

using TPropertySet = std::array<uint8_t, PropertySetBytes>;  // bit k of byte k div 8, LSB first

enum class TPageLoadResult {
    Loaded,                                                // commands read
    TooNew,                                                // version above 113: stays empty, no message
    TooOld,                                                // version 102 or lower: must be rebuilt
};

class TPage {
public:
                        TPage();                           // empty, version 104, result type 1
                        ~TPage();
                        TPage(const TPage&) = delete;
    TPage&              operator=(const TPage&) = delete;

    TPageLoadResult     LoadFromStream(TStream& s, const std::string& name); // fails with EZunoError
    void                SaveToStream(TStream& s) const;
    void                Clear();                           // no commands, no sets

    int32_t             Version() const { return FVersion; }
    void                SetVersion(int32_t v) { FVersion = v; }
    uint8_t             ResultType() const { return FResultType; }
    void                SetResultType(uint8_t t) { FResultType = t; }
    const std::string&  Name() const { return FName; }
    void                SetName(const std::string& name) { FName = name; }

    int                 CommandCount() const { return static_cast<int>(FCommands.size()); }
    TCommand*           Command(int index) const;          // none outside the list
    int                 IndexOf(const TCommand* c) const;  // -1 when not in this page
    int                 LabelIndex(const std::string& name) const; // first IsLabel answer, or -1
    TCommand&           Add(std::unique_ptr<TCommand> c);  // appends; the page owns it
    TCommand&           AddNew(uint8_t type);              // factory, then append

    bool                HasProperty(int type, int id) const;        // type 0 .. 60, id 0 .. 162
    void                SetProperty(int type, int id, bool on);
    const TPropertySet& PropertySet(int type) const { return FSets.at(static_cast<size_t>(type)); }

    // The stored set table: entry count and entry size as written, and the
    // bytes written for each entry (the first min(size, 21) bytes of entries
    // 0 .. 60 are their sets, the rest are kept as given; zero by default).
    int32_t             PropertySetCount() const { return FSetCount; }
    int32_t             PropertySetSize() const { return FSetSize; }
    void                SetPropertySetShape(int32_t count, int32_t size); // EZunoError when negative
    std::string         StoredPropertySet(int32_t index) const;           // size bytes; index 0 .. count - 1
    void                SetStoredPropertySet(int32_t index, const std::string& bytes); // exactly size bytes

private:
    int32_t             FVersion = 104;
    uint8_t             FResultType = 1;
    std::string         FName;
    std::array<TPropertySet, CommandTypeCount> FSets{};
    // The stored shape of the set table, kept so a loaded page is written back
    // as it was: entry count and size, and each entry's bytes beyond its set
    // (all bytes of entries 61 and up).
    int32_t             FSetCount = CommandTypeCount;
    int32_t             FSetSize = PropertySetBytes;
    std::vector<std::string> FSetExtra;
    std::vector<std::unique_ptr<TCommand>> FCommands;
};

// The message shown for a page too old to run: the name, CR LF, "リビルドしてください".
std::string             rebuildMessage(const std::string& pageName);

} // namespace zuno
