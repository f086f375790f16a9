#pragma once
#include <string>
#include <string_view>

namespace ordinex {

// A text that came from outside (a server's listing, a page) made safe to
// show on a terminal or in a window: control characters (C0, DEL and C1) and
// bytes that are not UTF-8 are written as "\xHH"; everything else is kept.
std::string VisibleText(std::string_view text);

} // namespace ordinex
