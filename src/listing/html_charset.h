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
// Shift_JIS or EUC-JP (the one that reads more like Japanese when both do).
// Bytes that do not convert become U+FFFD. encoding, when given, receives
// the converter's name of the page's encoding for EncodeQueryForPage: empty
// for UTF-8 and UTF-16.
std::string PageTextToUtf8(std::string page, std::string_view contentType, std::string* encoding = nullptr);

// An address found on a page, with the non-ASCII characters of its query
// percent-encoded in the page's encoding, as a browser sends a query of a
// Shift_JIS or EUC-JP page (a character the encoding lacks as "&#N;"). The
// path, and any address of a UTF-8 page (encoding empty), stay as they are.
std::string EncodeQueryForPage(const std::string& url, const std::string& encoding);

} // namespace ordinex
