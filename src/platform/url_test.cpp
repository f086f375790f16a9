#include "platform/url_test.h"

#include "platform/ascii_text.h"

namespace ordinex {

namespace {
bool IsSchemeChar(char c) {
    return IsAsciiAlpha(c) || IsAsciiDigit(c) || c == '+' || c == '-' || c == '.';
}
} // namespace

bool IsUrlText(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon < 2 || !IsAsciiAlpha(text[0]))
        return false;
    for (std::size_t i = 1; i < colon; ++i)
        if (!IsSchemeChar(text[i]))
            return false;
    return true;
}

} // namespace ordinex
