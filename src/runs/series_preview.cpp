#include "runs/series_preview.h"

#include "platform/file_system.h"
#include "platform/text_helpers.h"
#include "runs/target_composition.h"
#include "settings/program_settings.h"

#include <limits>

namespace ordinex {

SeriesPreview::SeriesPreview(const Job& job, const ProgramSettings& settings)
    : urlTemplate_(ComposeUrl(job, settings)), folderTemplate_(ComposeFolder(job, settings)) {
    for (int k = 0; k < kRangeCount; ++k) {
        const RangeFields& f = job.ranges[k];
        if (auto message = ranges_[k].Setup(f.check, f.start, f.end)) {
            error_ = *message;
            return;
        }
        const char placeholder = RangePlaceholder(k);
        if (urlTemplate_.find(placeholder) == std::string::npos &&
            folderTemplate_.find(placeholder) == std::string::npos)
            ranges_[k].check = 0;
    }
    count_ = 1;
    for (const WildCardRange& r : ranges_) {
        if (!r.check)
            continue;
        if (r.count > std::numeric_limits<int64_t>::max() / count_)
            count_ = std::numeric_limits<int64_t>::max();
        else
            count_ *= r.count;
    }
}

std::string SeriesPreview::Replace(const std::string& text, int64_t row) const {
    // Range 1 is the fastest wheel: row is a number in mixed radix.
    std::array<std::string, kRangeCount> values;
    for (int k = 0; k < kRangeCount; ++k) {
        if (!ranges_[k].check)
            continue;
        values[k] = ranges_[k].ValueAt(row % ranges_[k].count);
        row /= ranges_[k].count;
    }
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        int k = 0;
        while (k < kRangeCount && !(ranges_[k].check && RangePlaceholder(k) == c))
            ++k;
        if (k < kRangeCount)
            out += values[k];
        else
            out += c;
    }
    return out;
}

std::string SeriesPreview::Url(int64_t row) const {
    return Replace(urlTemplate_, row);
}

std::string SeriesPreview::Destination(int64_t row) const {
    return Replace(folderTemplate_, row);
}

std::string SeriesPreview::ExistingText(const std::string& destination, int32_t saveSetting) {
    if (!PathExists(destination))
        return {};
    switch (saveSetting) {
    case 0:
        return "既存: スキップ";
    case 1:
        return "既存: 上書き";
    default:
        return "既存: (n) を付けて保存";
    }
}

std::string CombinationCountText(const Job& job, const ProgramSettings& settings) {
    const SeriesPreview preview(job, settings);
    if (!preview.Ok())
        return preview.Error();
    return "全 " + FormatByteCount(preview.Count()) + " ファイル";
}

} // namespace ordinex
