#pragma once
#include "job/job.h"
#include "job/wildcard_range.h"

#include <array>
#include <cstdint>
#include <string>

namespace ordinex {

struct ProgramSettings;

// Every URL and destination of a series run, by position, without walking
// the series: row n is the n-th combination in the run's odometer order.
// The ranges are set up and the unused ones switched off as a run does.
class SeriesPreview {
public:
    SeriesPreview(const Job& job, const ProgramSettings& settings);

    // The set-up message of the first range that cannot be used (no rows then).
    const std::string& Error() const { return error_; }
    bool Ok() const { return error_.empty(); }
    // Number of combinations, saturated (0 when a range cannot be used).
    int64_t Count() const { return count_; }
    std::string Url(int64_t row) const;
    std::string Destination(int64_t row) const;
    const std::string& UrlTemplate() const { return urlTemplate_; }
    const std::string& FolderTemplate() const { return folderTemplate_; }

    // What the run does with a destination that exists, under SaveSetting;
    // empty when nothing is there.
    static std::string ExistingText(const std::string& destination, int32_t saveSetting);

private:
    std::string Replace(const std::string& text, int64_t row) const;

    std::array<WildCardRange, kRangeCount> ranges_{};
    std::string urlTemplate_, folderTemplate_;
    std::string error_;
    int64_t count_ = 0;
};

// "全 360 ファイル" beside the run button, or why there is no count.
std::string CombinationCountText(const Job& job, const ProgramSettings& settings);

} // namespace ordinex
