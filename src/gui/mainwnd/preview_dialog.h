#pragma once
#include "runs/series_preview.h"

#include <wx/dialog.h>

#include <cstdint>

namespace ordinex {

class CPreviewList;

// "一覧": every URL and destination a series run will use, in run order, and
// what the run will do with a destination that exists. The rows are made
// as they are shown, so that millions of combinations cost nothing.
class CPreviewDialog : public wxDialog {
public:
    CPreviewDialog(wxWindow* parent, SeriesPreview preview, int32_t saveSetting);
    // The rows of the list, at most kMaxRows; beyond that the last row is
    // the last combination.
    int64_t RowCount() const;
    std::string CellText(int64_t row, int column) const;
    static constexpr int64_t kMaxRows = 50'000'000;

private:
    int64_t CombinationOf(int64_t row) const;

    SeriesPreview preview_;
    int32_t saveSetting_;
};

} // namespace ordinex
