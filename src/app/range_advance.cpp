#include "app/ordinex_app.h"

#include <limits>

namespace ordinex {

bool COrdinexApp::AdvanceRanges() {
    bool anyLeft = false;
    for (const auto& r : ranges)
        if (r.check && !r.finished)
            anyLeft = true;
    if (!anyLeft)
        return true;
    for (auto& r : ranges) {
        if (!r.check)
            continue;
        if (r.finished) {
            r.Reset();
            continue;
        }
        r.Step();
        break;
    }
    return false;
}

int64_t COrdinexApp::TotalCombinations() const {
    int64_t total = 1;
    for (const auto& r : ranges) {
        if (!r.check)
            continue;
        if (r.count > 0 && total > std::numeric_limits<int64_t>::max() / r.count)
            return std::numeric_limits<int64_t>::max();
        total *= r.count;
    }
    return total;
}

} // namespace ordinex
