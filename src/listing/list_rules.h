#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ordinex {

class IniStore;

// The rules of the two tree & list windows that need no window: sorting,
// command availability, addresses of nodes and rows, and the list state kept
// in the settings file.

// ---- Sorting ----

// The list's text comparison: bytes compared with ASCII letters folded to one
// case; <0, 0 or >0. Every column, sizes included, compares as text.
int CompareListText(std::string_view a, std::string_view b);

// Sort column and order. A click on a header sorts by it in the current order
// and then inverts the order, so that a second click reverses it; after each
// listing the last order used is applied again.
struct SortState {
    int column = 0;
    bool descending = false;
    bool clicked = false; // a header was clicked (now or in an earlier session)

    // The order to sort in for a click on column c (the state moves on).
    bool Click(int c) {
        column = c;
        clicked = true;
        const bool used = descending;
        descending = !descending;
        return used;
    }
    // The order of the last sort, for the re-sort after a listing; before
    // any click, ascending by name.
    bool LastOrder() const { return clicked && !descending; }
};

// The name a list row shows: a listed name as it is, an address's last
// segment (its query kept); the whole text when that is empty.
std::string ListDisplayName(std::string_view text);

// Sorts rows by the text textOf gives for each, stably: equal texts keep their order.
template <class Row, class TextOf> void SortRows(std::vector<Row>& rows, bool descending, TextOf textOf);
// The same with the rows isFolder names first, in either order.
template <class Row, class TextOf, class IsFolder>
void SortRows(std::vector<Row>& rows, bool descending, TextOf textOf, IsFolder isFolder) {
    SortRows(rows, descending, textOf);
    std::stable_partition(rows.begin(), rows.end(), isFolder);
}

// ---- Commands ----

// The six commands of a tree & list window's toolbar, in toolbar order.
enum class ListCommand { TreeToUrl, Download, ListToUrlFolder, ListToUrlFile, Reload, OpenInBrowser };

struct ListWindowState {
    bool running = false;
    bool nodeSelected = false;
    int64_t selectedRows = 0;
    int64_t downloadableRows = 0; // selected rows with a size text
};

bool ListCommandAvailable(ListCommand command, const ListWindowState& state);

// ---- Addresses ----

// "%", "#" and "?" in a listed name would end a URL's path or start an
// escape: they are written as escapes, so that the address names the file.
// So are control characters, which no address may carry as they are.
std::string EscapeUrlName(std::string_view name);

// The address of an FTP tree node: the root address ("ftp://host/") followed
// by the texts below the root, each with "/" after it.
std::string FtpNodeAddress(const std::string& rootAddress, const std::vector<std::string>& textsBelowRoot);

// A row's full address: the directory with "/" ensured at its end, then the
// name with one leading "/" removed. The name is taken as text (see
// EscapeUrlName) when asUrl is set.
std::string JoinRowAddress(const std::string& directory, const std::string& name, bool asUrl);

// ---- State kept in the settings file ----

inline constexpr int kListColumns = 4;
inline constexpr int kDefaultColumnWidth = 100;
inline constexpr int kDefaultSplitterWidth = 100;

struct ListViewState {
    std::array<int, kListColumns> widths{kDefaultColumnWidth, kDefaultColumnWidth, kDefaultColumnWidth,
                                         kDefaultColumnWidth};
    SortState sort;
};

// readAll: ReadWindowSetting on and no fatal exit; otherwise the defaults.
ListViewState LoadListViewState(const IniStore& ini, const std::string& section, bool readAll);
void SaveListViewState(IniStore& ini, const std::string& section, const ListViewState& state);

// ---- Template definitions ----

template <class Row, class TextOf> void SortRows(std::vector<Row>& rows, bool descending, TextOf textOf) {
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        const int c = CompareListText(textOf(a), textOf(b));
        return descending ? c > 0 : c < 0;
    });
}

} // namespace ordinex
