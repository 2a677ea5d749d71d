// Fuzz target: the records of the backlog and read marks, and the message
// box's save record. The first byte picks the record (read-text list, backlog
// formats, message box) and the save version; what loads is written, read
// back (which must succeed) and, for a box, rebuilt and run for a few frames.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/EZunoError.h"
#include "core/TStream.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoHistoryFormatManager.h"
#include "objects/TZunoMes.h"
#include "objects/TZunoReadList.h"

using namespace zuno;

namespace {

template <class T>
void roundTrip(T& loaded, int32_t newest) {
    TKsMemoryStream out;
    loaded.SaveRecord(out);
    out.SetPosition(0);
    T again;
    try {
        again.LoadRecord(out, newest);
    } catch (const EZunoError&) {
        __builtin_trap();                 // what was written must read back
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const int kind = data[0] % 3;
    const int32_t version = 95 + (data[0] / 3) % 45;     // 95 .. 139: every condition both ways
    TKsMemoryStream in(std::vector<uint8_t>(data + 1, data + size));
    try {
        if (kind == 0) {
            TZunoReadList list;
            list.LoadRecord(in, version);
            roundTrip(list, 103);
            list.Commit("m");
            (void)list.IsRead("a", 0, 0);
        } else if (kind == 1) {
            TZunoHistoryFormatManager formats;
            formats.LoadRecord(in, version);
            roundTrip(formats, 135);
            TZunoHistData range;
            for (int32_t i = 0; i < formats.Count(); ++i)
                (void)formats.Format(i).History.SelectRange(0, formats.Format(i).History.Size(), range);
        } else {
            TZunoBaseList reg;
            reg.SetSize(64, 48);
            auto* box = reg.Create<TZunoMes>();
            box->SetParent(reg.ActiveBase());
            box->LoadFromStream(in, version);
            box->RestoreAfterLoad();
            for (int i = 0; i < 3; ++i)
                reg.Update(16);
            reg.Draw();
            TKsMemoryStream out;
            box->SaveToStream(out);
        }
    } catch (const EZunoError&) {
    }
    return 0;
}
