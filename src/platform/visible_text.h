#pragma once
#include <string>
#include <string_view>

namespace ordinex {

// A text that came from outside (a server's listing, a page) made safe to
// show on a terminal or in a window: control characters (C0, DEL and C1),
// bytes that are not UTF-8, and the invisible characters that change how the
// text around them reads (bidirectional overrides and isolates, zero-width
// characters, line and paragraph separators) are written as "\xHH", one per
// byte; everything else is kept.
std::string VisibleText(std::string_view text);

} // namespace ordinex
