// Writing a collection as a version-102 archive.
#include <ctime>
#include <cstring>

#include "archive/GamePath.h"
#include "archive/TKsBigFileStream.h"
#include "archive/TVrFileCollection.h"
#include "core/ZlibCodec.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "platform/posix/DiskFile.h"
#include "platform/posix/PosixServices.h"

namespace zuno {

namespace {

constexpr size_t kDrelHeadSize = 37;            // "DrelNNN", int32 header size, header through its kind byte
constexpr size_t kDrelKindOffset = 7 + 4 + 22;  // compression kind byte of the header
constexpr uint8_t kDrelNoCompression = 1;

// Copies `size` bytes of a disk file into the output and returns their CRC.
uint32_t copyStored(TKsBigFileStream& file, int64_t size, TKsBigStream& out) {
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(size, 1024 * 1024)));
    uint32_t crc = 0;
    file.SetPosition(0);
    int64_t done = 0;
    while (done < size) {
        int64_t n = file.Read(buffer.data(), std::min<int64_t>(size - done, static_cast<int64_t>(buffer.size())));
        if (n <= 0)
            throw EZunoError::fromUtf8("ストリームの読み込みエラー");
        crc = crc32Of(buffer.data(), static_cast<size_t>(n), crc);
        out.WriteBuffer(buffer.data(), n);
        done += n;
    }
    return crc;
}

} // namespace

int32_t dosDateTimeOf(int64_t unixTime) {
    std::tm local = localTimeOf(static_cast<std::time_t>(unixTime));
    if (local.tm_year < 80)
        return 0;
    uint32_t date = uint32_t(local.tm_year - 80) << 9 | uint32_t(local.tm_mon + 1) << 5 | uint32_t(local.tm_mday);
    uint32_t time = uint32_t(local.tm_hour) << 11 | uint32_t(local.tm_min) << 5 | uint32_t(local.tm_sec / 2);
    return static_cast<int32_t>(date << 16 | time);
}

bool TVrFileCollection::mayCompress(std::string_view extension, const uint8_t* head, size_t headSize, int64_t size) {
    std::string upper = upperCaseSjis(extension);
    if (upper == ".DRL") {
        // Only an image whose own data is not compressed gains from it.
        if (headSize < kDrelHeadSize || std::memcmp(head, "Drel", 4) != 0)
            return false;
        int version = 0;
        for (int i = 4; i < 7; ++i) {
            if (head[i] < '0' || head[i] > '9')
                return false;
            version = version * 10 + (head[i] - '0');
        }
        if (version < 103 || static_cast<int32_t>(getLE32(head + 7)) < 23)
            return false;
        return head[kDrelKindOffset] == kDrelNoCompression;
    }
    if (!upper.empty() && std::string_view(kMediaExtensions).find(upper) != std::string_view::npos)
        return false;
    return size < kStoreThreshold;
}

TVrFileCollection::Written TVrFileCollection::writeEntry(TVrFile& entry, TKsBigStream& out) {
    Written w;
    auto writePacked = [&](const uint8_t* plain, size_t size, bool compareSize) {
        std::vector<uint8_t> packed = deflateLevel1(plain, size);
        if (compareSize && packed.size() > size * 9 / 10) {
            out.WriteBuffer(plain, static_cast<int64_t>(size));
            w.stored = 1;
            w.crc = crc32Of(plain, size);
            return;
        }
        out.WriteBuffer(packed.data(), static_cast<int64_t>(packed.size()));
        w.stored = 0;
        w.crc = entry.CrcOfPlain ? crc32Of(plain, size) : crc32Of(packed.data(), packed.size());
    };
    auto writeMemory = [&](const uint8_t* plain, size_t size) {
        if (static_cast<int64_t>(size) >= kStoreThreshold) {
            out.WriteBuffer(plain, static_cast<int64_t>(size));
            w.stored = 1;
            w.crc = crc32Of(plain, size);
        } else {
            writePacked(plain, size, false);
        }
    };

    // 1. Contents held in memory.
    if (entry.Data) {
        writeMemory(entry.Data->Memory(), static_cast<size_t>(entry.Data->GetSize()));
        w.fileTime = entry.FileTime;
        return w;
    }

    // 2. A disk file of that name in the folder.
    std::optional<std::string> path = FFolder.empty() ? std::nullopt : findGameFile(FFolder, entry.Name());
    if (path) {
        TKsBigFileStream file(*path, fmOpenRead | fmShareDenyWrite, true);
        int64_t size = file.GetSize();
        uint8_t head[kDrelHeadSize];
        size_t headSize = static_cast<size_t>(file.Read(head, std::min<int64_t>(size, kDrelHeadSize)));
        if (mayCompress(gameNameExtension(entry.Name()), head, headSize, size)) {
            std::vector<uint8_t> plain(static_cast<size_t>(size));
            file.SetPosition(0);
            file.ReadBuffer(plain.data(), size);
            writePacked(plain.data(), plain.size(), true);
        } else {
            w.crc = copyStored(file, size, out);
            w.stored = 1;
        }
        std::optional<int64_t> modified = diskFileTime(*path);
        w.fileTime = modified ? dosDateTimeOf(*modified) : 0;
        return w;
    }

    // 3. The entry's current contents.
    TKsMemoryStream contents;
    ReadEntry(entry.Name(), contents);
    writeMemory(contents.Memory(), static_cast<size_t>(contents.GetSize()));
    w.fileTime = entry.FileTime;
    return w;
}

void TVrFileCollection::SaveToStream(TKsBigStream& out) {
    if (auto* memory = dynamic_cast<TKsBigMemoryStream*>(&out))
        memory->Memory().Clear();
    out.SetPosition(0);
    TBigStreamView view(out);

    std::vector<TVrFile*> entries;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Name() != kEndMarker)
            entries.push_back(Items(i));
    const size_t count = entries.size();

    out.WriteBuffer("vf", 2);
    WriteInt(view, kWriteVersion);
    WriteInt(view, static_cast<int32_t>(count));
    std::vector<std::string> names;
    names.reserve(count);
    for (TVrFile* entry : entries)
        names.push_back(entry->Name());
    scrambleNames(names);
    for (const std::string& name : names)
        WriteString(view, name);

    const int64_t tablePosition = out.GetPosition();
    const int64_t tableBytes = int64_t(count + 1) * 8 + int64_t(count) * (1 + 4 + 4 + 1);
    std::vector<uint8_t> table(static_cast<size_t>(tableBytes), 0);
    out.WriteBuffer(table.data(), tableBytes);

    std::vector<int64_t> offsets(count + 1);
    std::vector<Written> written;
    for (size_t i = 0; i < count; ++i) {
        offsets[i] = out.GetPosition();
        try {
            written.push_back(writeEntry(*entries[i], out));
        } catch (const EZunoError& e) {
            std::string message = sjis("エラー:") + entries[i]->Name();
            if (OnWriteError)
                OnWriteError(message);
            throw EZunoError(message + " " + e.message());
        }
    }
    offsets[count] = out.GetPosition();

    // The entries now describe what was written. An entry whose bytes still
    // come from the opened archive keeps its stored flag, so it reads on
    // correctly from that archive.
    for (size_t i = 0; i < count; ++i) {
        TVrFile* entry = entries[i];
        if (!(FStream && entry->Size > 0 && !entry->Data))
            entry->Stored = written[i].stored;
        entry->Crc = written[i].crc;
        entry->FileTime = written[i].fileTime;
    }

    scrambleOffsets(offsets, true);
    uint8_t* p = table.data();
    for (int64_t offset : offsets) {
        putLE64(p, static_cast<uint64_t>(offset));
        p += 8;
    }
    for (size_t i = 0; i < count; ++i)
        *p++ = written[i].stored;
    for (size_t i = 0; i < count; ++i, p += 4)
        putLE32(p, static_cast<uint32_t>(written[i].fileTime));
    for (size_t i = 0; i < count; ++i, p += 4)
        putLE32(p, written[i].crc);
    for (size_t i = 0; i < count; ++i)
        *p++ = entries[i]->CrcOfPlain;
    const int64_t end = out.GetPosition();
    out.SetPosition(tablePosition);
    out.WriteBuffer(table.data(), tableBytes);
    out.SetPosition(end);
}

} // namespace zuno
