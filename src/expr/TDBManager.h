// The database of the scripts: the tables in creation order and the active
// one. Table names are compared ignoring ASCII letter case. Persistent tables
// travel with the status data and survive a game reset; the others travel
// with each game save.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "expr/TDBTable.h"

namespace zuno {

class TCustomParam;
class TStream;

constexpr int32_t kDBFormatVersion = 100;       // written; not checked when read

class TDBManager {
public:
    int32_t             Count() const { return static_cast<int32_t>(FTables.size()); }
    TDBCustomTable*     Items(int32_t i) const { return FTables[static_cast<size_t>(i)].get(); }
    int32_t             ActiveIndex = -1;

    // -1 when the name is empty or taken; else the new table's index (it becomes active).
    int32_t             AddTable(const std::string& name, bool persistent);
    // Frees the named table (nothing when absent); the active table stays active.
    void                DeleteTable(std::string_view name);
    int32_t             TableIndex(std::string_view name) const;
    TDBCustomTable*     Table(std::string_view name) const;          // nullptr when absent
    TDBCustomTable*     ActiveTable() const;                         // nullptr when none
    bool                SetActive(std::string_view name);

    // The first record selected by the query on the named table, and the
    // index of the field named `field` in it; false when any is missing.
    bool                FindCell(std::string_view tableName, const TCustomParam* names, const TCustomParam* values,
                                 bool ignoreCase, bool partial, std::string_view field,
                                 TDBCustomTable*& table, int32_t& record, int32_t& fieldIndex) const;
    // The destination (another existing table) becomes a copy of the active
    // table's fields with the listed records.
    bool                CopyRowsTo(std::string_view destination, const std::vector<int32_t>& records);
    // The listed records of the source (with the same fields; it may be the
    // active table itself) are appended to the active table.
    bool                AppendRowsFrom(std::string_view source, const std::vector<int32_t>& records);

    void                SaveTables(TStream& s, bool persistent) const;
    // Replaces the tables of that kind by the stored ones; EZunoError on data
    // that cannot be a table database.
    void                LoadTables(TStream& s, bool persistent);
    void                ResetTables();                               // frees the game tables
    void                ClearAll();                                  // frees every table

private:
    void                freeWhere(bool persistent);

    std::vector<std::unique_ptr<TDBCustomTable>> FTables;
};

// Appends a copy of record `from` of `source` to `dest` (same record size);
// false when the destination is full.
bool                    dbAppendCopy(TDBCustomTable& dest, TDBCustomTable& source, int32_t from);

} // namespace zuno
