#pragma once
#include <string_view>

namespace ordinex {

// True for a text that begins with a URL scheme: a letter, then letters,
// digits, "+", "-" or ".", two characters at least, then ":".
bool IsUrlText(std::string_view text);

} // namespace ordinex
