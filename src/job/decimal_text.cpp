#include "job/decimal_text.h"

#include <limits>

namespace ordinex {

DecimalValue DecimalValue::Parse(std::string_view text) {
    DecimalValue v;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\v' ||
                               text[i] == '\f' || text[i] == '\r'))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        v.negative = text[i] == '-';
        ++i;
    }
    std::string digits;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (!(digits.empty() && text[i] == '0'))
            digits += text[i];
    if (digits.empty()) {
        v.digits.assign(1, '0');
        v.negative = false;
    } else {
        v.digits = digits;
    }
    return v;
}

namespace {
int CompareMagnitude(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string AddOne(std::string digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return digits;
        }
        digits[i] = '0';
    }
    return "1" + digits;
}

std::string SubtractOne(std::string digits) { // digits > 0
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '0') {
            --digits[i];
            break;
        }
        digits[i] = '9';
    }
    const auto first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

std::string AddMagnitudes(const std::string& a, const std::string& b) {
    std::string out;
    int carry = 0;
    for (std::size_t i = 0; i < a.size() || i < b.size() || carry; ++i) {
        const int sum = carry + (i < a.size() ? a[a.size() - 1 - i] - '0' : 0) +
                        (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
        out.insert(out.begin(), static_cast<char>('0' + sum % 10));
        carry = sum / 10;
    }
    return out;
}

std::string SubtractMagnitudes(const std::string& a, const std::string& b) { // a >= b
    std::string out;
    int borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        int d = a[a.size() - 1 - i] - '0' - borrow - (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
        borrow = d < 0;
        out.insert(out.begin(), static_cast<char>('0' + (d + 10) % 10));
    }
    const auto first = out.find_first_not_of('0');
    return first == std::string::npos ? "0" : out.substr(first);
}

__int128 ToSaturated128(const DecimalValue& v) {
    constexpr __int128 kLimit = static_cast<__int128>(1) << 120;
    __int128 value = 0;
    for (char c : v.digits) {
        value = value * 10 + (c - '0');
        if (value > kLimit)
            return v.negative ? -kLimit : kLimit;
    }
    return v.negative ? -value : value;
}
} // namespace

int DecimalValue::Compare(const DecimalValue& other) const {
    if (negative != other.negative)
        return negative ? -1 : 1;
    const int mag = CompareMagnitude(digits, other.digits);
    return negative ? -mag : mag;
}

DecimalValue DecimalValue::PlusOne() const {
    DecimalValue r;
    if (!negative) {
        r.digits = AddOne(digits);
    } else {
        r.digits = SubtractOne(digits);
        r.negative = r.digits != "0";
    }
    return r;
}

DecimalValue DecimalValue::Plus(uint64_t n) const {
    const std::string step = std::to_string(n);
    DecimalValue r;
    if (!negative) {
        r.digits = AddMagnitudes(digits, step);
    } else if (CompareMagnitude(digits, step) > 0) {
        r.digits = SubtractMagnitudes(digits, step);
        r.negative = true;
    } else {
        r.digits = SubtractMagnitudes(step, digits);
    }
    return r;
}

std::string DecimalValue::Format(std::size_t minDigits) const {
    std::string out = negative ? "-" : "";
    if (digits.size() < minDigits)
        out.append(minDigits - digits.size(), '0');
    out += digits;
    return out;
}

int64_t SaturatedSpan(const DecimalValue& from, const DecimalValue& to) {
    const __int128 span = ToSaturated128(to) - ToSaturated128(from) + 1;
    if (span > std::numeric_limits<int64_t>::max())
        return std::numeric_limits<int64_t>::max();
    if (span < std::numeric_limits<int64_t>::min())
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(span);
}

std::size_t DigitWidth(std::string_view text) {
    std::size_t n = 0;
    for (char c : text)
        if (c >= '0' && c <= '9')
            ++n;
    return n;
}

} // namespace ordinex
