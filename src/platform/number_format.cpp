#include "platform/number_format.h"

namespace ordinex {

std::string GroupDigits(int64_t value) {
    const bool negative = value < 0;
    // Work on the unsigned magnitude so that INT64_MIN does not overflow.
    uint64_t magnitude = negative ? uint64_t(0) - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    std::string out;
    out.reserve(digits.size() + digits.size() / 3 + 1);
    const std::size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    out.append(digits, 0, lead);
    for (std::size_t i = lead; i < digits.size(); i += 3) {
        out += ',';
        out.append(digits, i, 3);
    }
    return negative ? "-" + out : out;
}

} // namespace ordinex
