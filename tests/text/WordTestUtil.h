// Helpers of the text engine tests: items, rows and pages written as short
// UTF-8 texts, so that a test states what the reader sees.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/Cp932.h"
#include "text/TKsWord.h"

namespace zuno::test {

// The item list: runs of characters in quotes, inserted characters in
// braces, other items as tags, e.g. "ab"<BR>{x}<VAR v>.
inline std::string describeItems(const TKsWord& word) {
    std::string out;
    TWdKind open = TWdKind::Space;      // the kind of the open character run, Space for none
    auto close = [&] {
        if (open == TWdKind::Char) out += '"';
        if (open == TWdKind::VarChar) out += '}';
        open = TWdKind::Space;
    };
    for (int32_t i = 0; i < word.ItemCount(); ++i) {
        const TWdGlyph& item = *word.Item(i);
        if (item.IsChar()) {
            if (open != item.Kind()) {
                close();
                out += item.Kind() == TWdKind::Char ? '"' : '{';
                open = item.Kind();
            }
            out += cp932ToUtf8(static_cast<const TWdChar&>(item).Text());
            continue;
        }
        close();
        switch (item.Kind()) {
        case TWdKind::Image: {
            const auto& img = static_cast<const TWdImg&>(item);
            out += "<IMG " + img.Source + " " + std::to_string(img.Align) + ">";
            break;
        }
        case TWdKind::Return:    out += static_cast<const TWdOpeReturn&>(item).Clear ? "<BR CLEAR>" : "<BR>"; break;
        case TWdKind::VarReturn: out += "<VBR>"; break;
        case TWdKind::Align:     out += "<ALIGN " + std::to_string(static_cast<const TWdOpeAlign&>(item).Align) + ">"; break;
        case TWdKind::Indent:    out += "<INDENT>"; break;
        case TWdKind::Undent:    out += "<UNDENT>"; break;
        case TWdKind::Event:     out += "<EVENT " + escapeForPrint(static_cast<const TWdOpeEvent&>(item).Value) + ">"; break;
        case TWdKind::Var:       out += "<VAR " + cp932ToUtf8(static_cast<const TWdOpeVar&>(item).Expression) + ">"; break;
        default:                 out += "<?>"; break;
        }
    }
    close();
    return out;
}

// The characters of a row ("|" for an indent blank, "*" for an image);
// other items show nothing.
inline std::string rowText(const TWdRow& row) {
    std::string out;
    for (const TWdGlyph* item : row.Items) {
        if (item->IsChar())
            out += cp932ToUtf8(static_cast<const TWdChar*>(item)->Text());
        else if (item->Kind() == TWdKind::Space)
            out += '|';
        else if (item->Kind() == TWdKind::Image)
            out += '*';
    }
    return out;
}

// Pages as lists of row texts.
using TPagesText = std::vector<std::vector<std::string>>;
inline TPagesText pagesText(const std::vector<std::unique_ptr<TWdPage>>& pages) {
    TPagesText out;
    for (const auto& page : pages) {
        out.emplace_back();
        for (const auto& row : page->Rows)
            out.back().push_back(rowText(*row));
    }
    return out;
}

// A word with characters of 10 x 10 pixels (the plain cell of size 10).
inline void setTenPixelCells(TKsWord& word) {
    word.DefaultFontSize = 10;
}

} // namespace zuno::test
