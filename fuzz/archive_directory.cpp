// Fuzz target: an archive directory read from arbitrary bytes, then looked up
// and listed.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "archive/TVrFileCollection.h"
#include "core/EZunoError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zuno;
    try {
        TVrFileCollection archive;
        archive.OpenStream(std::make_unique<TKsBigMemoryStream>(std::vector<uint8_t>(data, data + size)), "fuzz");
        std::vector<std::string> list;
        archive.ListFolder("", list);
        for (int i = 0; i < archive.DirectoryCount() && i < 64; ++i) {
            const TVrFile* entry = archive.Entry(i);
            archive.ListFolder(entry->Name(), list);
            if (archive.FindEntry(entry->Name()) == nullptr)
                __builtin_trap();   // every loaded name must be found again
        }
    } catch (const EZunoError&) {
    }
    return 0;
}
