// Fuzz target: a table loaded from arbitrary TSV bytes (lines, header, escapes,
// cells), then read through, searched, sorted, stored and loaded back; the
// same bytes are also read as a stored table database.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/EZunoError.h"
#include "core/TStream.h"
#include "expr/TCustomParam.h"
#include "expr/TDBManager.h"
#include "expr/TsvReader.h"

using namespace zuno;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TDBManager db;
    db.AddTable("t", false);
    TDBCustomTable& t = *db.ActiveTable();
    t.LoadTsv(tsvTextLines(bytes));

    // Every cell read as each type (a bounded number of them).
    std::string first;
    for (int32_t r = 0; r < t.RecordCount() && r < 64; ++r)
        for (int32_t f = 0; f < t.Fields.Count() && f < 64; ++f) {
            int32_t i;
            TReal x;
            bool b;
            std::string s;
            t.ReadInt(r, f, i);
            t.ReadFloat(r, f, x);
            t.ReadBool(r, f, b);
            t.ReadStr(r, f, s);
            if (r == 0 && f == 0)
                first = s;
        }

    if (t.Fields.Count() > 0) {
        TParamStr names, values;
        names.SetString(t.Fields.Items(0).FieldName);
        values.SetString(first);
        std::vector<int32_t> found;
        t.SelectRecords(found, &names, true, true, &values);
        t.SelectRecords(found, &names, false, false, &values);
        if (t.RecordCount() > 0 && found.empty())
            std::abort();                 // the first record holds the value it is searched for
        TParamFlag down;
        down.SetBoolean(true);
        t.SortRecords(names, down);
    }

    // The stored form reads back to the same bytes (skipped for tables of
    // more than 16 MB, which would only make the run slow).
    if (int64_t(t.RecordCount()) * t.Fields.RecordSize() > (16 << 20))
        return 0;
    TKsMemoryStream out;
    db.SaveTables(out, false);
    TDBManager copy;
    out.SetPosition(0);
    copy.LoadTables(out, false);
    TKsMemoryStream again;
    copy.SaveTables(again, false);
    if (again.Data() != out.Data())
        std::abort();

    try {
        TDBManager stored;
        TKsMemoryStream in(std::vector<uint8_t>(data, data + size));
        stored.LoadTables(in, false);
    } catch (const EZunoError&) {
    }
    return 0;
}
