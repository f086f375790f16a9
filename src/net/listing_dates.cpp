#include "net/listing_dates.h"

#include "platform/text_helpers.h"

#include <cstdio>
#include <vector>

namespace ordinex {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// 1..12 for an English month name or its first three letters, any case; 0 otherwise.
int MonthNumber(const std::string& word) {
    static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                          "jul", "aug", "sep", "oct", "nov", "dec"};
    if (word.size() < 3)
        return 0;
    std::string lower;
    for (char c : word.substr(0, 3))
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (int m = 0; m < 12; ++m)
        if (lower == kMonths[m])
            return m + 1;
    return 0;
}

std::vector<std::string> Words(const std::string& text, const std::string& separators) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (separators.find(c) != std::string::npos) {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

bool AllDigits(const std::string& s) {
    if (s.empty())
        return false;
    for (char c : s)
        if (!IsDigit(c))
            return false;
    return true;
}

// "HH:MM" or "HH:MM:SS", optionally followed by AM/PM (DOS listings).
bool ParseTime(const std::string& text, int& hour, int& minute) {
    // Digits are counted before they are added up, so that a long run of
    // them from a server cannot overflow.
    int h = 0, m = 0;
    std::size_t i = 0;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    if (i == 0 || i > 2 || i >= text.size() || text[i] != ':')
        return false;
    for (std::size_t k = 0; k < i; ++k)
        h = h * 10 + (text[k] - '0');
    const std::size_t minuteStart = ++i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    if (i - minuteStart != 2)
        return false;
    m = (text[minuteStart] - '0') * 10 + (text[minuteStart + 1] - '0');
    if (i < text.size() && text[i] == ':') {
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
    }
    const std::string suffix = text.substr(i);
    if (suffix == "PM" || suffix == "pm") {
        if (h < 12)
            h += 12;
    } else if (suffix == "AM" || suffix == "am") {
        if (h == 12)
            h = 0;
    } else if (!suffix.empty()) {
        return false;
    }
    // "24:00" is the end of a day: the next day's 00:00, which Format makes of it.
    if (h > 24 || m > 59 || (h == 24 && m != 0))
        return false;
    hour = h;
    minute = m;
    return true;
}

// A day that exists: a server's "Feb 30" is no date.
bool IsDay(int year, int month, int day) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1)
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::string Format(int year, int month, int day, int hour, int minute) {
    if (year <= 0 || !IsDay(year, month, day))
        return {};
    if (hour == 24) {
        std::tm next{};
        next.tm_year = year - 1900;
        next.tm_mon = month - 1;
        next.tm_mday = day + 1;
        const std::time_t t = timegm(&next);
        gmtime_r(&t, &next);
        year = next.tm_year + 1900;
        month = next.tm_mon + 1;
        day = next.tm_mday;
        hour = 0;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d", year, month, day, hour, minute);
    return text;
}

// A number from a listing or a header: digits only, at most max; -1 otherwise.
int Number(const std::string& digits, int max) {
    const auto n = BoundedDecimal(digits, max);
    return n ? static_cast<int>(*n) : -1;
}

// Four-digit years pass as they are, two-digit ones are 1970..2069; -1 for anything else.
int FullYear(const std::string& digits) {
    const int y = Number(digits, 9999);
    if (y < 0 || digits.size() > 2)
        return y;
    return y < 70 ? 2000 + y : 1900 + y;
}

constexpr const char* kMonthAbbreviations[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// "3月" → 3 for unit "月"; -1 when the text is not digits followed by the unit.
int JapaneseNumber(const std::string& text, const std::string& unit, int max) {
    if (text.size() <= unit.size() || text.compare(text.size() - unit.size(), unit.size(), unit) != 0)
        return -1;
    const std::string digits = text.substr(0, text.size() - unit.size());
    return AllDigits(digits) ? Number(digits, max) : -1;
}

} // namespace

std::string FtpListDateText(const std::string& raw, const std::tm& today) {
    std::vector<std::string> w = Words(raw, " \t");
    // The same three fields in other orders and languages: "29 Jul 02:27",
    // "3月 2日 15:13", "6月 3日 2003年".
    if (w.size() == 3 && AllDigits(w[0]) && w[0].size() <= 2 && MonthNumber(w[1]) != 0)
        std::swap(w[0], w[1]);
    if (w.size() == 3 && JapaneseNumber(w[0], "月", 12) > 0 && JapaneseNumber(w[1], "日", 31) > 0) {
        const int year = JapaneseNumber(w[2], "年", 9999);
        w = {std::string(kMonthAbbreviations[JapaneseNumber(w[0], "月", 12) - 1]),
             std::to_string(JapaneseNumber(w[1], "日", 31)), year > 0 ? std::to_string(year) : w[2]};
    }
    if (w.size() == 3 && MonthNumber(w[0]) != 0 && AllDigits(w[1]) && w[1].size() <= 2) {
        const int month = MonthNumber(w[0]);
        const int day = Number(w[1], 31);
        if (AllDigits(w[2]) && w[2].size() == 4)
            return Format(Number(w[2], 9999), month, day, 0, 0);
        int hour = 0, minute = 0;
        if (!ParseTime(w[2], hour, minute))
            return {};
        // Listings show the time instead of the year for the last half year;
        // a date after today (a day's slack for time zones) is last year's.
        int year = today.tm_year + 1900;
        if (month * 32 + day > (today.tm_mon + 1) * 32 + today.tm_mday + 1)
            --year;
        return Format(year, month, day, hour, minute);
    }
    if (w.size() == 2) {
        const std::vector<std::string> d = Words(w[0], "-/");
        int hour = 0, minute = 0;
        if (d.size() == 3 && AllDigits(d[0]) && AllDigits(d[1]) && AllDigits(d[2]) &&
            ParseTime(w[1], hour, minute)) {
            // "2005-06-07" puts the year first; the DOS form "06-07-05" last.
            if (d[0].size() == 4)
                return Format(Number(d[0], 9999), Number(d[1], 12), Number(d[2], 31), hour, minute);
            return Format(FullYear(d[2]), Number(d[0], 12), Number(d[1], 31), hour, minute);
        }
    }
    return {};
}

std::string FtpExactDateText(int64_t utcSeconds) {
    if (utcSeconds < 0)
        return {};
    const std::time_t t = static_cast<std::time_t>(utcSeconds);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return {};
    return Format(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
}

std::string HttpDateText(const std::string& header) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    bool haveTime = false;
    for (const std::string& word : Words(header, " \t,-")) {
        if (!haveTime && word.find(':') != std::string::npos) {
            haveTime = ParseTime(word, hour, minute);
        } else if (month == 0 && MonthNumber(word) != 0) {
            month = MonthNumber(word); // no weekday name starts like a month
        } else if (AllDigits(word)) {
            if (day == 0 && word.size() <= 2)
                day = Number(word, 31);
            else if (year == 0)
                year = FullYear(word);
        }
    }
    if (!haveTime)
        hour = minute = 0;
    return Format(year, month, day, hour, minute);
}

std::string ListedExtension(const std::string& name) {
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos || dot + 1 >= name.size())
        return {};
    return name.substr(dot + 1);
}

} // namespace ordinex
