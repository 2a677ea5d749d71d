#include "archive/TRangeStream.h"

#include <algorithm>

#include "archive/TKsBigFileStream.h"
#include "archive/TKsBigResourceStream.h"

namespace zuno {

TRangeStream::TRangeStream(std::unique_ptr<TKsBigStream> source, int64_t start, int64_t length, bool exactLength)
    : FSource(std::move(source)), FStart(std::max<int64_t>(0, start)), FLength(std::max<int64_t>(0, length)) {
    if (FLength == 0 && !exactLength)
        FLength = FSource->GetSize();
    FSource->SetPosition(FStart);
}

int64_t TRangeStream::Read(void* buffer, int64_t count) {
    std::lock_guard<std::mutex> guard(FLock);
    int64_t n = std::min(count, FStart + FLength - FSource->GetPosition());
    if (n <= 0)
        return 0;
    return FSource->Read(buffer, n);
}

int64_t TRangeStream::Write(const void*, int64_t) { return 0; }

int64_t TRangeStream::Seek(int64_t offset, TSeekOrigin origin) {
    std::lock_guard<std::mutex> guard(FLock);
    int64_t p;
    switch (origin) {
    case soBeginning: p = FStart + offset; break;
    case soCurrent: p = FSource->GetPosition() + offset; break;
    default: p = FStart + FLength + offset; break;
    }
    p = std::clamp(p, FStart, FStart + FLength);
    FSource->SetPosition(p);
    return p - FStart;
}

TFileRangeStream::TFileRangeStream(const std::string& fileName, int64_t length, int64_t start, bool exactLength,
                                   bool singleFile)
    : TRangeStream(std::make_unique<TKsBigFileStream>(fileName, fmOpenRead | fmShareDenyWrite, singleFile), start,
                   length, exactLength) {}

TResourceRangeStream::TResourceRangeStream(const std::string& resourceName, int64_t length, int64_t start,
                                           const std::string& resourceType, const std::string& module,
                                           bool exactLength)
    : TRangeStream(std::make_unique<TKsBigResourceStream>(module, resourceName, resourceType), start, length,
                   exactLength) {}

} // namespace zuno

