#include "text/TWdGlyph.h"

namespace zuno {

const std::string& textOf(const TWdText& t) {
    static const std::string empty;
    return t ? *t : empty;
}

TWdText makeText(std::string s) {
    if (s.empty())
        return nullptr;
    return std::make_shared<const std::string>(std::move(s));
}

/*
================
TWdChar
================
*/
std::string TWdChar::Text() const {
    if (Code < 256)
        return std::string(1, static_cast<char>(Code));
    return std::string{static_cast<char>(Code >> 8), static_cast<char>(Code & 0xFF)};
}

/*
================
TWdPage
================
*/
int32_t TWdPage::ItemCount() const {
    size_t n = 0;
    for (const auto& row : Rows)
        n += row->Items.size();
    return static_cast<int32_t>(n);
}

TWdGlyph* TWdPage::FirstItem() const {
    for (const auto& row : Rows)
        if (!row->Items.empty())
            return row->Items.front();
    return nullptr;
}

TWdGlyph* TWdPage::LastItem() const {
    for (auto it = Rows.rbegin(); it != Rows.rend(); ++it)
        if (!(*it)->Items.empty())
            return (*it)->Items.back();
    return nullptr;
}

} // namespace zuno
