// Loading pictures into any surface: Windows bitmaps, PNG and Drel images
// (their first frame), recognised by their first bytes.
#include <cstring>

#include "core/Cp932.h"
#include "core/TStream.h"
#include "imaging/TCustomDIBX.h"
#include "imaging/TDrelFrameCopy.h"
#include "imaging/TDrelFrameList.h"

namespace zuno {

void TCustomDIBX::LoadFromStream(TStream& stream, int32_t idCode) {
    const int64_t start = stream.GetPosition();
    uint8_t head[4] = {};
    const int64_t got = stream.Read(head, 4);
    stream.SetPosition(start);
    TDrelFrameList list(idCode);
    if (got >= 2 && head[0] == 'B' && head[1] == 'M')
        list.LoadBmpFromStream(stream);
    else if (got >= 4 && std::memcmp(head + 1, "PNG", 3) == 0)
        list.LoadPngFromStream(stream);
    else if (got >= 4 && std::memcmp(head, "Drel", 4) == 0)
        list.LoadFromStream(stream, true);
    else
        return;   // not a picture: the surface stays as it is
    if (list.Count() == 0)
        return;
    copyFrameToSurface(*list.Frames(0), *this);
}

void TCustomDIBX::LoadFromFile(const std::string& name) {
    std::string lower = lowerCaseSjis(name);
    if (lower.size() < 4 || lower.compare(lower.size() - 4, 4, ".bmp") != 0)
        return;
    TKsMemoryStream stream;
    stream.LoadFromFile(name);
    LoadFromStream(stream, 0);
}

} // namespace zuno
