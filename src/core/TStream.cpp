#include "core/TStream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/EZunoError.h"

namespace zuno {

int64_t TStream::GetSize() {
    int64_t p = Seek(0, soCurrent);
    int64_t size = Seek(0, soEnd);
    Seek(p, soBeginning);
    return size;
}

void TStream::SetSize(int64_t) { throw EZunoError::fromUtf8("ストリームのサイズを変更できません"); }

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count < 0 || Read(buffer, count) != count)
        throw EZunoError::fromUtf8("ストリームの読み込みエラー");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count < 0 || Write(buffer, count) != count)
        throw EZunoError::fromUtf8("ストリームの書き込みエラー");
}

// ---------------------------------------------------------------- TKsMemoryStream

int64_t TKsMemoryStream::Read(void* buffer, int64_t count) {
    int64_t size = GetSize();
    if (count <= 0 || FPosition >= size)
        return 0;
    int64_t n = std::min(count, size - FPosition);
    std::memcpy(buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TKsMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0)
        return 0;
    int64_t end = FPosition + count;
    if (end > GetSize())
        FData.resize(static_cast<size_t>(end));
    std::memcpy(FData.data() + FPosition, buffer, static_cast<size_t>(count));
    FPosition = end;
    return count;
}

int64_t TKsMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? FPosition : GetSize();
    // Like the platform's memory stream, a position past the end is allowed
    // (a later write fills the gap); a negative one is not.
    FPosition = std::max<int64_t>(0, base + offset);
    return FPosition;
}

void TKsMemoryStream::SetSize(int64_t size) {
    FData.resize(static_cast<size_t>(std::max<int64_t>(0, size)));
    FPosition = std::min(FPosition, GetSize());
}

void TKsMemoryStream::Clear() {
    FData.clear();
    FPosition = 0;
}

void TKsMemoryStream::LoadFromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EZunoError::fromUtf8(path + ":ファイルがありません");
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    std::vector<uint8_t> data(static_cast<size_t>(std::max<std::streamoff>(0, size)));
    if (!data.empty() && !in.read(reinterpret_cast<char*>(data.data()), size))
        throw EZunoError::fromUtf8(path + ":読み込めません");
    FData = std::move(data);
    FPosition = 0;
}

} // namespace zuno
