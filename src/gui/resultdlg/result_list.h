#pragma once
#include "gui/resultdlg/result_table.h"

#include <wx/listctrl.h>

#include <vector>

namespace ordinex {

// The result window's list: a virtual report list over a ResultTable (a run
// of thousands of files that failed fills it without a control item each),
// sorted by a clicked header, the selection kept with its rows.
class CResultList : public wxListCtrl {
public:
    CResultList(wxWindow* parent, ResultTable& table);

    // The selected rows' places, in list order.
    std::vector<size_t> SelectedPlaces() const;
    void SelectPlace(size_t place, bool select = true);
    // What a click on a column's header does.
    void SortByClick(int column);
    // The columns together, as wide as their texts need (within limits).
    int ColumnsWidth() const;

protected:
    wxString OnGetItemText(long item, long column) const override;

private:
    ResultTable& table_;
};

} // namespace ordinex
