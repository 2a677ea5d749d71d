#include "archive/TVrFileCollection.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <unordered_set>

#include "archive/GamePath.h"
#include "archive/TKsBigFileStream.h"
#include "archive/TKsBigResourceStream.h"
#include "archive/TKsBuffBigStream.h"
#include "core/ZlibCodec.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "core/TKsRandom.h"

namespace zuno {

TVrFileCollection::~TVrFileCollection() = default;

void TVrFileCollection::reset() {
    Clear();
    FIndex.clear();
    FIndexedCount = -1;
    FStream.reset();
    FFileName.clear();
    FDisplayName.clear();
    FFolder.clear();
    FIsResource = false;
    FResourceModule.clear();
    FResourceName.clear();
    FResourceType.clear();
    FVersion = 0;
    FDirectoryCount = 0;
}

void TVrFileCollection::SetFolder(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    FFolder = std::move(folder);
}

std::string TVrFileCollection::archiveName() const {
    if (!FFileName.empty())
        return utf8ToCp932(FFileName);
    if (!FResourceName.empty())
        return FResourceName;
    return FDisplayName.empty() ? sjis("(メモリ)") : FDisplayName;
}

void TVrFileCollection::damaged(const char* what) const {
    throw EZunoError(archiveName() + sjis(":アーカイブのディレクトリが壊れています (") + what + ")");
}

// ---------------------------------------------------------------- opening

namespace {

// Programs here have no extension: one whose file ends in "zv" carries an
// appended archive like an .exe does.
bool endsWithZv(TKsBigStream& s) {
    int64_t size = s.GetSize();
    if (size < 6)
        return false;
    uint8_t tail[2];
    s.SetPosition(size - 2);
    return s.Read(tail, 2) == 2 && tail[0] == 'z' && tail[1] == 'v';
}

} // namespace

void TVrFileCollection::Open(const std::string& fileName) {
    reset();
    FFileName = fileName;
    if (fileName.empty())
        return;
    bool exists = diskFileExists(fileName);
    if (exists) {
        std::string folder = diskFolderOf(fileName);
        SetFolder(folder.empty() ? "./" : folder);
    } else {
        SetFolder(fileName);
        return;
    }
    try {
        FStream = std::make_unique<TKsBigFileStream>(fileName, fmOpenRead | fmShareDenyWrite);
        std::string extension = upperCaseSjis(diskExtensionOf(fileName));
        std::string stem = fileName.substr(0, fileName.size() - extension.size());
        std::optional<std::string> index;
        if (extension != ".EXT")
            index = findDiskFileNoCase(diskFolderOf(stem), stem.substr(diskFolderOf(stem).size()) + ".ext");
        if (extension == ".EXE" || extension == ".SCR" || (extension.empty() && endsWithZv(*FStream))) {
            int64_t size = FStream->GetSize();
            if (size < 6)
                damaged("trailer");
            FStream->SetPosition(size - 6);
            TBigStreamView view(*FStream);
            int32_t start = ReadInt(view);
            if (start < 0 || start > size - 6)
                damaged("trailer");
            FStream->SetPosition(start);
            LoadDirectory(*FStream);
        } else if (index) {
            TKsBigMemoryStream directory;
            directory.LoadFromFile(*index);
            LoadDirectory(directory);
        } else {
            FStream->SetPosition(0);
            LoadDirectory(*FStream);
        }
    } catch (...) {
        Clear();
        FIndexedCount = -1;
        FStream.reset();
        throw;
    }
}

void TVrFileCollection::OpenResource(const std::string& module, const std::string& name, const std::string& type) {
    reset();
    auto stream = std::make_unique<TKsBigResourceStream>(module, name, type);
    if (stream->GetSize() == 0)
        throw EZunoError::fromUtf8("リソースが見つかりません");
    FIsResource = true;
    FResourceModule = module;
    FResourceName = name;
    FResourceType = type;
    FStream = std::move(stream);
    try {
        LoadDirectory(*FStream);
    } catch (...) {
        Clear();
        FIndexedCount = -1;
        FStream.reset();
        throw;
    }
}

void TVrFileCollection::OpenStream(std::unique_ptr<TKsBigStream> stream, const std::string& displayName) {
    reset();
    FDisplayName = displayName;
    FStream = std::move(stream);
    if (!FStream)
        return;
    try {
        FStream->SetPosition(0);
        LoadDirectory(*FStream);
    } catch (...) {
        Clear();
        FIndexedCount = -1;
        FStream.reset();
        throw;
    }
}

// ---------------------------------------------------------------- directory

void TVrFileCollection::scrambleNames(std::vector<std::string>& names) {
    TKsRandom random(kNameSeed);
    for (std::string& name : names)
        for (char& c : name)
            c = static_cast<char>(static_cast<uint8_t>(c) ^ static_cast<uint8_t>(random.Next()));
}

void TVrFileCollection::scrambleOffsets(std::vector<int64_t>& offsets, bool wide) {
    TKsRandom random(kNameSeed);
    for (int64_t& offset : offsets) {
        int32_t k = random.Next();
        if (wide)
            offset ^= static_cast<int64_t>(k);
        else
            offset = static_cast<int32_t>(static_cast<uint32_t>(offset) ^ static_cast<uint32_t>(k));
    }
}

void TVrFileCollection::LoadDirectory(TKsBigStream& stream) {
    const int64_t base = stream.GetPosition();
    TBigStreamView view(stream);

    uint8_t magic[2];
    if (stream.Read(magic, 2) != 2)
        damaged("magic");
    int32_t version = 0;
    if (magic[0] == 'v' && magic[1] == 'f') {
        if (stream.Remaining() < 4)
            damaged("version");
        version = ReadInt(view);
    } else {
        stream.SetPosition(base);
    }
    if (stream.Remaining() < 4)
        damaged("count");
    const int32_t count = ReadInt(view);
    const bool wide = version >= 101;
    const int64_t offsetSize = wide ? 8 : 4;
    const int64_t perEntry = 4 + offsetSize + (version >= 101 ? 9 : 0) + (version >= 102 ? 1 : 0);
    if (count < 0 || count > (stream.Remaining() - offsetSize) / perEntry)
        damaged("count");

    // Names, through the read buffer.
    std::vector<std::string> names(static_cast<size_t>(count));
    {
        TKsBuffBigStream buffer(stream);
        for (std::string& name : names) {
            uint8_t lengthBytes[4];
            if (buffer.Read(lengthBytes, 4) != 4)
                damaged("name length");
            int32_t length = static_cast<int32_t>(getLE32(lengthBytes));
            if (length < 0 || length > buffer.Remaining())
                damaged("name length");
            name.resize(static_cast<size_t>(length));
            if (length > 0 && buffer.Read(name.data(), length) != length)
                damaged("name");
        }
    }
    if (version >= 100)
        scrambleNames(names);

    // Offsets and the tables.
    const int64_t tableBytes = (int64_t(count) + 1) * offsetSize + (version >= 101 ? 9 * int64_t(count) : 0) +
                               (version >= 102 ? int64_t(count) : 0);
    if (stream.Remaining() < tableBytes)
        damaged("offsets");
    std::vector<uint8_t> table(static_cast<size_t>(tableBytes));
    stream.ReadBuffer(table.data(), tableBytes);
    const uint8_t* p = table.data();
    std::vector<int64_t> offsets(static_cast<size_t>(count) + 1);
    for (int64_t& offset : offsets) {
        offset = wide ? static_cast<int64_t>(getLE64(p)) : static_cast<int32_t>(getLE32(p));
        p += offsetSize;
    }
    if (version >= 100)
        scrambleOffsets(offsets, wide);

    // Every entry must lie inside the data.
    const int64_t dataSize = FStream ? FStream->GetSize() : stream.GetSize();
    for (int32_t i = 0; i <= count; ++i) {
        int64_t start = offsets[size_t(i)];
        if (start < -base || start > dataSize - base)
            damaged("offset");
        if (i < count && offsets[size_t(i) + 1] < start)
            damaged("offset");
    }

    // Only now does the collection change.
    const size_t first = static_cast<size_t>(Count());
    for (std::string& name : names) {
        TVrFile* entry = AddItem(std::move(name));
        entry->Stored = 0;
    }
    TVrFile* end = AddItem(kEndMarker);
    end->Offset = offsets[size_t(count)] + base;
    end->Size = 0;
    for (int32_t i = 0; i < count; ++i) {
        TVrFile* entry = Items(static_cast<int>(first) + i);
        entry->Size = offsets[size_t(i) + 1] - offsets[size_t(i)];
        entry->Offset = offsets[size_t(i)] + base;
    }
    if (version >= 101) {
        for (int32_t i = 0; i < count; ++i)
            Items(static_cast<int>(first) + i)->Stored = p[i];
        p += count;
        for (int32_t i = 0; i < count; ++i)
            Items(static_cast<int>(first) + i)->FileTime = static_cast<int32_t>(getLE32(p + 4 * i));
        p += 4 * int64_t(count);
        for (int32_t i = 0; i < count; ++i)
            Items(static_cast<int>(first) + i)->Crc = getLE32(p + 4 * i);
        p += 4 * int64_t(count);
        if (version >= 102)
            for (int32_t i = 0; i < count; ++i)
                Items(static_cast<int>(first) + i)->CrcOfPlain = p[i];
    }
    FVersion = version;
    FDirectoryCount = count;
    FIndexedCount = -1;
}

// ---------------------------------------------------------------- reading

void TVrFileCollection::ReadItem(const TVrFile& entry, TStream& out) {
    auto* memory = dynamic_cast<TKsMemoryStream*>(&out);
    if (memory)
        memory->Clear();
    if (entry.Size > 0) {
        if (!FStream || entry.Offset < 0 || entry.Size > FStream->GetSize() - entry.Offset)
            throw EZunoError(entry.Name() + sjis(":アーカイブの外を指しています"));
        FStream->SetPosition(entry.Offset);
        if (entry.Stored) {
            if (memory) {
                memory->Data().resize(static_cast<size_t>(entry.Size));
                FStream->ReadBuffer(memory->Memory(), entry.Size);
            } else if (FStream->CopyTo(out, entry.Size) != entry.Size) {
                throw EZunoError::fromUtf8("ストリームの読み込みエラー");
            }
        } else {
            std::vector<uint8_t> packed(static_cast<size_t>(entry.Size));
            FStream->ReadBuffer(packed.data(), entry.Size);
            std::vector<uint8_t> plain;
            inflateZlib(packed.data(), packed.size(), plain, entry.Name());
            if (memory)
                memory->Data() = std::move(plain);
            else
                out.WriteBuffer(plain.data(), static_cast<int64_t>(plain.size()));
        }
    }
    out.SetPosition(0);
}

void TVrFileCollection::ReadEntry(std::string_view name, TStream& out) {
    if (auto* memory = dynamic_cast<TKsMemoryStream*>(&out))
        memory->Clear();
    if (TVrFile* entry = FStream ? FindEntry(name) : nullptr) {
        ReadItem(*entry, out);
        return;
    }
    if (!FFolder.empty()) {
        std::optional<std::string> path = findGameFile(FFolder, name);
        std::error_code ec;
        if (path && !(!FFileName.empty() && std::filesystem::equivalent(*path, FFileName, ec))) {
            zuno::loadDiskFile(*path, out);
            out.SetPosition(0);
            return;
        }
    }
    throw fileNotFoundError(name);
}

std::unique_ptr<TRangeStream> TVrFileCollection::OpenEntryRange(std::string_view name) {
    TVrFile* entry = FStream ? FindEntry(name) : nullptr;
    if (!entry)
        return nullptr;
    if (FIsResource)
        return std::make_unique<TResourceRangeStream>(FResourceName, entry->Size, entry->Offset, FResourceType,
                                                      FResourceModule, true);
    if (!FFileName.empty())
        return std::make_unique<TFileRangeStream>(FFileName, entry->Size, entry->Offset, true);
    return nullptr;
}

// ---------------------------------------------------------------- look-up and editing

TVrFile* TVrFileCollection::FindEntry(std::string_view name) const {
    if (FIndexedCount != Count()) {
        FIndex.clear();
        FIndex.reserve(static_cast<size_t>(Count()));
        for (int i = 0; i < Count(); ++i)
            FIndex[lowerCaseSjis(Items(i)->Name())] = Items(i);   // the later of two equal names wins
        FIndexedCount = Count();
    }
    auto it = FIndex.find(lowerCaseSjis(name));
    if (it == FIndex.end())
        return nullptr;
    TVrFile* entry = it->second;
    if (entry->Collection() == this && sameTextSjis(entry->Name(), it->first))
        return entry;
    FIndexedCount = -1;                             // renamed behind the index's back
    return FindItem(name);
}

int TVrFileCollection::IndexOf(std::string_view name) const {
    TVrFile* entry = FindEntry(name);
    return entry ? entry->Index() : -1;
}

TVrFile* TVrFileCollection::AddEntry(std::string name) {
    bool current = FIndexedCount == Count();
    TVrFile* entry = AddItem(std::move(name));
    if (current) {
        FIndex[lowerCaseSjis(entry->Name())] = entry;
        FIndexedCount = Count();
    }
    return entry;
}

TVrFile* TVrFileCollection::AddMemoryEntry(std::string name) {
    TVrFile* entry = AddEntry(std::move(name));
    entry->Data = std::make_unique<TKsMemoryStream>();
    return entry;
}

void TVrFileCollection::DeleteEntry(std::string_view name) {
    int index = IndexOf(name);
    if (index >= 0) {
        Delete(index);
        FIndexedCount = -1;
    }
}

void TVrFileCollection::ListFolder(std::string_view folder, std::vector<std::string>& list) const {
    std::string wanted(folder);
    if (!wanted.empty() && lastGameSeparator(wanted) != wanted.size() - 1)
        wanted += '\\';
    wanted = lowerCaseSjis(wanted);
    std::unordered_set<std::string> present;
    for (const std::string& s : list)
        present.insert(lowerCaseSjis(s));
    for (int i = 0; i < Count(); ++i) {
        const std::string& name = Item(i)->Name();
        if (name == kEndMarker)
            continue;
        if (lowerCaseSjis(gameNameFolder(name)) != wanted)
            continue;
        if (present.insert(lowerCaseSjis(name)).second)
            list.push_back(name);
    }
}

} // namespace zuno
