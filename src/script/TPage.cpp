#include "script/TPage.h"

#include <algorithm>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"

namespace zuno {

// Smallest stored command: type byte, indent, disabled, continue, line.
constexpr int64_t MinCommandBytes = 11;

TPage::TPage() = default;

TPage::~TPage() = default;

void TPage::Clear() {
    FCommands.clear();
    for (TPropertySet& set : FSets)
        set.fill(0);
    FSetCount = CommandTypeCount;
    FSetSize = PropertySetBytes;
    FSetExtra.clear();
}

//==============================================================================
// Loading and saving
//==============================================================================

TPageLoadResult TPage::LoadFromStream(TStream& s, const std::string& name) {
    Clear();
    FName = name;
    FVersion = ReadInt(s);
    if (FVersion > PageVersionMax)
        return TPageLoadResult::TooNew;
    if (FVersion < PageVersionMin)
        return TPageLoadResult::TooOld;
    try {
        FResultType = ReadByte(s);
        const int32_t count = ReadInt(s);
        const int32_t size = ReadInt(s);
        if (count < 0 || size < 0)
            throw EZunoError::fromUtf8("データが壊れています (property sets)");
        checkCount(s, count, size, "property sets");
        FSetCount = count;
        FSetSize = size;
        // Each entry fills at most its own set; whatever lies beyond is kept
        // aside unread, so the page can be written back as it was. Entries of
        // no bytes hold nothing (their count alone is kept).
        const int32_t inSet = std::min(size, PropertySetBytes);
        if (size > 0)
            FSetExtra.assign(static_cast<size_t>(count), std::string());
        for (int32_t i = 0; size > 0 && i < count; ++i) {
            std::string& extra = FSetExtra[static_cast<size_t>(i)];
            int32_t rest = size;
            if (i < CommandTypeCount) {
                s.ReadBuffer(FSets[static_cast<size_t>(i)].data(), inSet);
                rest -= inSet;
            }
            extra.resize(static_cast<size_t>(rest));
            if (rest > 0)
                s.ReadBuffer(extra.data(), rest);
        }
        const int32_t commands = ReadInt(s);
        if (commands > 0)
            checkCount(s, commands, MinCommandBytes, "commands");
        FCommands.reserve(static_cast<size_t>(std::max(commands, 0)));
        for (int32_t i = 0; i < commands; ++i) {
            std::unique_ptr<TCommand> c = createCommand(ReadByte(s), this);
            c->LoadFromStream(s, FVersion);
            FCommands.push_back(std::move(c));
        }
    } catch (...) {
        Clear();
        throw;
    }
    return TPageLoadResult::Loaded;
}

void TPage::SaveToStream(TStream& s) const {
    WriteInt(s, FVersion);
    WriteByte(s, FResultType);
    WriteInt(s, FSetCount);
    WriteInt(s, FSetSize);
    const int32_t inSet = std::min(FSetSize, PropertySetBytes);
    for (int32_t i = 0; FSetSize > 0 && i < FSetCount; ++i) {
        if (i < CommandTypeCount)
            s.WriteBuffer(FSets[static_cast<size_t>(i)].data(), inSet);
        // Entry bytes beyond the set: as loaded, or zero for a page built here.
        const size_t rest = static_cast<size_t>(FSetSize - (i < CommandTypeCount ? inSet : 0));
        std::string extra = static_cast<size_t>(i) < FSetExtra.size() ? FSetExtra[static_cast<size_t>(i)] : std::string();
        extra.resize(rest, '\0');
        if (!extra.empty())
            s.WriteBuffer(extra.data(), static_cast<int64_t>(extra.size()));
    }
    WriteInt(s, static_cast<int32_t>(FCommands.size()));
    for (const auto& c : FCommands)
        c->SaveToStream(s, FVersion);
}

//==============================================================================
// Commands, labels, property sets
//==============================================================================

TCommand* TPage::Command(int index) const {
    return index >= 0 && index < CommandCount() ? FCommands[static_cast<size_t>(index)].get() : nullptr;
}

int TPage::IndexOf(const TCommand* c) const {
    for (int i = 0; i < CommandCount(); ++i)
        if (FCommands[static_cast<size_t>(i)].get() == c)
            return i;
    return -1;
}

int TPage::LabelIndex(const std::string& name) const {
    for (int i = 0; i < CommandCount(); ++i)
        if (FCommands[static_cast<size_t>(i)]->IsLabel(name))
            return i;
    return -1;
}

TCommand& TPage::Add(std::unique_ptr<TCommand> c) {
    FCommands.push_back(std::move(c));
    return *FCommands.back();
}

TCommand& TPage::AddNew(uint8_t type) { return Add(createCommand(type, this)); }

bool TPage::HasProperty(int type, int id) const {
    if (type < 0 || type >= CommandTypeCount || id < 0 || id >= PropertyCount)
        return false;
    return (FSets[static_cast<size_t>(type)][static_cast<size_t>(id / 8)] >> (id % 8)) & 1;
}

void TPage::SetProperty(int type, int id, bool on) {
    if (type < 0 || type >= CommandTypeCount || id < 0 || id >= PropertyCount)
        return;
    uint8_t& b = FSets[static_cast<size_t>(type)][static_cast<size_t>(id / 8)];
    const uint8_t bit = static_cast<uint8_t>(1u << (id % 8));
    b = on ? (b | bit) : (b & ~bit);
}

//==============================================================================
// The stored set table
//==============================================================================

void TPage::SetPropertySetShape(int32_t count, int32_t size) {
    if (count < 0 || size < 0)
        throw EZunoError::fromUtf8("property set table: negative count or size");
    FSetCount = count;
    FSetSize = size;
    // Entry bytes beyond the sets are cut or zero-filled to the new size when
    // written; entries past the count are dropped.
    if (size == 0)
        FSetExtra.clear();
    else if (FSetExtra.size() > static_cast<size_t>(count))
        FSetExtra.resize(static_cast<size_t>(count));
}

std::string TPage::StoredPropertySet(int32_t index) const {
    if (index < 0 || index >= FSetCount)
        throw EZunoError::fromUtf8("property set table: no entry " + std::to_string(index));
    const int32_t inSet = index < CommandTypeCount ? std::min(FSetSize, PropertySetBytes) : 0;
    std::string bytes;
    if (inSet > 0) {
        const TPropertySet& set = FSets[static_cast<size_t>(index)];
        bytes.assign(set.begin(), set.begin() + inSet);
    }
    std::string extra = static_cast<size_t>(index) < FSetExtra.size() ? FSetExtra[static_cast<size_t>(index)] : std::string();
    extra.resize(static_cast<size_t>(FSetSize - inSet), '\0');
    return bytes + extra;
}

void TPage::SetStoredPropertySet(int32_t index, const std::string& bytes) {
    if (index < 0 || index >= FSetCount)
        throw EZunoError::fromUtf8("property set table: no entry " + std::to_string(index));
    if (bytes.size() != static_cast<size_t>(FSetSize))
        throw EZunoError::fromUtf8("property set table: entry " + std::to_string(index) + " needs " +
                                   std::to_string(FSetSize) + " bytes");
    size_t inSet = 0;
    if (index < CommandTypeCount) {
        inSet = static_cast<size_t>(std::min(FSetSize, PropertySetBytes));
        TPropertySet& set = FSets[static_cast<size_t>(index)];
        std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(inSet), set.begin());
    }
    if (FSetExtra.size() <= static_cast<size_t>(index))
        FSetExtra.resize(static_cast<size_t>(index) + 1);
    FSetExtra[static_cast<size_t>(index)] = bytes.substr(inSet);
}

std::string rebuildMessage(const std::string& pageName) {
    return pageName + "\r\n" + sjis("リビルドしてください");
}

} // namespace zuno
