#pragma once
#include <string>
#include <string_view>

namespace ordinex {

// Character filters of the form's two edit classes, decided before the box
// sees a typed character. selFrom/selTo are the selection (equal: caret only).

// Range boxes: digits or letters of one class, at most six characters.
bool RangeEditAccepts(std::wstring_view text, long selFrom, long selTo, wchar_t ch);

// Size boxes: digits, at most nine characters including the group separators.
bool GroupedNumberAccepts(std::wstring_view text, long selFrom, long selTo, wchar_t ch);

// A size box's text after a change: digit-grouped, with the caret kept after
// the same digit. unchanged is set when the text is already in that form, so
// that putting it back does not start another round.
struct GroupedNumberText {
    std::wstring text;
    long caret = 0;
    bool unchanged = false;
};
GroupedNumberText ReformatGroupedNumber(std::wstring_view text, long caret);

// The value a size box stands for.
long GroupedNumberValue(std::wstring_view text);

} // namespace ordinex
