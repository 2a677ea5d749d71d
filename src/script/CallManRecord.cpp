// The stored form of the interpreter state inside game saves: call frames and
// the call manager record.
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "objects/TZunoBaseList.h"
#include "script/TCallMan.h"

namespace zuno {

static std::string senderNameOf(const TZunoNamedObject* sender, const TZunoBaseList* registry) {
    if (!sender || !registry || !registry->IsRegistered(sender))
        return {};
    return sender->Name();
}

static TZunoNamedObject* findSender(const std::string& name, const TZunoBaseList* registry) {
    return registry && !name.empty() ? registry->FindComponent(name) : nullptr;
}

//==============================================================================
// TStack
//==============================================================================

void TStack::SaveToStream(TStream& s, const TZunoBaseList* registry) const {
    WriteString(s, PageName);
    WriteInt(s, ProgramCounter);
    WriteBool(s, Started);
    WriteBool(s, Continue);
    WriteString(s, ResultVar);
    WriteStrings(s, Arguments);
    WriteString(s, senderNameOf(Sender, registry));
    if (State && State->GetSize() > 0) {
        WriteInt(s, static_cast<int32_t>(State->GetSize()));
        s.WriteBuffer(State->Memory(), State->GetSize());
    } else {
        WriteInt(s, 0);
    }
    const uint8_t type = Result ? Result->ParamType() : 0;
    WriteByte(s, type >= PT_INT && type <= PT_STR ? type : 0);
    if (type >= PT_INT && type <= PT_STR)
        Result->SaveToStream(s);
}

void TStack::LoadFromStream(TStream& s, const TZunoBaseList* registry) {
    PageName = ReadString(s);
    ProgramCounter = ReadInt(s);
    Started = ReadBool(s);
    Continue = ReadBool(s);
    ResultVar = ReadString(s);
    Arguments = ReadStrings(s);
    Sender = findSender(ReadString(s), registry);
    const int32_t size = ReadInt(s);
    State.reset();
    if (size > 0) {
        checkCount(s, size, 1, "state");
        std::vector<uint8_t> bytes(static_cast<size_t>(size));
        s.ReadBuffer(bytes.data(), size);
        State = std::make_unique<TKsMemoryStream>(std::move(bytes));
    }
    const uint8_t type = ReadByte(s);
    Result.reset();
    if (type != 0) {
        if (type > PT_STR)
            throw EZunoError::fromUtf8("データが壊れています (call frame result)");
        Result = TCustomParam::CreateParam(type);
        Result->LoadFromStream(s);
    }
}

//==============================================================================
// TCallMan
//==============================================================================

void TCallMan::SaveToStream(TStream& s) const {
    const TZunoBaseList* registry = FEnv.Registry;
    WriteString(s, FPage ? FPage->Name() : std::string());
    WriteInt(s, FPC);
    WriteBool(s, FContinue);
    WriteBool(s, FStarted);
    WriteInt(s, FState);
    WriteString(s, senderNameOf(FSender, registry));
    WriteStrings(s, FArguments);
    const_cast<TStackList&>(FStack).Spare().SaveToStream(s, registry);
    WriteInt(s, FStack.Count());
    for (int i = 0; i < FStack.Count(); ++i)
        FStack.Items(i).SaveToStream(s, registry);
    WriteInt(s, FEventLevel);
    if (FStarted && FPage && FPC >= 0 && FPC < FPage->CommandCount())
        FPage->Command(FPC)->SaveState(s);
}

void TCallMan::LoadFromStream(TStream& s, int32_t saveVersion) {
    const TZunoBaseList* registry = FEnv.Registry;
    const std::string pageName = ReadString(s);
    FPage = nullptr;
    FStack.Clear();
    if (!pageName.empty())
        FPage = GetPage(pageName, true);
    FPC = ReadInt(s);
    FContinue = ReadBool(s);
    FStarted = ReadBool(s);
    const int32_t state = ReadInt(s);
    if (state < csMain || state > csNested)
        throw EZunoError::fromUtf8("データが壊れています (interpreter state)");
    FState = static_cast<TCallState>(state);
    FSender = findSender(ReadString(s), registry);
    FArguments = ReadStrings(s);
    FStack.Spare().LoadFromStream(s, registry);
    const int32_t count = ReadInt(s);
    // A frame record takes at least 4 + 4 + 1 + 1 + 4 + 4 + 4 + 4 + 1 bytes.
    checkCount(s, count, 27, "call frames");
    for (int32_t i = 0; i < count; ++i) {
        auto frame = std::make_unique<TStack>();
        frame->LoadFromStream(s, registry);
        FStack.Push(std::move(frame));
    }
    // Which frames an event pushed is not stored: a frame whose sender differs
    // from that of the code running above it was left by an event.
    for (int i = 0; i < FStack.Count(); ++i) {
        const TZunoNamedObject* above = i + 1 < FStack.Count() ? FStack.Items(i + 1).Sender : FSender;
        FStack.Items(i).EventFrame = FState != csMain && FStack.Items(i).Sender != above;
    }
    FEventLevel = saveVersion >= 116 ? ReadInt(s) : 2;
    if (FStarted && FPage && FPC >= 0 && FPC < FPage->CommandCount())
        FPage->Command(FPC)->LoadState(s);
    FLastTraced = nullptr;
    FFailures = 0;
}

void TCallMan::Divert(const std::string& pageName, int32_t index) {
    if (FPage) {
        auto frame = std::make_unique<TStack>();
        frame->PageName = FPage->Name();
        frame->ProgramCounter = FPC;
        frame->Started = FStarted;
        frame->Continue = FContinue;
        frame->Sender = FSender;
        frame->Arguments = FArguments;
        FStack.Push(std::move(frame));
    }
    FPage = GetPage(pageName, true);
    FPC = index > 0 ? index : 0;
    FStarted = false;
}

} // namespace zuno
