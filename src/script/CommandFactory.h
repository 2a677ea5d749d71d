// The 61 command types: their names and display labels, and the factory
// that makes the command object for a stored type byte.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "script/CommandTypes.h"
#include "script/TCommand.h"

namespace zuno {

struct TCommandTypeInfo {
    std::string_view    name;                              // "If", "Elseif", ...
    std::string_view    labelUtf8;                         // Japanese display label, UTF-8
};

const TCommandTypeInfo& commandTypeInfo(int code);         // code 0 .. 60; "不正なコマンド" otherwise

// A new command of the type the low seven bits select, bound to the page. A
// type outside 0 .. 60 raises "不正なコマンド".
std::unique_ptr<TCommand> createCommand(uint8_t typeByte, TPage* page);

} // namespace zuno
