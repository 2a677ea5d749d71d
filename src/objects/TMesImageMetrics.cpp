#include "objects/TMesImageMetrics.h"

#include "imaging/TCustomDIBX.h"

namespace zuno {

TZunoImageList& TMesImageMetrics::imageOf(const std::string& source) const {
    std::unique_ptr<TZunoImageList>& list = FImages[source];
    if (!list) {
        list = std::make_unique<TZunoImageList>();
        list->Load(source);
    }
    return *list;
}

TWdSize TMesImageMetrics::ImageSize(const std::string& source) const {
    TCustomDIBX* picture = Picture(source);
    return picture ? TWdSize{picture->GetWidth(), picture->GetHeight()} : kMissingImageSize;
}

TCustomDIBX* TMesImageMetrics::Picture(const std::string& source) const {
    TZunoImageList& list = imageOf(source);
    return list.Count() > 0 ? list.Data(0).GetPicture() : nullptr;
}

} // namespace zuno
