#include "expr/TDBManager.h"

#include <cstring>

#include "core/EZunoError.h"
#include "core/StreamFields.h"

namespace zuno {

int32_t TDBManager::TableIndex(std::string_view name) const {
    for (size_t i = 0; i < FTables.size(); ++i)
        if (dbSameName(FTables[i]->TableName, name))
            return static_cast<int32_t>(i);
    return -1;
}

TDBCustomTable* TDBManager::Table(std::string_view name) const {
    const int32_t i = TableIndex(name);
    return i < 0 ? nullptr : Items(i);
}

TDBCustomTable* TDBManager::ActiveTable() const {
    return ActiveIndex >= 0 && ActiveIndex < Count() ? Items(ActiveIndex) : nullptr;
}

bool TDBManager::SetActive(std::string_view name) {
    const int32_t i = TableIndex(name);
    if (i < 0)
        return false;
    ActiveIndex = i;
    return true;
}

int32_t TDBManager::AddTable(const std::string& name, bool persistent) {
    if (name.empty() || TableIndex(name) >= 0)
        return -1;
    FTables.push_back(std::make_unique<TDBTable>(name, persistent));
    ActiveIndex = Count() - 1;
    return ActiveIndex;
}

void TDBManager::DeleteTable(std::string_view name) {
    const TDBCustomTable* active = ActiveTable();
    const std::string activeName = active ? active->TableName : std::string();
    const int32_t i = TableIndex(name);
    if (i >= 0)
        FTables.erase(FTables.begin() + i);
    ActiveIndex = activeName.empty() ? -1 : TableIndex(activeName);
}

bool TDBManager::FindCell(std::string_view tableName, const TCustomParam* names, const TCustomParam* values,
                          bool ignoreCase, bool partial, std::string_view field, TDBCustomTable*& table,
                          int32_t& record, int32_t& fieldIndex) const {
    table = Table(tableName);
    if (!table)
        return false;
    std::vector<int32_t> selected;
    table->SelectRecords(selected, names, partial, ignoreCase, values);
    if (selected.empty())
        return false;
    record = selected.front();
    fieldIndex = table->Fields.IndexOf(field);
    return fieldIndex >= 0;
}

bool dbAppendCopy(TDBCustomTable& dest, TDBCustomTable& source, int32_t from) {
    if (!source.RecordAt(from) || !dest.AppendRecord())
        return false;
    // Taken after appending: the source may be the destination itself.
    const uint8_t* src = source.RecordAt(from);
    uint8_t* dst = dest.CurrentRecord();
    const int32_t size = dest.Fields.RecordSize();
    if (size > 0 && src != dst)
        std::memcpy(dst, src, static_cast<size_t>(size));
    return true;
}

bool TDBManager::CopyRowsTo(std::string_view destination, const std::vector<int32_t>& records) {
    TDBCustomTable* active = ActiveTable();
    TDBCustomTable* dest = Table(destination);
    if (!active || !dest || dest == active)
        return false;
    dest->ClearTable();
    for (int32_t i = 0; i < active->Fields.Count(); ++i) {
        const TDBField& f = active->Fields.Items(i);
        dest->AddField(f.FieldName, f.FieldType, f.FieldSize);
    }
    for (int32_t r : records)
        if (!dbAppendCopy(*dest, *active, r))
            break;
    return true;
}

bool TDBManager::AppendRowsFrom(std::string_view source, const std::vector<int32_t>& records) {
    TDBCustomTable* active = ActiveTable();
    TDBCustomTable* src = Table(source);
    if (!active || !src || !active->Fields.SameAs(src->Fields))
        return false;
    for (int32_t r : records)
        if (!dbAppendCopy(*active, *src, r))
            break;
    return true;
}

void TDBManager::SaveTables(TStream& s, bool persistent) const {
    WriteInt(s, kDBFormatVersion);
    int32_t count = 0;
    for (const auto& t : FTables)
        count += t->Persistent == persistent;
    WriteInt(s, count);
    for (const auto& t : FTables) {
        if (t->Persistent != persistent)
            continue;
        WriteByte(s, t->ClassCode());
        t->SaveToStream(s);
    }
    if (!persistent) {
        const TDBCustomTable* active = ActiveTable();
        WriteString(s, active ? active->TableName : std::string());
    }
}

void TDBManager::freeWhere(bool persistent) {
    std::erase_if(FTables, [&](const std::unique_ptr<TDBCustomTable>& t) { return t->Persistent == persistent; });
}

void TDBManager::LoadTables(TStream& s, bool persistent) {
    (void)ReadInt(s);       // the format version
    freeWhere(persistent);
    ActiveIndex = -1;
    const int32_t count = ReadInt(s);
    // Each table takes at least its class code, name, flag and three counts.
    checkCount(s, count, 1 + 4 + 1 + 4 + 4 + 4, "tables");
    for (int32_t i = 0; i < count; ++i) {
        if (ReadByte(s) != 0)
            throw EZunoError::fromUtf8("データが壊れています (table class)");
        FTables.push_back(std::make_unique<TDBTable>(std::string(), false));
        ActiveIndex = Count() - 1;
        FTables.back()->LoadFromStream(s);
    }
    if (!persistent) {
        const std::string active = ReadString(s);
        ActiveIndex = active.empty() ? -1 : TableIndex(active);
    }
}

void TDBManager::ResetTables() {
    ActiveIndex = -1;
    freeWhere(false);
}

void TDBManager::ClearAll() {
    FTables.clear();
    ActiveIndex = -1;
}

} // namespace zuno
