#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace ordinex {

// Character tests and case folding of ASCII letters alone, as addresses and
// markup need them: bytes of other scripts never change or match, whatever
// the locale says.
inline bool IsAsciiAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string AsciiLowerText(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

inline bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// White space in HTML: space, tab, line feed, carriage return, form feed.
inline bool IsHtmlBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

inline std::string_view TrimHtmlBlanks(std::string_view s) {
    while (!s.empty() && IsHtmlBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsHtmlBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace ordinex
