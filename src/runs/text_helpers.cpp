#include "runs/text_helpers.h"

#include "platform/number_format.h"

namespace ordinex {

namespace {
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
} // namespace

std::string BoolToText(int64_t flag) { return flag != 0 ? "1" : "0"; }

bool TextToBool(std::string_view text) { return text == "1"; }

std::string IntToText(int64_t n) { return std::to_string(n); }

std::string FormatByteCount(int64_t n) { return GroupDigits(n); }

bool IsNumberText(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const std::size_t digitsStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    return i > digitsStart && i == text.size();
}

bool IsLowerText(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (c < 'a' || c > 'z')
            return false;
    return true;
}

bool IsUpperText(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (c < 'A' || c > 'Z')
            return false;
    return true;
}

std::string FileNameOf(std::string_view path) {
    const auto cut = path.find_last_of("\\/:");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string ExtensionOf(std::string_view path) {
    const std::string name = FileNameOf(path);
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return {};
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

std::string DotsToUnderscores(std::string_view text) {
    std::string out(text);
    const auto last = out.find_last_of('.');
    if (last == std::string::npos)
        return out;
    for (std::size_t i = 0; i < last; ++i)
        if (out[i] == '.')
            out[i] = '_';
    return out;
}

std::string TrimBlanks(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && IsSpace(text[b]))
        ++b;
    while (e > b && IsSpace(text[e - 1]))
        --e;
    return std::string(text.substr(b, e - b));
}

} // namespace ordinex
