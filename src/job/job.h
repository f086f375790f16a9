#pragma once
#include "job/wildcard_range.h"

#include <array>
#include <cstdint>
#include <string>

namespace ordinex {

// The three entered values of one replacement range.
struct RangeFields {
    int32_t check = 0;
    std::string start;
    std::string end;
    bool operator==(const RangeFields&) const = default;
};

// A job as the main form holds it: the box texts as typed (untrimmed) and
// the six ranges.
struct Job {
    std::string urlBase;
    std::string urlExpansion;
    std::string userName;
    std::string password;
    std::string folderBase;
    std::string folderExpansion;
    std::array<RangeFields, kRangeCount> ranges{};
    bool operator==(const Job&) const = default;
};

} // namespace ordinex
