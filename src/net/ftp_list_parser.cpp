#include "net/ftp_list_parser.h"

#include "platform/text_encoding.h"
#include "platform/text_helpers.h"

#include <vector>

namespace ordinex {

namespace {

struct Token {
    std::string_view text;
    std::size_t end; // offset just past the token in the line
};

std::vector<Token> Tokens(std::string_view line, std::size_t limit) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size() && tokens.size() < limit) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            tokens.push_back({line.substr(start, i - start), i});
    }
    return tokens;
}

bool IsDigits(std::string_view s) {
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

bool IsMonth(std::string_view s) {
    static constexpr std::string_view kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                                   "jul", "aug", "sep", "oct", "nov", "dec"};
    if (s.size() != 3)
        return false;
    std::string lower;
    for (char c : s)
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (auto m : kMonths)
        if (lower == m)
            return true;
    return false;
}

// "17:00" or a four-digit year.
bool IsTimeOrYear(std::string_view s) {
    if (s.size() == 4 && IsDigits(s))
        return true;
    const auto colon = s.find(':');
    return colon != std::string_view::npos && colon > 0 && IsDigits(s.substr(0, colon)) &&
           IsDigits(s.substr(colon + 1));
}

// The rest of the line after a token, without the blanks in between.
std::string_view RestAfter(std::string_view line, std::size_t end) {
    while (end < line.size() && (line[end] == ' ' || line[end] == '\t'))
        ++end;
    return line.substr(end);
}

bool SetName(std::string_view name, ListedEntry& out) {
    if (name.empty() || name == "." || name == "..")
        return false;
    out.name = ReplaceControlChars(name);
    return true;
}

bool ParseUnix(std::string_view line, ListedEntry& out) {
    const std::vector<Token> t = Tokens(line, 9);
    if (t.size() < 7 || t[0].text.size() < 10 || std::string_view("-dlcbpsD").find(t[0].text[0]) == std::string_view::npos)
        return false;
    // The size is the number just before the month; owner and group may be missing.
    for (std::size_t m = 3; m + 2 < t.size(); ++m) {
        if (!IsMonth(t[m].text) || !IsDigits(t[m + 1].text) || t[m + 1].text.size() > 2 ||
            !IsTimeOrYear(t[m + 2].text))
            continue;
        const auto size = BoundedDecimal(t[m - 1].text, INT64_MAX);
        if (!size)
            return false;
        std::string_view name = RestAfter(line, t[m + 2].end);
        const bool link = t[0].text[0] == 'l';
        if (link) {
            const auto arrow = name.find(" -> ");
            if (arrow != std::string_view::npos)
                name = name.substr(0, arrow);
        }
        if (!SetName(name, out))
            return false;
        out.directory = t[0].text[0] == 'd' || t[0].text[0] == 'D';
        out.size = *size;
        out.rawTime = std::string(t[m].text) + " " + std::string(t[m + 1].text) + " " + std::string(t[m + 2].text);
        return true;
    }
    return false;
}

bool ParseDos(std::string_view line, ListedEntry& out) {
    const std::vector<Token> t = Tokens(line, 3);
    if (t.size() < 3 || t[0].text.find('-') == std::string_view::npos || t[1].text.find(':') == std::string_view::npos)
        return false;
    const bool dir = t[2].text == "<DIR>";
    std::optional<int64_t> size = 0;
    if (!dir)
        size = BoundedDecimal(t[2].text, INT64_MAX);
    if (!size || !SetName(RestAfter(line, t[2].end), out))
        return false;
    out.directory = dir;
    out.size = *size;
    out.rawTime = std::string(t[0].text) + " " + std::string(t[1].text);
    return true;
}

} // namespace

bool ParseFtpListLine(std::string_view line, ListedEntry& out) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    out = ListedEntry{};
    return ParseUnix(line, out) || ParseDos(line, out);
}

} // namespace ordinex
