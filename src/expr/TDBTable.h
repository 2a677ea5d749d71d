// The tables of the script database: named tables of typed fields and
// fixed-size records. A record is one block of RecordSize bytes holding the
// fields back to back in field order (int32 little-endian, the 10-byte
// extended real, the flag byte, a zero-terminated text of at most
// FieldSize - 1 bytes). One record of a table is current (RecNo, -1 for none).
// Values read from or stored into a field of another type are converted; no
// operation raises an error for a missing field or record.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "expr/ParamConvert.h"

namespace zuno {

class TCustomParam;
class TStream;

// Limits that keep a table inside memory whatever a script, a TSV file or
// stored data asks for. A field or record that would pass them is not added.
constexpr int32_t kDBMaxRecordSize = 16 * 1024 * 1024;      // bytes of one record
constexpr int64_t kDBMaxTableBytes = 512LL * 1024 * 1024;   // bytes of all records of one table
constexpr int32_t kDBMaxRecords = 16 * 1024 * 1024;         // records of one table
constexpr int32_t kDBDefaultTextSize = 80;                  // TSV text field without a size

struct TDBField {
    int32_t             FieldSize = 0;      // bytes in the record
    std::string         FieldName;
    uint8_t             FieldType = 0;      // PT_INT, PT_FLOAT, PT_BOOL or PT_STR
    int32_t             Offset = 0;         // where the field starts in a record
};

class TDBCustomTable;

// The fields of a table in order, with the record size they add up to.
class TDBFieldList {
public:
    explicit            TDBFieldList(TDBCustomTable* table) : FTable(table) {}

    int32_t             Count() const { return static_cast<int32_t>(FFields.size()); }
    const TDBField&     Items(int32_t i) const { return *FFields[static_cast<size_t>(i)]; }
    int32_t             RecordSize() const { return FRecordSize; }
    TDBCustomTable*     Table() const { return FTable; }

    // Index of the first field of that name (ASCII letters without regard to case), -1 if none.
    int32_t             IndexOf(std::string_view name) const;
    void                Add(std::string name, uint8_t type, int32_t size);
    void                Clear();
    // Same count and, field by field, the same name (byte for byte), type and size.
    bool                SameAs(const TDBFieldList& other) const;

private:
    TDBCustomTable*     FTable;
    std::vector<std::unique_ptr<TDBField>> FFields;
    int32_t             FRecordSize = 0;
};

// Bytes a field of that type takes in a record; for text the maximum length + 1.
int32_t                 dbFieldSize(uint8_t type, int32_t textLength);

class TDBCustomTable {
public:
                        TDBCustomTable(std::string name, bool persistent);
    virtual             ~TDBCustomTable() = default;
                        TDBCustomTable(const TDBCustomTable&) = delete;
    TDBCustomTable&     operator=(const TDBCustomTable&) = delete;

    TDBFieldList        Fields{this};
    std::string         TableName;
    bool                Persistent = false;

    virtual uint8_t     ClassCode() const = 0;
    virtual int32_t     RecordCount() const = 0;
    virtual int32_t     GetRecNo() const = 0;
    virtual uint8_t*    CurrentRecord() = 0;                    // nullptr when RecNo is -1
    virtual uint8_t*    RecordAt(int32_t i) = 0;                // nullptr when out of range
    virtual bool        GrowRecords(uint8_t type, int32_t size) = 0;  // false: over the limits
    virtual void        ShrinkRecords(int32_t k) = 0;               // the caller then removes field k
    virtual bool        AppendRecord() = 0;                     // false only over the limits
    virtual void        DeleteRecord() = 0;
    virtual bool        MoveFirst() = 0;
    virtual bool        MoveLast() = 0;
    virtual bool        MoveNext() = 0;
    virtual bool        MovePrior() = 0;
    virtual bool        SetRecNo(int32_t i) = 0;

    // Adds a field at the end of every record (GrowRecords, then the field;
    // zero-filled); false over the limits.
    bool                AddField(std::string name, uint8_t type, int32_t size);

    // Typed access to the current record by field name.
    bool                ReadIntByName(std::string_view field, int32_t& v);
    bool                WriteIntByName(std::string_view field, int32_t v);
    bool                ReadFloatByName(std::string_view field, TReal& v);
    bool                WriteFloatByName(std::string_view field, TReal v);
    bool                ReadBoolByName(std::string_view field, bool& v);
    bool                WriteBoolByName(std::string_view field, bool v);
    bool                ReadStrByName(std::string_view field, std::string& v);
    bool                WriteStrByName(std::string_view field, std::string_view v);

    // Typed access to record `record`, field `field`, with conversion; false
    // when either is out of range (v is then left as it was).
    virtual bool        ReadInt(int32_t record, int32_t field, int32_t& v) = 0;
    virtual bool        WriteInt(int32_t record, int32_t field, int32_t v) = 0;
    virtual bool        ReadFloat(int32_t record, int32_t field, TReal& v) = 0;
    virtual bool        WriteFloat(int32_t record, int32_t field, TReal v) = 0;
    virtual bool        ReadBool(int32_t record, int32_t field, bool& v) = 0;
    virtual bool        WriteBool(int32_t record, int32_t field, bool v) = 0;
    virtual bool        ReadStr(int32_t record, int32_t field, std::string& v) = 0;
    virtual bool        WriteStr(int32_t record, int32_t field, std::string_view v) = 0;

    // Appends to `result` the indexes of the records matching the query (see
    // TDBTable.cpp); names or values nullptr: every record.
    virtual void        SelectRecords(std::vector<int32_t>& result, const TCustomParam* names, bool partial,
                                      bool ignoreCase, const TCustomParam* values) = 0;
    // Rebuilds the table from tab-separated lines: a header, then one record a line.
    virtual void        LoadTsv(const std::vector<std::string>& lines) = 0;
    virtual void        ClearTable() = 0;
    virtual void        ClearRecords() = 0;
    virtual void        SaveToStream(TStream& s) const = 0;
    virtual void        LoadFromStream(TStream& s) = 0;
    virtual void        SortRecords(const TCustomParam& names, const TCustomParam& descending) = 0;
};

class TDBTable : public TDBCustomTable {
public:
                        TDBTable(std::string name, bool persistent) : TDBCustomTable(std::move(name), persistent) {}

    uint8_t             ClassCode() const override { return 0; }
    int32_t             RecordCount() const override { return FCount; }
    int32_t             GetRecNo() const override { return FRecNo; }
    uint8_t*            CurrentRecord() override { return RecordAt(FRecNo); }
    uint8_t*            RecordAt(int32_t i) override;
    bool                GrowRecords(uint8_t type, int32_t size) override;
    void                ShrinkRecords(int32_t k) override;
    bool                AppendRecord() override;
    void                DeleteRecord() override;
    bool                MoveFirst() override;
    bool                MoveLast() override;
    bool                MoveNext() override;
    bool                MovePrior() override;
    bool                SetRecNo(int32_t i) override;

    bool                ReadInt(int32_t record, int32_t field, int32_t& v) override;
    bool                WriteInt(int32_t record, int32_t field, int32_t v) override;
    bool                ReadFloat(int32_t record, int32_t field, TReal& v) override;
    bool                WriteFloat(int32_t record, int32_t field, TReal v) override;
    bool                ReadBool(int32_t record, int32_t field, bool& v) override;
    bool                WriteBool(int32_t record, int32_t field, bool v) override;
    bool                ReadStr(int32_t record, int32_t field, std::string& v) override;
    bool                WriteStr(int32_t record, int32_t field, std::string_view v) override;

    void                SelectRecords(std::vector<int32_t>& result, const TCustomParam* names, bool partial,
                                      bool ignoreCase, const TCustomParam* values) override;
    void                LoadTsv(const std::vector<std::string>& lines) override;
    void                ClearTable() override;
    void                ClearRecords() override;
    void                SaveToStream(TStream& s) const override;
    void                LoadFromStream(TStream& s) override;
    void                SortRecords(const TCustomParam& names, const TCustomParam& descending) override;

private:
    uint8_t*            cell(int32_t record, int32_t field);    // nullptr when out of range
    std::string_view    textAt(const uint8_t* p, int32_t size) const;

    std::vector<uint8_t> FData;                                 // FCount records of RecordSize bytes
    int32_t             FCount = 0;
    int32_t             FRecNo = -1;
};

// Real to int32 as a table field takes it: rounded to nearest, ties to even;
// NaN and values beyond the 64-bit range give 0, others keep their low 32 bits.
int32_t                 dbRoundToInt(TReal x);
// ASCII letters compared without regard to case, every other byte as it is.
bool                    dbSameName(std::string_view a, std::string_view b);

} // namespace zuno
