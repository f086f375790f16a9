#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace ordinex {

// Breaks a UTF-8 caption into lines no wider than maxWidth by inserting "\n".
// Japanese text has no spaces to break at, so a break may fall between any
// two characters, except inside a run of Latin letters, digits and URL
// punctuation, before closing punctuation or after an opening bracket. A
// break at a space, after "、" or before "(" is preferred when one lies in
// the latter half of the line. Spaces stay at the end of their line, so that
// removing the "\n" gives back the caption. A single unbreakable piece wider
// than maxWidth stands on a line of its own.
using TextWidth = std::function<int(std::string_view utf8)>;
std::string WrapCaption(std::string_view caption, int maxWidth, const TextWidth& width);

} // namespace ordinex
