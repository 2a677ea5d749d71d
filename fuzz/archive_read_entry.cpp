// Fuzz target: every entry of an archive read from arbitrary bytes, then the
// whole archive written again (which re-reads every entry).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "archive/TVrFileCollection.h"
#include "core/EZunoError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zuno;
    TVrFileCollection archive;
    try {
        archive.OpenStream(std::make_unique<TKsBigMemoryStream>(std::vector<uint8_t>(data, data + size)), "fuzz");
    } catch (const EZunoError&) {
        return 0;
    }
    bool allRead = true;
    for (int i = 0; i < archive.DirectoryCount(); ++i) {
        try {
            TKsMemoryStream out;
            archive.ReadItem(*archive.Entry(i), out);
        } catch (const EZunoError&) {
            allRead = false;
        }
    }
    if (allRead) {
        try {
            TKsBigMemoryStream copy;
            archive.SaveToStream(copy);
            TVrFileCollection again;
            again.OpenStream(std::make_unique<TKsBigMemoryStream>(copy.Memory().Data()), "copy");
            // The writer leaves out every entry named like the end marker.
            int kept = 0;
            for (int i = 0; i < archive.DirectoryCount(); ++i)
                kept += archive.Entry(i)->Name() != TVrFileCollection::kEndMarker;
            if (again.DirectoryCount() != kept)
                __builtin_trap();
        } catch (const EZunoError&) {
        }
    }
    return 0;
}
