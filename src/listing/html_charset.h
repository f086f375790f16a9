#pragma once
#include <string>
#include <string_view>

namespace ordinex {

// The character set a page declares: the charset parameter of its
// Content-Type header, else a <meta charset> or <meta http-equiv=
// "Content-Type" content="...; charset=..."> near its start. The label as
// written, empty when there is none.
std::string DeclaredCharset(std::string_view contentType, std::string_view page);

// The page's text in UTF-8, as the parser needs it. A byte-order mark
// decides first, then the declared character set; a page that declares none
// is UTF-8, unless it is not valid UTF-8 but reads without a fault as
// Shift_JIS or EUC-JP. Bytes that do not convert become U+FFFD.
std::string PageTextToUtf8(std::string page, std::string_view contentType);

} // namespace ordinex
