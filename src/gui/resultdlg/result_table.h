#pragma once
#include "listing/list_rules.h"
#include "runs/run_report.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace ordinex {

// The rows of a run's report as the result window lists them, their order,
// and what the window's commands take from them. Rows are named by their
// place in the current order, as the list shows them.
class ResultTable {
public:
    enum Column { kOutcome, kAddress, kDestination, kReason, kColumns };

    explicit ResultTable(const RunReport& report);

    size_t RowCount() const { return rows_.size(); }
    // The text of a cell as shown: passwords masked, and what a server or a
    // file name may carry that would disturb the line made visible.
    const std::string& Text(size_t place, int column) const;
    RunReportRow::Outcome OutcomeAt(size_t place) const;

    // A header click sorts by the column; the next click on it reverses. The
    // places given (the selection) are returned as where those rows are now.
    std::vector<size_t> SortByClick(int column, const std::vector<size_t>& places);
    const SortState& Sort() const { return sort_; }

    // The addresses of the rows at the places, one per line: all rows when
    // no place is given.
    std::string AddressLines(const std::vector<size_t>& places) const;
    // The folder to show: where the destination of the first row given lies,
    // else that of the first row; the deepest part of it that exists, as the
    // run may have failed before making it. Empty when that row has no
    // destination that could be a file's.
    std::string FolderToOpen(const std::vector<size_t>& places) const;
    // Rows that retrying fetches again (failed and stopped ones).
    size_t RetryableCount() const;

private:
    struct Row {
        std::array<std::string, kColumns> texts;
        std::string destination;
        RunReportRow::Outcome outcome;
    };
    std::vector<Row> rows_;
    std::vector<size_t> order_; // place -> row
    SortState sort_;
};

// The lines above the list: the run's result, and the files it never reached.
std::string ResultSummary(const RunReport& report);

} // namespace ordinex
