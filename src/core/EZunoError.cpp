#include "core/EZunoError.h"

#include "core/Cp932.h"

namespace zuno {

EZunoError::EZunoError(std::string sjisMessage)
    : FMessage(std::move(sjisMessage)), FUtf8(cp932ToUtf8(FMessage)) {}

EZunoError EZunoError::fromUtf8(std::string_view utf8Message) { return EZunoError(utf8ToCp932(utf8Message)); }

const char* EZunoError::what() const noexcept { return FUtf8.c_str(); }

EZunoError fileNotFoundError(std::string_view sjisName) {
    return EZunoError(std::string(sjisName) + sjis(":ファイルがありません"));
}

} // namespace zuno
