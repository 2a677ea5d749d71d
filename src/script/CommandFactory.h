// The 61 command types: their names and display labels, and the factory
// that makes the command object for a stored type byte.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "script/TCommand.h"

namespace zuno {

constexpr int CommandTypeCount = 61;                       // type codes 0 .. 60

struct TCommandTypeInfo {
    std::string_view    name;                              // "If", "Elseif", ...
    std::string_view    labelUtf8;                         // Japanese display label, UTF-8
};

const TCommandTypeInfo& commandTypeInfo(int code);         // code 0 .. 60
std::string             commandLabel(int code);            // the display label in Shift-JIS

// A new command of the type the low seven bits select, bound to the page. A
// type outside 0 .. 60 raises "不正なコマンド".
std::unique_ptr<TCommand> createCommand(uint8_t typeByte, TPage* page);

} // namespace zuno
