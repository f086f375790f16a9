#include "platform/url_test.h"

namespace ordinex {

namespace {
bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsSchemeChar(char c) { return IsAlpha(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'; }
} // namespace

bool IsUrlText(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon < 2 || !IsAlpha(text[0]))
        return false;
    for (std::size_t i = 1; i < colon; ++i)
        if (!IsSchemeChar(text[i]))
            return false;
    return true;
}

} // namespace ordinex
