#include "archive/TZunoInstallSet.h"

#include "archive/GamePath.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "platform/posix/AtomicFile.h"

namespace zuno {

namespace {

std::vector<std::string> readTextList(TStream& s, bool skipEmpty) {
    int32_t n = ReadInt(s);
    std::vector<std::string> list;
    if (n <= 0)
        return list;
    checkCount(s, n, 4, "install list");
    for (int32_t i = 0; i < n; ++i) {
        std::string t = ReadString(s);
        if (!skipEmpty || !t.empty())
            list.push_back(std::move(t));
    }
    return list;
}

std::array<int64_t, 4> readQuad(TStream& s, bool wide) {
    std::array<int64_t, 4> q{};
    for (int64_t& v : q)
        v = wide ? ReadInt64(s) : ReadInt(s);
    return q;
}

} // namespace

void TZunoInstallSet::LoadFromStream(TStream& s) {
    const int64_t start = s.GetPosition();
    uint8_t magic[5] = {};
    int64_t got = s.Read(magic, 2);
    int32_t version = 0;
    if (got == 2 && magic[0] == 'i' && magic[1] == 's') {
        if (s.Read(magic + 2, 3) != 3)
            throw EZunoError::fromUtf8("install.dat:データが壊れています (version)");
        for (int i = 2; i < 5; ++i) {
            if (magic[i] < '0' || magic[i] > '9')
                throw EZunoError::fromUtf8("install.dat:データが壊れています (version)");
            version = version * 10 + (magic[i] - '0');
        }
    } else {
        s.SetPosition(start);
    }
    TZunoInstallSet r;
    r.Version = version;
    r.DiskNumber = ReadInt(s);
    r.Identity = ReadString(s);
    r.Text4 = ReadString(s);
    r.Text5 = ReadString(s);
    r.Text6 = ReadString(s);
    r.Flag7 = ReadByte(s);
    r.Text8 = ReadString(s);
    r.Flag9 = ReadByte(s);
    int32_t records = ReadInt(s);
    r.Text11 = ReadString(s);
    r.Value12 = ReadInt(s);
    r.Flag13 = ReadByte(s);
    r.Flag14 = ReadByte(s);
    r.Text15 = ReadString(s);
    r.Text16 = ReadString(s);
    const bool wide = version >= 100;
    if (records < 0)
        throw EZunoError::fromUtf8("install.dat:データが壊れています (records)");
    checkCount(s, records, wide ? 32 : 16, "install records");
    r.Records.reserve(static_cast<size_t>(records));
    for (int32_t i = 0; i < records; ++i)
        r.Records.push_back(readQuad(s, wide));
    r.Totals = readQuad(s, wide);
    r.Flag19 = ReadByte(s);
    if (version >= 101)
        r.Flag20 = ReadByte(s);
    if (version >= 102)
        r.WrittenFiles = readTextList(s, true);
    if (version >= 103)
        r.FullInstall = ReadByte(s);
    if (version >= 104)
        r.Flag23 = ReadByte(s);
    if (version >= 105)
        r.Flag24 = ReadByte(s);
    if (version >= 106)
        r.List25 = readTextList(s, false);
    if (version >= 107)
        r.Text26 = ReadString(s);
    if (version >= 108) {
        r.Text27 = ReadString(s);
        r.Text28 = ReadString(s);
    }
    *this = std::move(r);
}

void TZunoInstallSet::LoadFromFile(const std::string& path) {
    TKsMemoryStream s;
    s.LoadFromFile(path);
    LoadFromStream(s);
}

void TZunoInstallSet::SaveToStream(TStream& s) const {
    s.WriteBuffer("is108", 5);
    WriteInt(s, DiskNumber);
    WriteString(s, Identity);
    WriteString(s, Text4);
    WriteString(s, Text5);
    WriteString(s, Text6);
    WriteByte(s, Flag7);
    WriteString(s, Text8);
    WriteByte(s, Flag9);
    WriteInt(s, static_cast<int32_t>(Records.size()));
    WriteString(s, Text11);
    WriteInt(s, Value12);
    WriteByte(s, Flag13);
    WriteByte(s, Flag14);
    WriteString(s, Text15);
    WriteString(s, Text16);
    for (const auto& q : Records)
        for (int64_t v : q)
            WriteInt64(s, v);
    for (int64_t v : Totals)
        WriteInt64(s, v);
    WriteByte(s, Flag19);
    WriteByte(s, Flag20);
    WriteStrings(s, WrittenFiles);
    WriteByte(s, FullInstall);
    WriteByte(s, Flag23);
    WriteByte(s, Flag24);
    WriteStrings(s, List25);
    WriteString(s, Text26);
    WriteString(s, Text27);
    WriteString(s, Text28);
}

void TZunoInstallSet::SaveToFile(const std::string& path) const {
    TKsMemoryStream s;
    SaveToStream(s);
    writeFileAtomically(path, s.Data());
}

bool TZunoInstallSet::AddWrittenFile(const std::string& name) {
    for (const std::string& f : WrittenFiles)
        if (sameTextSjis(f, name))
            return false;
    WrittenFiles.push_back(name);
    return true;
}

// ---------------------------------------------------------------- TFolderDiskList

int32_t TFolderDiskList::DiskOf(std::string_view name) const {
    std::string current = upperCaseSjis(name);
    while (!current.empty()) {
        for (const Item& item : Items) {
            std::string folder = item.folder;
            if (lastGameSeparator(folder) + 1 != folder.size() || folder.empty())
                folder += '\\';
            if (sameTextSjis(folder, current + '\\'))
                return item.disk;
        }
        size_t cut = lastGameSeparator(current);
        current = cut == std::string::npos ? std::string() : current.substr(0, cut);
    }
    return 0;
}

void TFolderDiskList::LoadFromStream(TStream& s) {
    int32_t n = ReadInt(s);
    std::vector<Item> items;
    if (n > 0) {
        checkCount(s, n, 8, "folder list");
        items.reserve(static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i) {
            Item item;
            item.folder = ReadString(s);
            item.disk = ReadInt(s);
            items.push_back(std::move(item));
        }
    }
    Items = std::move(items);
}

void TFolderDiskList::SaveToStream(TStream& s) const {
    WriteInt(s, static_cast<int32_t>(Items.size()));
    for (const Item& item : Items) {
        WriteString(s, item.folder);
        WriteInt(s, item.disk);
    }
}

} // namespace zuno
