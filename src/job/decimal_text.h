#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace ordinex {

// The value of a number text of any length: stepping and counting must work
// for texts wider than any machine integer.
struct DecimalValue {
    bool negative = false;
    std::string digits = "0"; // no leading zeros; "0" for zero (never negative)

    static DecimalValue Parse(std::string_view numberText);
    int Compare(const DecimalValue& other) const;
    bool operator==(const DecimalValue& other) const { return Compare(other) == 0; }
    DecimalValue PlusOne() const;
    DecimalValue Plus(uint64_t n) const;
    // The text with at least minDigits digits, zero-padded after the sign.
    std::string Format(std::size_t minDigits) const;
};

// other - value + 1, saturated to the int64 range (counts are never negative here).
int64_t SaturatedSpan(const DecimalValue& from, const DecimalValue& to);

// Number of digit characters in a number text (its width).
std::size_t DigitWidth(std::string_view numberText);

} // namespace ordinex
