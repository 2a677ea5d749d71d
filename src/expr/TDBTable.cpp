#include "expr/TDBTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "expr/JString.h"
#include "expr/TCustomParam.h"
#include "expr/TsvReader.h"

namespace zuno {

//==============================================================================
// Helpers
//==============================================================================

int32_t dbRoundToInt(TReal x) {
    if (std::isnan(x))
        return 0;
    const TReal r = std::nearbyint(x);        // the default rounding: to nearest, ties to even
    if (r >= 9223372036854775807.0L || r < -9223372036854775808.0L)
        return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(r))));
}

bool dbSameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        uint8_t x = static_cast<uint8_t>(a[i]), y = static_cast<uint8_t>(b[i]);
        if (x >= 'a' && x <= 'z')
            x = static_cast<uint8_t>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<uint8_t>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

int32_t dbFieldSize(uint8_t type, int32_t textLength) {
    switch (type) {
    case PT_INT:   return 4;
    case PT_FLOAT: return 10;
    case PT_BOOL:  return 1;
    default:       return textLength < 0 ? 1 : (textLength >= kDBMaxRecordSize ? kDBMaxRecordSize : textLength + 1);
    }
}

namespace {

int32_t getInt32(const uint8_t* p) { return static_cast<int32_t>(getLE32(p)); }
void putInt32(uint8_t* p, int32_t v) { putLE32(p, static_cast<uint32_t>(v)); }
TReal getReal(const uint8_t* p) { return extendedToReal(TExtended::fromBytes(p)); }
void putReal(uint8_t* p, TReal v) { realToExtended(v).toBytes(p); }

std::string intText(int32_t v) { return std::to_string(v); }

} // namespace

//==============================================================================
// TDBFieldList
//==============================================================================

int32_t TDBFieldList::IndexOf(std::string_view name) const {
    for (size_t i = 0; i < FFields.size(); ++i)
        if (dbSameName(FFields[i]->FieldName, name))
            return static_cast<int32_t>(i);
    return -1;
}

void TDBFieldList::Add(std::string name, uint8_t type, int32_t size) {
    auto f = std::make_unique<TDBField>();
    f->FieldName = std::move(name);
    f->FieldType = type;
    f->FieldSize = size;
    f->Offset = FRecordSize;
    FRecordSize += size;
    FFields.push_back(std::move(f));
}

void TDBFieldList::Clear() {
    FFields.clear();
    FRecordSize = 0;
}

bool TDBFieldList::SameAs(const TDBFieldList& other) const {
    if (Count() != other.Count())
        return false;
    for (int32_t i = 0; i < Count(); ++i) {
        const TDBField& a = Items(i);
        const TDBField& b = other.Items(i);
        if (a.FieldName != b.FieldName || a.FieldType != b.FieldType || a.FieldSize != b.FieldSize)
            return false;
    }
    return true;
}

//==============================================================================
// TDBCustomTable: access by name to the current record
//==============================================================================

TDBCustomTable::TDBCustomTable(std::string name, bool persistent)
    : TableName(std::move(name)), Persistent(persistent) {}

bool TDBCustomTable::ReadIntByName(std::string_view f, int32_t& v) { return ReadInt(GetRecNo(), Fields.IndexOf(f), v); }
bool TDBCustomTable::WriteIntByName(std::string_view f, int32_t v) { return WriteInt(GetRecNo(), Fields.IndexOf(f), v); }
bool TDBCustomTable::ReadFloatByName(std::string_view f, TReal& v) { return ReadFloat(GetRecNo(), Fields.IndexOf(f), v); }
bool TDBCustomTable::WriteFloatByName(std::string_view f, TReal v) { return WriteFloat(GetRecNo(), Fields.IndexOf(f), v); }
bool TDBCustomTable::ReadBoolByName(std::string_view f, bool& v) { return ReadBool(GetRecNo(), Fields.IndexOf(f), v); }
bool TDBCustomTable::WriteBoolByName(std::string_view f, bool v) { return WriteBool(GetRecNo(), Fields.IndexOf(f), v); }
bool TDBCustomTable::ReadStrByName(std::string_view f, std::string& v) { return ReadStr(GetRecNo(), Fields.IndexOf(f), v); }
bool TDBCustomTable::WriteStrByName(std::string_view f, std::string_view v) {
    return WriteStr(GetRecNo(), Fields.IndexOf(f), v);
}

//==============================================================================
// TDBTable: records
//==============================================================================

uint8_t* TDBTable::RecordAt(int32_t i) {
    if (i < 0 || i >= FCount)
        return nullptr;
    return FData.data() + static_cast<size_t>(i) * static_cast<size_t>(Fields.RecordSize());
}

bool TDBTable::GrowRecords(uint8_t, int32_t size) {
    const int64_t oldSize = Fields.RecordSize();
    const int64_t newSize = oldSize + size;
    if (size < 0 || newSize > kDBMaxRecordSize || newSize * FCount > kDBMaxTableBytes)
        return false;
    if (FCount > 0 && size > 0) {
        std::vector<uint8_t> grown(static_cast<size_t>(newSize * FCount), 0);
        for (int32_t r = 0; r < FCount; ++r)
            std::memcpy(grown.data() + r * newSize, FData.data() + r * oldSize, static_cast<size_t>(oldSize));
        FData = std::move(grown);
    }
    return true;
}

void TDBTable::ShrinkRecords(int32_t k) {
    if (k < 0 || k >= Fields.Count())
        return;
    const size_t oldSize = static_cast<size_t>(Fields.RecordSize());
    const size_t cut = static_cast<size_t>(Fields.Items(k).FieldSize);
    const size_t at = static_cast<size_t>(Fields.Items(k).Offset);
    std::vector<uint8_t> shrunk((oldSize - cut) * static_cast<size_t>(FCount));
    for (size_t r = 0; r < static_cast<size_t>(FCount); ++r) {
        const uint8_t* src = FData.data() + r * oldSize;
        uint8_t* dst = shrunk.data() + r * (oldSize - cut);
        std::memcpy(dst, src, at);
        std::memcpy(dst + at, src + at + cut, oldSize - at - cut);
    }
    FData = std::move(shrunk);
}

bool TDBCustomTable::AddField(std::string name, uint8_t type, int32_t size) {
    if (!GrowRecords(type, size))
        return false;
    Fields.Add(std::move(name), type, size);
    return true;
}

bool TDBTable::AppendRecord() {
    const int64_t size = Fields.RecordSize();
    if (FCount >= kDBMaxRecords || size * (FCount + 1) > kDBMaxTableBytes)
        return false;
    FData.resize(FData.size() + static_cast<size_t>(size), 0);
    FRecNo = FCount++;
    return true;
}

void TDBTable::DeleteRecord() {
    if (FRecNo < 0 || FRecNo >= FCount)
        return;
    const size_t size = static_cast<size_t>(Fields.RecordSize());
    auto first = FData.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(FRecNo) * size);
    FData.erase(first, first + static_cast<std::ptrdiff_t>(size));
    --FCount;
    if (FRecNo >= FCount)
        FRecNo = FCount - 1;
}

bool TDBTable::MoveFirst() { return FCount > 0 && SetRecNo(0); }
bool TDBTable::MoveLast() { return FCount > 0 && SetRecNo(FCount - 1); }
bool TDBTable::MoveNext() { return FRecNo >= 0 && FRecNo < FCount - 1 && SetRecNo(FRecNo + 1); }
bool TDBTable::MovePrior() { return FRecNo > 0 && SetRecNo(FRecNo - 1); }

bool TDBTable::SetRecNo(int32_t i) {
    if (i >= FCount)
        return false;
    FRecNo = i < 0 ? -1 : i;
    return true;
}

void TDBTable::ClearTable() {
    Fields.Clear();
    ClearRecords();
}

void TDBTable::ClearRecords() {
    FData.clear();
    FData.shrink_to_fit();
    FCount = 0;
    FRecNo = -1;
}

//==============================================================================
// TDBTable: typed access
//==============================================================================

uint8_t* TDBTable::cell(int32_t record, int32_t field) {
    if (field < 0 || field >= Fields.Count())
        return nullptr;
    uint8_t* r = RecordAt(record);
    return r ? r + Fields.Items(field).Offset : nullptr;
}

std::string_view TDBTable::textAt(const uint8_t* p, int32_t size) const {
    const void* zero = std::memchr(p, 0, static_cast<size_t>(size));
    const size_t n = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - p) : static_cast<size_t>(size);
    return {reinterpret_cast<const char*>(p), n};
}

bool TDBTable::ReadInt(int32_t record, int32_t field, int32_t& v) {
    const uint8_t* p = cell(record, field);
    if (!p)
        return false;
    const TDBField& f = Fields.Items(field);
    switch (f.FieldType) {
    case PT_INT:   v = getInt32(p); break;
    case PT_FLOAT: v = dbRoundToInt(getReal(p)); break;
    case PT_BOOL:  v = *p != 0; break;
    default:       v = strToIntDef(textAt(p, f.FieldSize), 0); break;
    }
    return true;
}

bool TDBTable::ReadFloat(int32_t record, int32_t field, TReal& v) {
    const uint8_t* p = cell(record, field);
    if (!p)
        return false;
    const TDBField& f = Fields.Items(field);
    switch (f.FieldType) {
    case PT_INT:   v = getInt32(p); break;
    case PT_FLOAT: v = getReal(p); break;
    case PT_BOOL:  v = *p != 0 ? 1.0L : 0.0L; break;
    default:       v = tryStrToFloat(textAt(p, f.FieldSize)).value_or(0.0L); break;
    }
    return true;
}

bool TDBTable::ReadBool(int32_t record, int32_t field, bool& v) {
    const uint8_t* p = cell(record, field);
    if (!p)
        return false;
    const TDBField& f = Fields.Items(field);
    switch (f.FieldType) {
    case PT_INT:   v = getInt32(p) != 0; break;
    case PT_FLOAT: v = getReal(p) != 0; break;
    case PT_BOOL:  v = *p != 0; break;
    default:       v = strToBool(textAt(p, f.FieldSize)); break;
    }
    return true;
}

bool TDBTable::ReadStr(int32_t record, int32_t field, std::string& v) {
    const uint8_t* p = cell(record, field);
    if (!p)
        return false;
    const TDBField& f = Fields.Items(field);
    switch (f.FieldType) {
    case PT_INT:   v = intText(getInt32(p)); break;
    case PT_FLOAT: v = floatToStr(getReal(p)); break;
    case PT_BOOL:  v = boolToStr(*p != 0); break;
    default:       v = std::string(textAt(p, f.FieldSize)); break;
    }
    return true;
}

bool TDBTable::WriteInt(int32_t record, int32_t field, int32_t v) {
    uint8_t* p = cell(record, field);
    if (!p)
        return false;
    switch (Fields.Items(field).FieldType) {
    case PT_INT:   putInt32(p, v); break;
    case PT_FLOAT: putReal(p, v); break;
    case PT_BOOL:  *p = v != 0; break;
    default:       return WriteStr(record, field, intText(v));
    }
    return true;
}

bool TDBTable::WriteFloat(int32_t record, int32_t field, TReal v) {
    uint8_t* p = cell(record, field);
    if (!p)
        return false;
    switch (Fields.Items(field).FieldType) {
    case PT_INT:   putInt32(p, dbRoundToInt(v)); break;
    case PT_FLOAT: putReal(p, v); break;
    case PT_BOOL:  *p = v != 0; break;
    default:       return WriteStr(record, field, floatToStr(v));
    }
    return true;
}

bool TDBTable::WriteBool(int32_t record, int32_t field, bool v) {
    uint8_t* p = cell(record, field);
    if (!p)
        return false;
    switch (Fields.Items(field).FieldType) {
    case PT_INT:   putInt32(p, v ? 1 : 0); break;
    case PT_FLOAT: putReal(p, v ? 1.0L : 0.0L); break;
    case PT_BOOL:  *p = v; break;
    default:       return WriteStr(record, field, boolToStr(v));
    }
    return true;
}

bool TDBTable::WriteStr(int32_t record, int32_t field, std::string_view v) {
    uint8_t* p = cell(record, field);
    if (!p)
        return false;
    const TDBField& f = Fields.Items(field);
    switch (f.FieldType) {
    case PT_INT:   putInt32(p, strToIntDef(v, 0)); break;
    case PT_FLOAT: putReal(p, tryStrToFloat(v).value_or(0.0L)); break;
    case PT_BOOL:  *p = strToBool(v); break;
    default: {
        // The text up to its first zero byte, cut to the field's maximum
        // length (even inside a double-byte character), then the terminator.
        // Bytes after the terminator keep whatever they held.
        size_t n = std::min(v.size(), static_cast<size_t>(f.FieldSize - 1));
        const void* zero = std::memchr(v.data(), 0, n);
        if (zero)
            n = static_cast<size_t>(static_cast<const char*>(zero) - v.data());
        std::memcpy(p, v.data(), n);
        p[n] = 0;
        break;
    }
    }
    return true;
}

//==============================================================================
// TDBTable: selection and sorting
//==============================================================================

// A query matches a record when every key is equal: the field read as the
// type of the values and compared with the value element. Texts compare by
// bytes, ignoring ASCII letter case, or as a contained part (upper-cased
// first when ignoring case); an empty part is never contained. A key that
// names no field ends the selection with nothing selected.
void TDBTable::SelectRecords(std::vector<int32_t>& result, const TCustomParam* names, bool partial, bool ignoreCase,
                             const TCustomParam* values) {
    if (!names || !values) {
        for (int32_t r = 0; r < FCount; ++r)
            result.push_back(r);
        return;
    }
    const int n = std::min(names->Count(), values->Count());
    const uint8_t type = values->ParamType();
    struct TKey {
        int32_t Field;
        int32_t IntValue = 0;
        TReal FloatValue = 0;
        bool BoolValue = false;
        std::string TextValue;
    };
    std::vector<TKey> keys;
    keys.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        TKey k;
        k.Field = Fields.IndexOf(names->GetStringAt(i));
        if (k.Field < 0)
            return;
        switch (type) {
        case PT_INT:   k.IntValue = values->GetIntegerAt(i); break;
        case PT_FLOAT: k.FloatValue = values->GetFloatAt(i); break;
        case PT_BOOL:  k.BoolValue = values->GetBooleanAt(i); break;
        default:
            k.TextValue = values->GetStringAt(i);
            if (partial && ignoreCase)
                k.TextValue = upperCaseSjis(k.TextValue);
            break;
        }
        keys.push_back(std::move(k));
    }
    std::string text;
    for (int32_t r = 0; r < FCount; ++r) {
        bool match = true;
        for (const TKey& k : keys) {
            switch (type) {
            case PT_INT: {
                int32_t v = 0;
                ReadInt(r, k.Field, v);
                match = v == k.IntValue;
                break;
            }
            case PT_FLOAT: {
                TReal v = 0;
                ReadFloat(r, k.Field, v);
                match = v == k.FloatValue;
                break;
            }
            case PT_BOOL: {
                bool v = false;
                ReadBool(r, k.Field, v);
                match = v == k.BoolValue;
                break;
            }
            default:
                ReadStr(r, k.Field, text);
                if (!partial)
                    match = ignoreCase ? dbSameName(text, k.TextValue) : text == k.TextValue;
                else if (k.TextValue.empty())
                    match = false;
                else
                    match = charAlignedFind(ignoreCase ? upperCaseSjis(text) : text, k.TextValue) > 0;
                break;
            }
            if (!match)
                break;
        }
        if (match)
            result.push_back(r);
    }
}

// Records ordered key by key by the named fields (names that are no field
// are skipped); the first unequal key decides, a descending key reverses its
// order. The order of records equal in every key is not kept.
void TDBTable::SortRecords(const TCustomParam& names, const TCustomParam& descending) {
    struct TSortKey {
        const TDBField* Field;
        bool Descending;
    };
    std::vector<TSortKey> keys;
    const int n = std::min(names.Count(), descending.Count());
    for (int i = 0; i < n; ++i) {
        const int32_t f = Fields.IndexOf(names.GetStringAt(i));
        if (f >= 0)
            keys.push_back({&Fields.Items(f), descending.GetBooleanAt(i)});
    }
    if (keys.empty() || FCount < 2)
        return;
    const size_t size = static_cast<size_t>(Fields.RecordSize());
    auto compare = [&](const uint8_t* a, const uint8_t* b) {
        for (const TSortKey& k : keys) {
            const uint8_t* x = a + k.Field->Offset;
            const uint8_t* y = b + k.Field->Offset;
            int c = 0;
            switch (k.Field->FieldType) {
            case PT_INT: {
                const int32_t u = getInt32(x), v = getInt32(y);
                c = u < v ? -1 : u > v ? 1 : 0;
                break;
            }
            case PT_FLOAT: {
                // NaN sorts before every number, so the order stays total.
                const TReal u = getReal(x), v = getReal(y);
                if (std::isnan(u) || std::isnan(v))
                    c = int(std::isnan(v)) - int(std::isnan(u));
                else
                    c = u < v ? -1 : u > v ? 1 : 0;
                break;
            }
            case PT_BOOL:
                c = (*x != 0) - (*y != 0);
                break;
            default:
                c = textAt(x, k.Field->FieldSize).compare(textAt(y, k.Field->FieldSize));
                break;
            }
            if (c != 0)
                return k.Descending ? c > 0 : c < 0;
        }
        return false;
    };
    std::vector<int32_t> order(static_cast<size_t>(FCount));
    std::iota(order.begin(), order.end(), 0);
    const uint8_t* base = FData.data();
    std::sort(order.begin(), order.end(),
              [&](int32_t a, int32_t b) { return compare(base + a * size, base + b * size); });
    std::vector<uint8_t> sorted(FData.size());
    for (size_t i = 0; i < order.size(); ++i)
        std::memcpy(sorted.data() + i * size, base + static_cast<size_t>(order[i]) * size, size);
    FData = std::move(sorted);
}

//==============================================================================
// TDBTable: loading tab-separated lines
//==============================================================================

void TDBTable::LoadTsv(const std::vector<std::string>& lines) {
    ClearTable();
    if (lines.empty())
        return;
    std::vector<std::string_view> cells;
    splitTsvCells(lines[0], cells);
    for (std::string_view column : cells) {
        TTsvHeaderColumn h = parseTsvHeaderColumn(column);
        if (h.Name.empty()) {
            Fields.Clear();
            return;
        }
        // A header asking for more than a record may hold gets the fields that fit.
        if (!AddField(std::move(h.Name), h.Type, dbFieldSize(h.Type, h.Size)))
            break;
    }
    const int32_t fieldCount = Fields.Count();
    size_t dataLines = 0;
    for (size_t i = 1; i < lines.size(); ++i)
        dataLines += !lines[i].empty();
    const size_t wanted = std::min<size_t>(dataLines, static_cast<size_t>(kDBMaxTableBytes / std::max(1, Fields.RecordSize())));
    FData.reserve(wanted * static_cast<size_t>(Fields.RecordSize()));
    std::string unescaped;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty())
            continue;
        std::string_view text = line;
        if (hasTsvEscape(line)) {
            unescaped = unescapeTsv(line);
            text = unescaped;
        }
        splitTsvCells(text, cells);
        if (!AppendRecord())
            break;      // the table is full: the remaining lines are not loaded
        const int32_t m = std::min(fieldCount, static_cast<int32_t>(cells.size()));
        for (int32_t j = 0; j < m; ++j)
            WriteStr(FRecNo, j, cells[static_cast<size_t>(j)]);
    }
}

//==============================================================================
// TDBTable: stored form
//==============================================================================

void TDBTable::SaveToStream(TStream& s) const {
    zuno::WriteString(s, TableName);
    zuno::WriteBool(s, Persistent);
    zuno::WriteInt(s, Fields.Count());
    for (int32_t i = 0; i < Fields.Count(); ++i) {
        const TDBField& f = Fields.Items(i);
        zuno::WriteInt(s, f.FieldSize);
        zuno::WriteString(s, f.FieldName);
        zuno::WriteByte(s, f.FieldType);
    }
    zuno::WriteInt(s, FCount);
    if (!FData.empty())
        s.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
    zuno::WriteInt(s, FRecNo);
}

void TDBTable::LoadFromStream(TStream& s) {
    ClearTable();
    auto broken = [] { throw EZunoError::fromUtf8("データが壊れています (table)"); };
    TableName = zuno::ReadString(s);
    Persistent = zuno::ReadBool(s);
    const int32_t fieldCount = zuno::ReadInt(s);
    checkCount(s, fieldCount, 9, "table fields");
    for (int32_t i = 0; i < fieldCount; ++i) {
        const int32_t size = zuno::ReadInt(s);
        std::string name = zuno::ReadString(s);
        const uint8_t type = zuno::ReadByte(s);
        // The size must be the one the type takes; texts hold at least their terminator.
        const bool sizeFits = type == PT_STR ? size >= 1 : (type >= PT_INT && type <= PT_BOOL && size == dbFieldSize(type, 0));
        if (!sizeFits || !AddField(std::move(name), type, size))
            broken();
    }
    const int32_t count = zuno::ReadInt(s);
    if (count < 0 || count > kDBMaxRecords || static_cast<int64_t>(count) * Fields.RecordSize() > kDBMaxTableBytes)
        broken();
    checkCount(s, count, Fields.RecordSize(), "table records");
    FData.resize(static_cast<size_t>(count) * static_cast<size_t>(Fields.RecordSize()));
    if (!FData.empty())
        s.ReadBuffer(FData.data(), static_cast<int64_t>(FData.size()));
    FCount = count;
    const int32_t recNo = zuno::ReadInt(s);
    FRecNo = recNo >= 0 && recNo < FCount ? recNo : -1;
}

} // namespace zuno
