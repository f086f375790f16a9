#include "ui/edit_filters.h"

#include "platform/number_format.h"

#include <algorithm>
#include <limits>

namespace ordinex {

namespace {

constexpr wchar_t kBackspace = 8;
constexpr wchar_t kTab = 9;

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}
bool IsLower(wchar_t c) {
    return c >= L'a' && c <= L'z';
}
bool IsUpper(wchar_t c) {
    return c >= L'A' && c <= L'Z';
}

bool AllOf(std::wstring_view text, bool (*pred)(wchar_t)) {
    return !text.empty() && std::all_of(text.begin(), text.end(), pred);
}

bool WholeTextSelected(std::wstring_view text, long selFrom, long selTo) {
    return selFrom == 0 && selTo == static_cast<long>(text.size());
}

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

} // namespace

bool RangeEditAccepts(std::wstring_view text, long selFrom, long selTo, wchar_t ch) {
    if (ch == kBackspace || ch == kTab || ch == L'.')
        return true;
    if (!IsDigit(ch) && !IsLower(ch) && !IsUpper(ch))
        return false;
    if (WholeTextSelected(text, selFrom, selTo))
        return true;
    if (text.size() > 5)
        return false;
    // A range value is all digits, all lower-case or all upper-case letters.
    if (AllOf(text, IsDigit))
        return IsDigit(ch);
    if (AllOf(text, IsLower))
        return IsLower(ch);
    if (AllOf(text, IsUpper))
        return IsUpper(ch);
    return true;
}

bool GroupedNumberAccepts(std::wstring_view text, long selFrom, long selTo, wchar_t ch) {
    if (ch == kBackspace || ch == kTab || ch == L'.')
        return true;
    if (IsDigit(ch))
        return WholeTextSelected(text, selFrom, selTo) || text.size() <= 8;
    return false;
}

long GroupedNumberValue(std::wstring_view text) {
    // Leading digits after the separators are removed; none gives 0.
    long value = 0;
    for (wchar_t c : text) {
        if (c == L',')
            continue;
        if (!IsDigit(c))
            break;
        if (value > (std::numeric_limits<long>::max() - 9) / 10)
            break;
        value = value * 10 + (c - L'0');
    }
    return value;
}

GroupedNumberText ReformatGroupedNumber(std::wstring_view text, long caret) {
    GroupedNumberText out;
    out.text = Widen(GroupDigits(GroupedNumberValue(text)));
    if (out.text == text) {
        out.caret = caret;
        out.unchanged = true;
        return out;
    }
    out.caret = out.text.size() > 4 ? caret + 1 : caret;
    out.caret = std::clamp(out.caret, 0L, static_cast<long>(out.text.size()));
    return out;
}

} // namespace ordinex
