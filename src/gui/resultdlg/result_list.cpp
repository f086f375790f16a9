#include "gui/resultdlg/result_list.h"

#include "gui/kit/wx_text.h"
#include "gui/resultdlg/result_texts.h"

#include <algorithm>

namespace ordinex {

namespace {
struct ColumnDef {
    const char* header;
    int least, most; // widths in DIPs; the texts decide in between
};
constexpr ColumnDef kColumnDefs[ResultTable::kColumns] = {
    {resultwin::kColumnOutcome, 50, 100},
    {resultwin::kColumnAddress, 200, 480},
    {resultwin::kColumnDestination, 160, 360},
    {resultwin::kColumnReason, 200, 420},
};
// Rows measured for the widths: enough to see what the texts are like.
constexpr size_t kMeasuredRows = 200;
constexpr int kCellPadding = 16;
} // namespace

CResultList::CResultList(wxWindow* parent, ResultTable& table)
    : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxBORDER_SUNKEN),
      table_(table) {
    for (int i = 0; i < ResultTable::kColumns; ++i) {
        const ColumnDef& c = kColumnDefs[i];
        int width = GetTextExtent(ToWx(c.header)).x;
        for (size_t row = 0; row < table_.RowCount() && row < kMeasuredRows; ++row)
            width = std::max(width, GetTextExtent(ToWx(table_.Text(row, i))).x);
        width = std::clamp(width + FromDIP(kCellPadding), FromDIP(c.least), FromDIP(c.most));
        InsertColumn(i, ToWx(c.header), wxLIST_FORMAT_LEFT, width);
    }
    SetItemCount(static_cast<long>(table_.RowCount()));
    Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent& e) { SortByClick(e.GetColumn()); });
}

int CResultList::ColumnsWidth() const {
    int width = 0;
    for (int i = 0; i < GetColumnCount(); ++i)
        width += GetColumnWidth(i);
    return width;
}

wxString CResultList::OnGetItemText(long item, long column) const {
    if (item < 0)
        return {};
    return ToWx(table_.Text(static_cast<size_t>(item), static_cast<int>(column)));
}

std::vector<size_t> CResultList::SelectedPlaces() const {
    std::vector<size_t> out;
    for (long item = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); item >= 0;
         item = GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        out.push_back(static_cast<size_t>(item));
    return out;
}

void CResultList::SelectPlace(size_t place, bool select) {
    SetItemState(static_cast<long>(place), select ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
}

void CResultList::SortByClick(int column) {
    if (column < 0 || column >= ResultTable::kColumns)
        return;
    const std::vector<size_t> selected = table_.SortByClick(column, SelectedPlaces());
    ShowSortIndicator(column, !table_.Sort().LastOrder());
    SetItemState(-1, 0, wxLIST_STATE_SELECTED);
    for (size_t place : selected)
        SelectPlace(place);
    Refresh();
}

} // namespace ordinex
