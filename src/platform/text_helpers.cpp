#include "platform/text_helpers.h"

#include "platform/number_format.h"

namespace ordinex {

namespace {
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
} // namespace

std::string BoolToText(int64_t flag) {
    return flag != 0 ? "1" : "0";
}

bool TextToBool(std::string_view text) {
    return text == "1";
}

std::string IntToText(int64_t n) {
    return std::to_string(n);
}

std::string FormatByteCount(int64_t n) {
    return GroupDigits(n);
}

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

std::optional<int64_t> BoundedDecimal(std::string_view text, int64_t max) {
    if (text.empty())
        return std::nullopt;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const int digit = c - '0';
        if (value > (max - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

namespace {

// Where the user information of the address at "://" (at) ends, and where
// its password begins; nothing when it holds no password.
struct PasswordSpan {
    std::size_t userStart, colon, atSign;
};
std::optional<PasswordSpan> FindPassword(std::string_view text, std::size_t at) {
    // The authority runs to the next "/", "?", "#" or blank; its last "@"
    // ends the user information, whose first ":" starts the password.
    const std::size_t start = at + 3;
    std::size_t end = start;
    while (end < text.size() && std::string_view("/?# \t").find(text[end]) == std::string_view::npos)
        ++end;
    const std::size_t atSign = text.substr(start, end - start).rfind('@');
    if (atSign == std::string_view::npos)
        return std::nullopt;
    const std::size_t colon = text.substr(start, atSign).find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    return PasswordSpan{start, start + colon, start + atSign};
}

} // namespace

std::string MaskPasswords(std::string_view text) {
    if (text.find('@') == std::string_view::npos)
        return std::string(text); // no user information anywhere: every status line of a run
    std::string out;
    std::size_t copied = 0;
    for (std::size_t at = text.find("://"); at != std::string_view::npos; at = text.find("://", at + 3)) {
        const auto span = FindPassword(text, at);
        if (!span)
            continue;
        out.append(text.substr(copied, span->colon + 1 - copied));
        out += "****";
        copied = span->atSign;
    }
    out.append(text.substr(copied));
    return out;
}

std::string PercentDecode(const std::string& text) {
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
            out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string_view> SplitSegments(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '/') {
            parts.push_back(text.substr(start, i - start));
            while (i < text.size() && text[i] == '/')
                ++i;
            start = i;
        } else {
            ++i;
        }
    }
    parts.push_back(text.substr(start));
    return parts;
}

AddressCredentials TakeOutPassword(std::string_view address) {
    AddressCredentials out;
    const std::size_t at = address.find("://");
    const auto span = at == std::string_view::npos ? std::nullopt : FindPassword(address, at);
    if (!span) {
        out.address = std::string(address);
        return out;
    }
    out.address =
        std::string(address.substr(0, span->userStart)) + std::string(address.substr(span->atSign + 1));
    out.user = PercentDecode(std::string(address.substr(span->userStart, span->colon - span->userStart)));
    out.password =
        PercentDecode(std::string(address.substr(span->colon + 1, span->atSign - span->colon - 1)));
    out.hadPassword = true;
    return out;
}

} // namespace ordinex
