#pragma once
#include <string>
#include <string_view>

namespace ordinex {

// Resolves a link found on a page against the page's address, the way a
// browser does for the links pages really use: blanks around the link and
// line breaks inside it are dropped, "\" in a path is "/", "//host/x" takes
// the page's scheme, "?q" keeps the page's path, "." and ".." segments are
// removed from the path only (never above the root), an empty link is the
// page itself, and control characters are written as %XX. A link with a
// scheme of its own is absolute; one without "//" after it (mailto:,
// javascript:, data:) comes back unchanged.
std::string ResolveLink(std::string_view base, std::string_view link);

// The scheme of an absolute address in lower case ("http"), or empty.
std::string SchemeOf(std::string_view url);

} // namespace ordinex
