// Fuzz target: install.dat and the folder-to-disc map read from arbitrary
// bytes; a record that reads is written and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/TZunoInstallSet.h"
#include "core/EZunoError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zuno;
    std::vector<uint8_t> bytes(data, data + size);
    try {
        TKsMemoryStream in(bytes);
        TZunoInstallSet set;
        set.LoadFromStream(in);
        TKsMemoryStream out;
        set.SaveToStream(out);
        out.SetPosition(0);
        TZunoInstallSet again;
        again.LoadFromStream(out);
        if (again.Identity != set.Identity || again.Records != set.Records || again.WrittenFiles != set.WrittenFiles)
            __builtin_trap();
    } catch (const EZunoError&) {
    }
    try {
        TKsMemoryStream in(bytes);
        TFolderDiskList list;
        list.LoadFromStream(in);
        list.DiskOf("bg\\sub\\a.png");
    } catch (const EZunoError&) {
    }
    return 0;
}
