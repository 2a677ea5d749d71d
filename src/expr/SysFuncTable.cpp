// Built-in functions: the table database. None of them raises an error of its
// own: a missing table, field, record or active table gives false, 0, 0.0, an
// empty text or the default the call names.
#include "expr/SysFuncBuiltins.h"
#include "expr/TDBManager.h"
#include "expr/TsvReader.h"

namespace zuno {

using namespace sysfunc;

namespace {

TDBCustomTable* active(TSysFuncMan& m) { return m.Tables().ActiveTable(); }

// The active table when it has a current record.
TDBCustomTable* activeWithRecord(TSysFuncMan& m) {
    TDBCustomTable* t = active(m);
    return t && t->GetRecNo() >= 0 ? t : nullptr;
}

// Argument i as an array argument, nullptr when it is not given.
const TCustomParam* arrayArg(const TParamArgs& a, size_t i) { return i < a.size() ? a[i].get() : nullptr; }

// The table named by argument 0, or the active table without arguments.
TDBCustomTable* namedOrActive(TSysFuncMan& m, const TParamArgs& a) {
    return a.empty() ? active(m) : m.Tables().Table(strArg(a, 0));
}

void fCreateTable(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    R.SetBoolean(m.Tables().AddTable(strArg(a, 0), boolArg(a, 1)) >= 0);
}

void fSetActive(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) { R.SetBoolean(m.Tables().SetActive(strArg(a, 0))); }

void fGetActive(TSysFuncMan& m, TCustomParam& R, const TParamArgs&) {
    const TDBCustomTable* t = active(m);
    R.SetString(t ? t->TableName : std::string());
}

// DBAddField (name, type, [size]): the size counts only for text fields.
void fAddField(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t = active(m);
    const int32_t type = intArg(a, 1);
    if (!t || type < PT_INT || type > PT_STR) {
        R.SetBoolean(false);
        return;
    }
    const uint8_t pt = static_cast<uint8_t>(type);
    R.SetBoolean(t->AddField(strArg(a, 0), pt, dbFieldSize(pt, intArg(a, 2, 0))));
}

void fSetRecNo(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t = active(m);
    R.SetBoolean(t && t->SetRecNo(intArg(a, 0)));
}

void fGetRecNo(TSysFuncMan& m, TCustomParam& R, const TParamArgs&) {
    const TDBCustomTable* t = active(m);
    R.SetInteger(t ? t->GetRecNo() : -1);
}

void fRecordCount(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    const TDBCustomTable* t = namedOrActive(m, a);
    R.SetInteger(t ? t->RecordCount() : -1);
}

template <bool (TDBCustomTable::*Move)()>
void fMove(TSysFuncMan& m, TCustomParam& R, const TParamArgs&) {
    TDBCustomTable* t = active(m);
    R.SetBoolean(t && (t->*Move)());
}

// DBInsert (values...): a new current record; argument k goes into field k
// through the setter of the argument's own type.
void fInsert(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t = active(m);
    if (!t || !t->AppendRecord()) {
        R.SetBoolean(false);
        return;
    }
    const int32_t rec = t->GetRecNo();
    const size_t n = std::min(a.size(), static_cast<size_t>(t->Fields.Count()));
    for (size_t k = 0; k < n; ++k) {
        const TCustomParam& v = *a[k];
        const int32_t f = static_cast<int32_t>(k);
        switch (v.ParamType()) {
        case PT_INT:   t->WriteInt(rec, f, v.AsInteger()); break;
        case PT_FLOAT: t->WriteFloat(rec, f, v.AsFloat()); break;
        case PT_BOOL:  t->WriteBool(rec, f, v.AsBoolean()); break;
        case PT_STR:   t->WriteStr(rec, f, v.AsString()); break;
        default: break;
        }
    }
    R.SetBoolean(true);
}

void fDelete(TSysFuncMan& m, TCustomParam&, const TParamArgs&) {
    if (TDBCustomTable* t = activeWithRecord(m))
        t->DeleteRecord();
}

// Reads and writes of the current record's fields, one per value type.
void fGetInt(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    int32_t v = 0;
    if (TDBCustomTable* t = active(m))
        t->ReadIntByName(strArg(a, 0), v);
    R.SetInteger(v);
}
void fGetFloat(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TReal v = 0;
    if (TDBCustomTable* t = active(m))
        t->ReadFloatByName(strArg(a, 0), v);
    R.SetFloat(v);
}
void fGetBool(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    bool v = false;
    if (TDBCustomTable* t = active(m))
        t->ReadBoolByName(strArg(a, 0), v);
    R.SetBoolean(v);
}
void fGetStr(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    std::string v;
    if (TDBCustomTable* t = active(m))
        t->ReadStrByName(strArg(a, 0), v);
    R.SetString(v);
}
void fSetInt(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t = activeWithRecord(m);
    R.SetBoolean(t && t->WriteIntByName(strArg(a, 0), intArg(a, 1)));
}
void fSetFloat(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t = activeWithRecord(m);
    R.SetBoolean(t && t->WriteFloatByName(strArg(a, 0), floatArg(a, 1)));
}
void fSetBool(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t = activeWithRecord(m);
    R.SetBoolean(t && t->WriteBoolByName(strArg(a, 0), boolArg(a, 1)));
}
void fSetStr(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t = activeWithRecord(m);
    R.SetBoolean(t && t->WriteStrByName(strArg(a, 0), strArg(a, 1)));
}

// DBLocate (names, values, [ignore case], [partial]).
void fLocate(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t = active(m);
    if (!t) {
        R.SetBoolean(false);
        return;
    }
    std::vector<int32_t> selected;
    t->SelectRecords(selected, a[0].get(), boolArg(a, 3), boolArg(a, 2), a[1].get());
    if (selected.empty()) {
        R.SetBoolean(false);
        return;
    }
    t->SetRecNo(selected.front());
    R.SetBoolean(true);
}

void fLoadTsvFile(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    R.SetBoolean(false);
    TDBCustomTable* t = active(m);
    std::string bytes;
    if (!t || !m.ReadGameFile || !m.ReadGameFile(strArg(a, 0), bytes) || bytes.empty())
        return;
    t->LoadTsv(tsvTextLines(bytes));
}

// DBDirectGet/Set (table, names, values, ignore case, partial, field, value):
// the first record the query selects, without touching the active table.
bool findCell(TSysFuncMan& m, const TParamArgs& a, TDBCustomTable*& t, int32_t& rec, int32_t& field) {
    return m.Tables().FindCell(strArg(a, 0), a[1].get(), a[2].get(), boolArg(a, 3), boolArg(a, 4), strArg(a, 5), t,
                               rec, field);
}

void fDirectGetInt(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t; int32_t rec, f;
    int32_t v = 0;
    if (!findCell(m, a, t, rec, f) || !t->ReadInt(rec, f, v))
        v = intArg(a, 6);
    R.SetInteger(v);
}
void fDirectGetFloat(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t; int32_t rec, f;
    TReal v = 0;
    if (!findCell(m, a, t, rec, f) || !t->ReadFloat(rec, f, v))
        v = floatArg(a, 6);
    R.SetFloat(v);
}
void fDirectGetBool(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t; int32_t rec, f;
    bool v = false;
    if (!findCell(m, a, t, rec, f) || !t->ReadBool(rec, f, v))
        v = boolArg(a, 6);
    R.SetBoolean(v);
}
void fDirectGetStr(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t; int32_t rec, f;
    std::string v;
    if (!findCell(m, a, t, rec, f) || !t->ReadStr(rec, f, v))
        v = strArg(a, 6);
    R.SetString(v);
}
void fDirectSetInt(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t; int32_t rec, f;
    R.SetBoolean(findCell(m, a, t, rec, f) && t->WriteInt(rec, f, intArg(a, 6)));
}
void fDirectSetFloat(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t; int32_t rec, f;
    R.SetBoolean(findCell(m, a, t, rec, f) && t->WriteFloat(rec, f, floatArg(a, 6)));
}
void fDirectSetBool(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t; int32_t rec, f;
    R.SetBoolean(findCell(m, a, t, rec, f) && t->WriteBool(rec, f, boolArg(a, 6)));
}
void fDirectSetStr(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t; int32_t rec, f;
    R.SetBoolean(findCell(m, a, t, rec, f) && t->WriteStr(rec, f, strArg(a, 6)));
}

// DBCopyTable (destination, [names, values, ignore case, partial]).
void fCopyTable(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t = active(m);
    if (!t) {
        R.SetBoolean(false);
        return;
    }
    std::vector<int32_t> selected;
    t->SelectRecords(selected, arrayArg(a, 1), boolArg(a, 4), boolArg(a, 3), arrayArg(a, 2));
    R.SetBoolean(m.Tables().CopyRowsTo(strArg(a, 0), selected));
}

// DBInsertTable (source, [names, values, ignore case, partial]).
void fInsertTable(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* source = m.Tables().Table(strArg(a, 0));
    if (!active(m) || !source) {
        R.SetBoolean(false);
        return;
    }
    std::vector<int32_t> selected;
    source->SelectRecords(selected, arrayArg(a, 1), boolArg(a, 4), boolArg(a, 3), arrayArg(a, 2));
    R.SetBoolean(m.Tables().AppendRowsFrom(strArg(a, 0), selected));
}

// DBCopy (destination): the current record appended to a table with the same fields.
void fCopy(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t = activeWithRecord(m);
    TDBCustomTable* dest = m.Tables().Table(strArg(a, 0));
    if (!t || !dest || !dest->Fields.SameAs(t->Fields)) {
        R.SetBoolean(false);
        return;
    }
    R.SetBoolean(dbAppendCopy(*dest, *t, t->GetRecNo()));
}

void fSort(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t = active(m);
    if (t)
        t->SortRecords(*a[0], *a[1]);
    R.SetBoolean(t != nullptr);
}

void fClearRecord(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    TDBCustomTable* t = namedOrActive(m, a);
    if (t)
        t->ClearRecords();
    R.SetBoolean(t != nullptr);
}

void fDeleteTable(TSysFuncMan& m, TCustomParam&, const TParamArgs& a) {
    if (!a.empty()) {
        m.Tables().DeleteTable(strArg(a, 0));
    } else if (const TDBCustomTable* t = active(m)) {
        const std::string name = t->TableName;
        m.Tables().DeleteTable(name);
    }
}

void fClearTable(TSysFuncMan& m, TCustomParam&, const TParamArgs&) { m.Tables().ClearAll(); }

} // namespace

void registerTableFuncs(TBuiltinTable& t) {
    t[87] = fCreateTable;
    t[88] = fSetActive;
    t[89] = fAddField;
    t[90] = fSetRecNo;
    t[91] = fInsert;
    t[92] = fDelete;
    t[93] = fGetInt;
    t[94] = fSetInt;
    t[95] = fGetFloat;
    t[96] = fSetFloat;
    t[97] = fGetBool;
    t[98] = fSetBool;
    t[99] = fGetStr;
    t[100] = fSetStr;
    t[101] = fRecordCount;
    t[102] = fMove<&TDBCustomTable::MoveFirst>;
    t[103] = fMove<&TDBCustomTable::MoveLast>;
    t[104] = fMove<&TDBCustomTable::MoveNext>;
    t[105] = fMove<&TDBCustomTable::MovePrior>;
    t[106] = fLocate;
    t[107] = fLoadTsvFile;
    t[108] = fDirectGetInt;
    t[109] = fDirectSetInt;
    t[110] = fDirectGetFloat;
    t[111] = fDirectSetFloat;
    t[112] = fDirectGetBool;
    t[113] = fDirectSetBool;
    t[114] = fDirectGetStr;
    t[115] = fDirectSetStr;
    t[116] = fCopyTable;
    t[117] = fDeleteTable;
    t[118] = fInsertTable;
    t[119] = fCopy;
    t[120] = fClearTable;
    t[121] = fSort;
    t[122] = fGetActive;
    t[123] = fGetRecNo;
    t[124] = fClearRecord;
}

} // namespace zuno
