// The command records of compiled pages: the base class every command type
// derives from, the common header, the field walk that reads, writes and
// prints a record, and the state block of commands that keep state.
//
// A record is described once, by the command's Fields walk: the fields after
// the common header in file order, with the page-version conditions. The
// reader, the writer and the printer are walks over that description, so
// loading and saving cannot drift apart.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/TStream.h"
#include "script/CommandExpr.h"
#include "script/CommandTypes.h"

namespace zuno {

class TPage;
class TCallMan;

// Visitor over the fields of one command record (after the common header).
class TRecordFields {
public:
    explicit            TRecordFields(int32_t version) : Version(version) {}
    virtual             ~TRecordFields() = default;

    virtual void        Int(const char* name, int32_t& v) = 0;            // int32
    virtual void        Byte(const char* name, uint8_t& v) = 0;           // one byte
    virtual void        Text(const char* name, std::string& v) = 0;       // int32 count, Shift-JIS bytes
    virtual void        Data(const char* name, std::string& v) = 0;       // int32 count, raw bytes
    virtual void        Expr(const char* name, TExprPtr& e) = 0;          // one compiled expression
    virtual void        ExprList(const char* name, std::vector<TExprPtr>& list) = 0; // int32 n, n expressions

    const int32_t       Version;                                          // version of the page holding the record
};

// Every concrete command class names its type: Type for the factory's table,
// TypeCode() for records and for whoever looks at a command.
#define ZUNO_COMMAND_TYPE(type)                                     \
    static constexpr TCommandType Type = type;                      \
    TCommandType TypeCode() const override { return Type; }

class TCommand {
public:
    explicit            TCommand(TPage* page);
    virtual             ~TCommand();
                        TCommand(const TCommand&) = delete;
    TCommand&           operator=(const TCommand&) = delete;

    // Virtual operations in their slot order.
    virtual TCommandType TypeCode() const { return ctBoxNew; }     // a bare command answers 8
    virtual bool        ContinueFlag() const { return FContinue != 0; }
    virtual bool        DisabledFlag() const { return FDisabled != 0; }
    virtual void        SetDisabledFlag(bool v) { FDisabled = v ? 1 : 0; }
    virtual bool        LocksEvents() const { return false; }
    virtual bool        IsLabel(const std::string& name) const;
    void                LoadFromStream(TStream& s, int32_t version);      // header, then Fields
    virtual void        Begin(TCallMan& callMan);
    virtual void        Execute(TCallMan& callMan, TPage*& page, int32_t& pc); // base: pc + 1
    virtual bool        KeepsState() const { return false; }              // Wait, Flip, MovieStop, TextIns
    virtual void        SaveState(TStream& s) const;                      // the state block; nothing by default
    virtual void        LoadState(TStream& s);
    virtual void        Abort() {}
    virtual bool        Waits() const { return false; }

    // Stored form.
    void                SaveToStream(TStream& s, int32_t version) const;  // type byte, header, fields
    virtual void        Fields(TRecordFields& f);                         // record after the header
    void                WalkFields(TRecordFields& f) const;               // Fields on a const command

    TPage*              Page() const { return FPage; }

    // Common header.
    int32_t             FIndent = 0;        // block depth
    uint8_t             FDisabled = 0;      // non-zero: passed over without running
    uint8_t             FContinue = 0;      // non-zero: the next command runs in the same frame
    int32_t             FLine = 0;          // line in the page source, shown in traces
    int16_t             FStoredType = -1;   // type byte as loaded (low seven bits = type); -1: TypeCode()

protected:
    TPage*              FPage;              // the owning page
};

// A command without behaviour of its own (base of the loop initialiser).
class TComRuntime : public TCommand {
public:
    using TCommand::TCommand;
};

// State blocks of interrupted commands start with "zuno100".
constexpr int32_t       StateVersion = 100;
void                    writeStatePrefix(TStream& s);
// Reads the prefix and answers the state version: the three digits after
// "zuno", 0 when they are not a number; when the seven bytes are not there or
// do not start with "zuno", the stream goes back to where it was and 0 is answered.
int32_t                 readStatePrefix(TStream& s);

} // namespace zuno
