#pragma once
#include "listing/list_rules.h"

#include <wx/listctrl.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

class wxImageList;

namespace ordinex {

class IniStore;

// One row of a tree & list window's list: four texts as received, and its picture.
struct ListRow {
    std::array<std::string, kListColumns> texts;
    int image = 0;
    bool marked = false; // keeps the selection across a sort
    bool folder = false; // sorted before the files
    std::string address; // the whole address: its own column and the name's tooltip
    std::string problem; // why the row has no size (a failed probe), shown as its type
    std::string outcome; // what the last list run did with it
};

// The list pane of the tree & list windows: a virtual report list over rows
// held here (thousands of rows fill without a control item each), four
// columns of text, sorting by a clicked header, and the selection in list
// order. A row without a size text (column 1) is not a file.
class CSortableList : public wxListCtrl {
public:
    CSortableList(wxWindow* parent, const std::array<const char*, kListColumns>& headers,
                  wxImageList* images);

    // Column widths and sort order from the settings (readAll: the placement switch).
    void LoadState(const IniStore& ini, const std::string& section, bool readAll);
    void SaveState(IniStore& ini, const std::string& section) const;

    void ClearRows();
    void AddRow(ListRow row);
    size_t RowCount() const { return rows_.size(); }
    const ListRow& Row(size_t index) const { return rows_.at(index); }
    bool IsFileRow(size_t index) const { return !rows_.at(index).texts[1].empty(); }

    // A header click: sort by it, and the next click reverses.
    void SortByClick(int column);
    // After a listing: the order last used once more.
    void Resort();
    const SortState& Sort() const { return sort_; }

    // The selected rows in list order.
    std::vector<size_t> SelectedRows() const;
    void SelectAllRows();
    int64_t SelectedFileCount() const;
    void DeselectNonFileRows();
    // Column text of the n-th selected row (n from 1); empty when fewer.
    std::string SelectedText(int64_t n, int column) const;
    void SelectRow(size_t index, bool select = true);
    // The outcome of the n-th selected row (n from 1) after a list run.
    void SetSelectedOutcome(int64_t n, const std::string& outcome);

    // Called once after any change of the selection, when the events have settled.
    void SetSelectionListener(std::function<void()> listener) { onSelection_ = std::move(listener); }

protected:
    wxString OnGetItemText(long item, long column) const override;
    int OnGetItemImage(long item) const override;

private:
    // The columns share the list's width in the proportions they have.
    void FitColumnsToWidth();
    void ShowAddressTip(const wxPoint& point);
    void SortRowsBy(bool descending);
    void SelectionTouched();

    std::vector<ListRow> rows_;
    SortState sort_;
    std::function<void()> onSelection_;
    bool notifyPending_ = false;
    long tipRow_ = -1;
};

} // namespace ordinex
