#include "net/ftp_list_parser.h"

#include "platform/text_helpers.h"

#include <algorithm>
#include <ctime>
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

// Digits in groups of three with "," between them ("9,730"), as some
// servers write sizes; the digits alone.
std::string Ungrouped(std::string_view s) {
    std::string digits;
    std::size_t group = 0;
    bool grouped = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == ',') {
            if (i == 0 || (grouped && group != 3) || i + 1 == s.size())
                return std::string(s);
            grouped = true;
            group = 0;
        } else {
            digits += s[i];
            ++group;
        }
    }
    return grouped && group != 3 ? std::string(s) : digits;
}

// Digits, or a minus and digits: what a size column holds, sensible or not.
bool IsSizeToken(std::string_view s) {
    const std::string digits = Ungrouped(s);
    return IsDigits(!digits.empty() && digits[0] == '-' ? std::string_view(digits).substr(1) : digits);
}

// The byte count of a size column; -1 for one that no file can have.
int64_t SizeOf(std::string_view s) {
    const auto size = BoundedDecimal(Ungrouped(s), INT64_MAX);
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

bool IsTime(std::string_view s) {
    const auto colon = s.find(':');
    return colon != std::string_view::npos && colon > 0 && colon <= 2 && IsDigits(s.substr(0, colon)) &&
           IsDigits(s.substr(colon + 1, 2)) &&
           (s.size() == colon + 3 || (s.size() == colon + 6 && s[colon + 3] == ':'));
}

// "17:00" or a four-digit year.
bool IsTimeOrYear(std::string_view s) {
    return (s.size() == 4 && IsDigits(s)) || IsTime(s);
}

bool IsDayOfMonth(std::string_view s) {
    return !s.empty() && s.size() <= 2 && IsDigits(s);
}

// Digits followed by a Japanese unit: "3月", "12日", "2003年".
bool IsJapaneseUnit(std::string_view s, std::string_view unit, std::size_t maxDigits) {
    return s.size() > unit.size() && s.substr(s.size() - unit.size()) == unit &&
           s.size() - unit.size() <= maxDigits && IsDigits(s.substr(0, s.size() - unit.size()));
}

// "2005-06-07"
bool IsIsoDate(std::string_view s) {
    return s.size() == 10 && s[4] == '-' && s[7] == '-' && IsDigits(s.substr(0, 4)) &&
           IsDigits(s.substr(5, 2)) && IsDigits(s.substr(8, 2));
}

// How many tokens a date takes that begins at t[m]: "Mar 4 15:13" or
// "Mar 4 2021", "29 Jul 02:27", "3月 2日 15:13" or "6月 3日 2003年", or
// "2005-06-07 21:22"; 0 when none does.
std::size_t DateAt(const std::vector<Token>& t, std::size_t m);

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
    // Owners and groups may be several words: enough tokens to find the
    // size and the date behind them, whose shapes say where they are.
    constexpr std::size_t kMaxTokens = 32;
    const std::vector<Token> t = Tokens(line, kMaxTokens);
    if (t.size() < 5 || t[0].text.size() < 10 ||
        std::string_view("-dlcbpsD").find(t[0].text[0]) == std::string_view::npos)
        return false;
    // The first date of a known form right after a size is trusted first,
    // then any month after a size, then the usual columns.
    std::size_t date = 0, dateWords = 0;
    for (std::size_t m = 2; date == 0 && m < t.size(); ++m)
        if (IsSizeToken(t[m - 1].text) && (dateWords = DateAt(t, m)) > 0)
            date = m;
    // A date of a known form behind a size column that holds no number:
    // the entry is listed, its size unknown.
    for (std::size_t m = 3; date == 0 && m < t.size(); ++m)
        if ((dateWords = DateAt(t, m)) > 0)
            date = m;
    for (std::size_t m = 3; date == 0 && m + 2 < t.size(); ++m)
        if (IsMonth(t[m].text) && IsSizeToken(t[m - 1].text)) {
            date = m;
            dateWords = 3;
        }
    if (date == 0) {
        dateWords = 3;
        if (t.size() >= 9 && IsSizeToken(t[4].text))
            date = 5;
        else if (t.size() >= 8 && IsSizeToken(t[3].text))
            date = 4;
        else
            return false;
    }
    if (date + dateWords > t.size())
        return false;
    std::string_view name = NameAfter(line, t[date + dateWords - 1].end);
    if (t[0].text[0] == 'l') {
        const auto arrow = name.find(" -> ");
        if (arrow != std::string_view::npos)
            name = name.substr(0, arrow);
    }
    if (!SetName(name, out))
        return false;
    out.directory = t[0].text[0] == 'd' || t[0].text[0] == 'D';
    out.link = t[0].text[0] == 'l';
    out.size = SizeOf(t[date - 1].text);
    for (std::size_t w = 0; w < dateWords; ++w)
        out.rawTime += (w ? " " : "") + std::string(t[date + w].text);
    return true;
}

std::size_t DateAt(const std::vector<Token>& t, std::size_t m) {
    auto at = [&](std::size_t k) { return m + k < t.size() ? t[m + k].text : std::string_view(); };
    if (IsMonth(at(0)) && IsDayOfMonth(at(1)) && IsTimeOrYear(at(2)))
        return 3;
    if (IsDayOfMonth(at(0)) && IsMonth(at(1)) && IsTimeOrYear(at(2)))
        return 3;
    if (IsJapaneseUnit(at(0), "月", 2) && IsJapaneseUnit(at(1), "日", 2) &&
        (IsTime(at(2)) || IsJapaneseUnit(at(2), "年", 4)))
        return 3;
    if (IsIsoDate(at(0)) && IsTime(at(1)))
        return 2;
    return 0;
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

bool IsListingFiller(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || IsBlank(line.back())))
        line.remove_suffix(1);
    if (line.empty())
        return true;
    if (line.substr(0, 6) == "total " && IsDigits(line.substr(6)))
        return true;
    const std::size_t space = line.find_last_of(" \t");
    const std::string_view last = space == std::string_view::npos ? line : line.substr(space + 1);
    if (last == "." || last == "..")
        return true;
    return line.find("type=cdir") != std::string_view::npos ||
           line.find("type=pdir") != std::string_view::npos;
}

bool ParseMlsdLine(std::string_view line, ListedEntry& out) {
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    out = ListedEntry{};
    // Facts hold no blank: the name begins after the first one.
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos || space == 0 || line.find('=') > space)
        return false;
    std::string_view facts = line.substr(0, space);
    bool typed = false;
    while (!facts.empty()) {
        const std::size_t end = std::min(facts.find(';'), facts.size());
        const std::string_view fact = facts.substr(0, end);
        facts.remove_prefix(std::min(end + 1, facts.size()));
        const std::size_t eq = fact.find('=');
        if (eq == std::string_view::npos)
            continue;
        std::string key;
        for (char c : fact.substr(0, eq))
            key += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        const std::string_view value = fact.substr(eq + 1);
        std::string lower;
        for (char c : value)
            lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (key == "type") {
            typed = true;
            if (lower == "cdir" || lower == "pdir")
                return false;
            out.directory = lower == "dir";
            out.link = lower.find("slink") != std::string::npos || lower.find("symlink") != std::string::npos;
        } else if (key == "size" || key == "sizd") {
            if (key == "size" || out.size < 0)
                out.size = SizeOf(value);
        } else if (key == "modify" && value.size() >= 14 && IsDigits(value.substr(0, 14))) {
            std::tm tm{};
            tm.tm_year = static_cast<int>(*BoundedDecimal(value.substr(0, 4), 9999)) - 1900;
            tm.tm_mon = static_cast<int>(*BoundedDecimal(value.substr(4, 2), 99)) - 1;
            tm.tm_mday = static_cast<int>(*BoundedDecimal(value.substr(6, 2), 99));
            tm.tm_hour = static_cast<int>(*BoundedDecimal(value.substr(8, 2), 99));
            tm.tm_min = static_cast<int>(*BoundedDecimal(value.substr(10, 2), 99));
            tm.tm_sec = static_cast<int>(*BoundedDecimal(value.substr(12, 2), 99));
            if (tm.tm_mon >= 0 && tm.tm_mon < 12 && tm.tm_mday >= 1 && tm.tm_mday <= 31 && tm.tm_hour < 24 &&
                tm.tm_min < 60 && tm.tm_sec <= 60)
                out.utcTime = static_cast<int64_t>(timegm(&tm));
        }
    }
    if (out.directory)
        out.size = -1;
    return typed && SetName(line.substr(space + 1), out);
}

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
