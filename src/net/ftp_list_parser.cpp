#include "net/ftp_list_parser.h"

#include "platform/text_helpers.h"

#include <vector>

namespace ordinex {

namespace {

struct Token {
    std::string_view text;
    std::size_t end; // offset just past the token in the line
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::vector<Token> Tokens(std::string_view line, std::size_t limit) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size() && tokens.size() < limit) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i]))
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

// Digits, or a minus and digits: what a size column holds, sensible or not.
bool IsSizeToken(std::string_view s) {
    return IsDigits(!s.empty() && s[0] == '-' ? s.substr(1) : s);
}

// The byte count of a size column; -1 for one that no file can have.
int64_t SizeOf(std::string_view s) {
    const auto size = BoundedDecimal(s, INT64_MAX);
    return size ? *size : -1;
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

bool SetName(std::string_view name, ListedEntry& out) {
    if (name.empty() || name == "." || name == "..")
        return false;
    out.name = std::string(name);
    return true;
}

// The Unix form puts exactly one blank between the date and the name: any
// further blank belongs to the name.
std::string_view NameAfter(std::string_view line, std::size_t dateEnd) {
    return dateEnd < line.size() ? line.substr(dateEnd + 1) : std::string_view();
}

bool ParseUnix(std::string_view line, ListedEntry& out) {
    const std::vector<Token> t = Tokens(line, 9);
    if (t.size() < 7 || t[0].text.size() < 10 ||
        std::string_view("-dlcbpsD").find(t[0].text[0]) == std::string_view::npos)
        return false;
    // Where the size and the three date fields are. The size is the number
    // just before the month, as owner and group may be missing; a date that
    // looks like one is trusted first, then any month, then the usual columns.
    std::size_t date = 0;
    for (std::size_t m = 3; date == 0 && m + 2 < t.size(); ++m)
        if (IsMonth(t[m].text) && IsDigits(t[m + 1].text) && t[m + 1].text.size() <= 2 &&
            IsTimeOrYear(t[m + 2].text) && IsSizeToken(t[m - 1].text))
            date = m;
    for (std::size_t m = 3; date == 0 && m + 2 < t.size(); ++m)
        if (IsMonth(t[m].text) && IsSizeToken(t[m - 1].text))
            date = m;
    if (date == 0) {
        if (t.size() >= 9 && IsSizeToken(t[4].text))
            date = 5;
        else if (t.size() >= 8 && IsSizeToken(t[3].text))
            date = 4;
        else
            return false;
    }
    std::string_view name = NameAfter(line, t[date + 2].end);
    if (t[0].text[0] == 'l') {
        const auto arrow = name.find(" -> ");
        if (arrow != std::string_view::npos)
            name = name.substr(0, arrow);
    }
    if (!SetName(name, out))
        return false;
    out.directory = t[0].text[0] == 'd' || t[0].text[0] == 'D';
    out.size = SizeOf(t[date - 1].text);
    out.rawTime =
        std::string(t[date].text) + " " + std::string(t[date + 1].text) + " " + std::string(t[date + 2].text);
    return true;
}

// "02-25-19  09:31AM       <DIR>          name" or "... 1234 name": the
// name column begins 22 characters after the time, whatever the size field
// holds; a line laid out otherwise has its name one blank after the size.
bool ParseDos(std::string_view line, ListedEntry& out) {
    const std::vector<Token> t = Tokens(line, 3);
    if (t.size() < 3 || t[0].text.find('-') == std::string_view::npos ||
        t[1].text.find(':') == std::string_view::npos)
        return false;
    const bool dir = t[2].text == "<DIR>";
    if (!dir && !IsSizeToken(t[2].text))
        return false;
    constexpr std::size_t kNameColumn = 22;
    const std::size_t column = t[1].end + kNameColumn;
    std::size_t start = t[2].end + 1;
    if (column > t[2].end && column < line.size() &&
        line.substr(t[2].end, column - t[2].end).find_first_not_of(" \t") == std::string_view::npos)
        start = column;
    else if (dir)
        while (start < line.size() && IsBlank(line[start]))
            ++start;
    if (!SetName(start < line.size() ? line.substr(start) : std::string_view(), out))
        return false;
    out.directory = dir;
    out.size = dir ? 0 : SizeOf(t[2].text);
    out.rawTime = std::string(t[0].text) + " " + std::string(t[1].text);
    return true;
}

} // namespace

bool ParseFtpListLine(std::string_view line, ListedEntry& out) {
    // The line's own end: LF, or CR LF. A CR before that is the name's.
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    out = ListedEntry{};
    return ParseUnix(line, out) || ParseDos(line, out);
}

} // namespace ordinex
