#include "script/TCommand.h"

#include <cstring>

#include "core/StreamFields.h"
#include "script/RecordFields.h"
#include "script/TPage.h"

namespace zuno {

//==============================================================================
// TCommand
//==============================================================================

TCommand::TCommand(TPage* page) : FPage(page) {}

TCommand::~TCommand() = default;

bool TCommand::IsLabel(const std::string&) const { return false; }

void TCommand::Begin(TCallMan&) {}

void TCommand::Execute(TCallMan&, TPage*&, int32_t& pc) { ++pc; }

void TCommand::SaveState(TStream&) const {}

void TCommand::LoadState(TStream&) {}

void TCommand::Fields(TRecordFields&) {}

void TCommand::WalkFields(TRecordFields& f) const {
    // Walks that only read the fields (writer, printer) may run on a const command.
    const_cast<TCommand*>(this)->Fields(f);
}

void TCommand::LoadFromStream(TStream& s, int32_t version) {
    FIndent = ReadInt(s);
    FDisabled = ReadByte(s);
    FContinue = ReadByte(s);
    FLine = ReadInt(s);
    TFieldReader reader(s, version);
    Fields(reader);
}

void TCommand::SaveToStream(TStream& s, int32_t version) const {
    WriteByte(s, FStoredType >= 0 ? static_cast<uint8_t>(FStoredType) : static_cast<uint8_t>(TypeCode()));
    WriteInt(s, FIndent);
    WriteByte(s, FDisabled);
    WriteByte(s, FContinue);
    WriteInt(s, FLine);
    TFieldWriter writer(s, version);
    WalkFields(writer);
}

//==============================================================================
// State blocks
//==============================================================================

static const char StatePrefix[] = "zuno100";

void writeStatePrefix(TStream& s) { s.WriteBuffer(StatePrefix, 7); }

int32_t readStatePrefix(TStream& s) {
    const int64_t start = s.GetPosition();
    char b[7];
    if (s.Read(b, 7) != 7 || std::memcmp(b, "zuno", 4) != 0) {
        s.SetPosition(start);
        return 0;
    }
    int32_t v = 0;
    for (int i = 4; i < 7; ++i) {
        if (b[i] < '0' || b[i] > '9')
            return 0;
        v = v * 10 + (b[i] - '0');
    }
    return v;
}

} // namespace zuno
