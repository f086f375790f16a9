#include "gui/resultdlg/result_table.h"

#include "app/ordinex_app.h"
#include "gui/resultdlg/result_texts.h"
#include "platform/text_helpers.h"
#include "platform/visible_text.h"

#include <algorithm>
#include <numeric>

namespace ordinex {

ResultTable::ResultTable(const RunReport& report) {
    rows_.reserve(report.rows.size());
    for (const RunReportRow& r : report.rows)
        rows_.push_back({{OutcomeText(r.outcome), VisibleText(MaskPasswords(r.url)),
                          VisibleText(r.destination), VisibleText(MaskPasswords(r.reason))},
                         r.destination,
                         r.outcome});
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), size_t{0});
}

const std::string& ResultTable::Text(size_t place, int column) const {
    static const std::string none;
    if (place >= order_.size() || column < 0 || column >= kColumns)
        return none;
    return rows_[order_[place]].texts[static_cast<size_t>(column)];
}

RunReportRow::Outcome ResultTable::OutcomeAt(size_t place) const {
    return rows_.at(order_.at(place)).outcome;
}

std::vector<size_t> ResultTable::SortByClick(int column, const std::vector<size_t>& places) {
    if (column < 0 || column >= kColumns)
        return places;
    // The selection belongs to the rows, not to the places they had.
    std::vector<bool> marked(rows_.size());
    for (size_t p : places)
        if (p < order_.size())
            marked[order_[p]] = true;
    const bool descending = sort_.Click(column);
    SortRows(order_, descending,
             [&](size_t row) -> const std::string& { return rows_[row].texts[static_cast<size_t>(column)]; });
    std::vector<size_t> now;
    for (size_t place = 0; place < order_.size(); ++place)
        if (marked[order_[place]])
            now.push_back(place);
    return now;
}

std::string ResultTable::AddressLines(const std::vector<size_t>& places) const {
    std::vector<size_t> all;
    if (places.empty()) {
        all.resize(order_.size());
        std::iota(all.begin(), all.end(), size_t{0});
    }
    std::string text;
    for (size_t p : places.empty() ? all : places) {
        if (p >= order_.size())
            continue;
        if (!text.empty())
            text += '\n';
        text += Text(p, kAddress);
    }
    return text;
}

std::string ResultTable::FolderToOpen(const std::vector<size_t>& places) const {
    size_t place = 0;
    if (!places.empty() && places.front() < order_.size())
        place = places.front();
    if (place >= order_.size())
        return {};
    const std::string& destination = rows_[order_[place]].destination;
    const size_t slash = destination.find_last_of('/');
    // A relative or empty destination was refused before anything was made.
    if (destination.empty() || destination.front() != '/' || slash == std::string::npos)
        return {};
    return COrdinexApp::FindExistingFolder(destination.substr(0, slash + 1));
}

size_t ResultTable::RetryableCount() const {
    return static_cast<size_t>(std::count_if(rows_.begin(), rows_.end(), [](const Row& r) {
        return r.outcome != RunReportRow::Outcome::Skipped;
    }));
}

std::string ResultSummary(const RunReport& report) {
    std::string text = RunResultLine(report);
    if (const int64_t unreached = report.Unreached(); unreached > 0)
        text += std::string("\n") + resultwin::kUnreachedBefore + IntToText(unreached) +
                resultwin::kUnreachedAfter;
    return text;
}

} // namespace ordinex
