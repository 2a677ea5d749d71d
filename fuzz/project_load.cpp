// Project files and status data from untrusted bytes: loading must fail only
// with EZunoError; what loads must write back to the same form.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "authoring/RecordDump.h"
#include "core/EZunoError.h"
#include "core/TStream.h"
#include "script/TProjectSetting.h"
#include "script/TStatusData.h"

using namespace zuno;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        TKsMemoryStream in(std::vector<uint8_t>(data, data + size));
        TProjectSetting project;
        if (project.LoadFromStream(in)) {
            (void)dumpProject(project);
            TKsMemoryStream first;
            project.SaveToStream(first);
            first.SetPosition(0);
            TProjectSetting again;
            if (!again.LoadFromStream(first))
                std::abort();
            TKsMemoryStream second;
            again.SaveToStream(second);
            if (second.Data() != first.Data())
                std::abort();
        }
    } catch (const EZunoError&) {
    }
    try {
        TKsMemoryStream in(std::vector<uint8_t>(data, data + size));
        TStatusData status;
        status.LoadFromStream(in);
        TKsMemoryStream out;
        status.SaveToStream(out);
        if (out.Data() != std::vector<uint8_t>(data, data + size))
            std::abort();
    } catch (const EZunoError&) {
    }
    return 0;
}
