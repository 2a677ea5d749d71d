// The readable source form of script pages (*.zs, UTF-8): one command per
// line, indentation giving the block depth, fields by the names of the record
// walk, expressions as text compiled by the player's own compiler, labels and
// loops resolved into the index fields. See docs/page-source.md.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "script/TPage.h"

namespace zuno {

// Index of a label in another page (page file name in Shift-JIS as written in
// the command, label name in Shift-JIS); -1 when the page or label is unknown.
using TExternalLabelLookup = std::function<int(const std::string& pageFile, const std::string& label)>;

// Builds a page from source text. fileName (UTF-8) prefixes error messages:
// EZunoError "FILE:LINE: message". pageName (Shift-JIS) is the name the page
// will have in the game, so a page field naming it means this page.
std::unique_ptr<TPage> buildPageSource(const std::string& utf8Text, const std::string& fileName,
                                       const std::string& pageName = {},
                                       const TExternalLabelLookup& lookup = {});

// The source text of a page: building it gives the same bytes back.
std::string decompilePage(const TPage& page);

} // namespace zuno
