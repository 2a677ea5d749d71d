// The metrics a message box lays its text out with: character cells as
// every text has them, and inline images measured and drawn from the image
// cache. Each named image is loaded once, on first use, and held while the
// box lives.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "objects/TZunoImageList.h"
#include "text/TWdMetrics.h"

namespace zuno {

class TMesImageMetrics : public TWdCellMetrics {
public:
    // The first frame's size; the empty picture's 8 x 8 when the file has none.
    TWdSize             ImageSize(const std::string& source) const override;
    TCustomDIBX*        Picture(const std::string& source) const override;

private:
    TZunoImageList&     imageOf(const std::string& source) const;

    mutable std::map<std::string, std::unique_ptr<TZunoImageList>> FImages;
};

} // namespace zuno
