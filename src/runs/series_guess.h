#pragma once
#include "job/job.h"

#include <string>
#include <vector>

namespace ordinex {

// A numbered series guessed from example addresses.
struct SeriesGuess {
    bool ok = false;
    std::string error; // why no series could be guessed (ok false)
    Job job;           // URL and destination as base and expansion, ranges ticked
    // The ranges in use as "* = 007～120", in range order: what the guess found.
    std::vector<std::string> rangeTexts;
};

// The series that runs from first to last: every run of digits, or of
// letters of one case, in which the two differ becomes a range; the rest
// must be the same. The URL base ends at the last "/" before the first
// range, the destination base is folder (with a "/" added) and its
// expansion mirrors the URL's. With last empty, every digit run that is the
// last one of its path segment becomes a range from 1 to its number.
SeriesGuess GuessSeries(const std::string& first, const std::string& last, const std::string& folder);

// The addresses in a pasted or dropped text: one or two lines (or words)
// that are each a URL; empty when the text is anything else.
std::vector<std::string> AddressesInText(const std::string& text);

} // namespace ordinex
