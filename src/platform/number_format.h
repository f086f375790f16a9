#pragma once
#include <cstdint>
#include <string>

namespace ordinex {

// Decimal with "," between groups of three digits, whatever the locale, so
// that the list filter can strip the separators again.
std::string GroupDigits(int64_t value);

} // namespace ordinex
