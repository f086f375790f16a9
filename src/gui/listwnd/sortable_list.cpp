#include "gui/listwnd/sortable_list.h"

#include "gui/kit/wx_text.h"
#include "platform/visible_text.h"

#include <wx/imaglist.h>

#include <algorithm>

namespace ordinex {

namespace {
constexpr long kListStyle = wxLC_REPORT | wxLC_VIRTUAL | wxBORDER_SUNKEN;
constexpr int kSizeColumn = 1;
constexpr int kTypeColumn = 2;
// Beyond the four columns the settings keep: what the last list run did
// with the row, and the row's whole address.
constexpr int kOutcomeColumn = kListColumns;
constexpr int kAddressColumn = kListColumns + 1;
constexpr int kOutcomeWidth = 60;
constexpr int kAddressWidth = 260;
constexpr const char* kOutcomeHeader = "結果";
constexpr const char* kAddressHeader = "アドレス";
} // namespace

CSortableList::CSortableList(wxWindow* parent, const std::array<const char*, kListColumns>& headers,
                             wxImageList* images)
    : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, kListStyle) {
    AssignImageList(images, wxIMAGE_LIST_SMALL);
    for (int i = 0; i < kListColumns; ++i)
        InsertColumn(i, ToWx(headers[i]), i == kSizeColumn ? wxLIST_FORMAT_RIGHT : wxLIST_FORMAT_LEFT,
                     kDefaultColumnWidth);
    InsertColumn(kOutcomeColumn, ToWx(kOutcomeHeader), wxLIST_FORMAT_LEFT, kOutcomeWidth);
    InsertColumn(kAddressColumn, ToWx(kAddressHeader), wxLIST_FORMAT_LEFT, kAddressWidth);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        e.Skip();
        CallAfter([this] { FitColumnsToWidth(); });
    });
    Bind(wxEVT_MOTION, [this](wxMouseEvent& e) {
        ShowAddressTip(e.GetPosition());
        e.Skip();
    });
    Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent& e) { SortByClick(e.GetColumn()); });
    // Range selections of a virtual list send no event per row: the mouse and
    // the keys that may have changed the selection are watched as well.
    for (auto type : {wxEVT_LIST_ITEM_SELECTED, wxEVT_LIST_ITEM_DESELECTED})
        Bind(type, [this](wxListEvent& e) {
            SelectionTouched();
            e.Skip();
        });
    Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& e) {
        SelectionTouched();
        e.Skip();
    });
    Bind(wxEVT_KEY_UP, [this](wxKeyEvent& e) {
        SelectionTouched();
        e.Skip();
    });
    // Ctrl+A selects every row, as lists on the desktop do.
    Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& e) {
        if (e.GetKeyCode() == 'A' && e.GetModifiers() == wxMOD_CONTROL) {
            SelectAllRows();
            return;
        }
        e.Skip();
    });
}

void CSortableList::SelectAllRows() {
    for (size_t i = 0; i < rows_.size(); ++i)
        SetItemState(static_cast<long>(i), wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    SelectionTouched();
}

void CSortableList::LoadState(const IniStore& ini, const std::string& section, bool readAll) {
    const ListViewState state = LoadListViewState(ini, section, readAll);
    for (int i = 0; i < kListColumns; ++i)
        SetColumnWidth(i, state.widths[i]);
    sort_ = state.sort;
}

void CSortableList::SaveState(IniStore& ini, const std::string& section) const {
    ListViewState state;
    for (int i = 0; i < kListColumns; ++i)
        state.widths[i] = GetColumnWidth(i);
    state.sort = sort_;
    SaveListViewState(ini, section, state);
}

void CSortableList::ClearRows() {
    rows_.clear();
    SetItemCount(0);
    Refresh();
    SelectionTouched();
}

void CSortableList::AddRow(ListRow row) {
    rows_.push_back(std::move(row));
    SetItemCount(static_cast<long>(rows_.size()));
}

wxString CSortableList::OnGetItemText(long item, long column) const {
    if (item < 0 || static_cast<size_t>(item) >= rows_.size() || column < 0 || column > kAddressColumn)
        return {};
    const ListRow& row = rows_[static_cast<size_t>(item)];
    if (column == kAddressColumn)
        return ToWx(VisibleText(row.address));
    if (column == kOutcomeColumn)
        return ToWx(row.outcome);
    if (column == 0)
        return ToWx(VisibleText(ListDisplayName(row.texts[0])));
    if (column == kTypeColumn && row.texts[kSizeColumn].empty() && !row.problem.empty())
        return ToWx(VisibleText(row.problem));
    return ToWx(VisibleText(row.texts[static_cast<size_t>(column)]));
}

void CSortableList::FitColumnsToWidth() {
    const int width = GetClientSize().x;
    int total = 0;
    for (int i = 0; i <= kAddressColumn; ++i)
        total += GetColumnWidth(i);
    if (width <= 0 || total <= 0 || total == width)
        return;
    int used = 0;
    for (int i = 0; i < kAddressColumn; ++i) {
        const int w = std::max(30, GetColumnWidth(i) * width / total);
        SetColumnWidth(i, w);
        used += w;
    }
    SetColumnWidth(kAddressColumn, std::max(30, width - used));
}

void CSortableList::ShowAddressTip(const wxPoint& point) {
    int flags = 0;
    const long item = HitTest(point, flags);
    if (item == tipRow_)
        return;
    tipRow_ = item;
    const bool onRow = item >= 0 && static_cast<size_t>(item) < rows_.size();
    if (onRow)
        SetToolTip(ToWx(VisibleText(rows_[static_cast<size_t>(item)].address)));
    else
        UnsetToolTip();
}

int CSortableList::OnGetItemImage(long item) const {
    if (item < 0 || static_cast<size_t>(item) >= rows_.size())
        return -1;
    return rows_[static_cast<size_t>(item)].image;
}

void CSortableList::SortRowsBy(bool descending) {
    const std::vector<size_t> selected = SelectedRows();
    for (ListRow& row : rows_)
        row.marked = false;
    for (size_t i : selected)
        rows_[i].marked = true;
    const auto column = static_cast<size_t>(sort_.column);
    SortRows(
        rows_, descending, [column](const ListRow& row) -> const std::string& { return row.texts[column]; },
        [](const ListRow& row) { return row.folder; });
    ShowSortIndicator(sort_.column, !descending);
    // The selection belongs to the rows, not to the places they had.
    if (!selected.empty()) {
        SetItemState(-1, 0, wxLIST_STATE_SELECTED);
        for (size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i].marked)
                SelectRow(i);
    }
    Refresh();
}

void CSortableList::SortByClick(int column) {
    if (column < 0 || column >= kListColumns)
        return;
    SortRowsBy(sort_.Click(column));
}

void CSortableList::Resort() {
    SortRowsBy(sort_.LastOrder());
}

std::vector<size_t> CSortableList::SelectedRows() const {
    std::vector<size_t> out;
    for (long item = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); item >= 0;
         item = GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        if (static_cast<size_t>(item) < rows_.size())
            out.push_back(static_cast<size_t>(item));
    return out;
}

int64_t CSortableList::SelectedFileCount() const {
    int64_t count = 0;
    for (size_t i : SelectedRows())
        count += IsFileRow(i) ? 1 : 0;
    return count;
}

void CSortableList::DeselectNonFileRows() {
    for (size_t i : SelectedRows())
        if (!IsFileRow(i))
            SelectRow(i, false);
}

std::string CSortableList::SelectedText(int64_t n, int column) const {
    if (n < 1 || column < 0 || column >= kListColumns)
        return {};
    int64_t seen = 0;
    for (long item = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); item >= 0;
         item = GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        if (++seen == n && static_cast<size_t>(item) < rows_.size())
            return rows_[static_cast<size_t>(item)].texts[static_cast<size_t>(column)];
    return {};
}

void CSortableList::SelectRow(size_t index, bool select) {
    SetItemState(static_cast<long>(index), select ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
    SelectionTouched();
}

void CSortableList::SetSelectedOutcome(int64_t n, const std::string& outcome) {
    const std::vector<size_t> selected = SelectedRows();
    if (n < 1 || static_cast<size_t>(n) > selected.size())
        return;
    rows_[selected[static_cast<size_t>(n - 1)]].outcome = outcome;
    RefreshItem(static_cast<long>(selected[static_cast<size_t>(n - 1)]));
}

void CSortableList::SelectionTouched() {
    if (notifyPending_ || !onSelection_)
        return;
    notifyPending_ = true;
    CallAfter([this] {
        notifyPending_ = false;
        if (onSelection_)
            onSelection_();
    });
}

} // namespace ordinex
