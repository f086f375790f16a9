#pragma once
#include "net/listing_panes.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace ordinex::test {

// Rows of a list window as the window hands them to a list run: each has a
// size text (empty: not a file) and a selection.
template <class Selection, class Row> class ListRowsStub : public Selection {
public:
    std::vector<Row> rows;
    // What a list run said of the n-th selected row, at n - 1.
    std::vector<std::string> outcomes;
    void ShowOutcome(int64_t n, const std::string& outcome) override {
        outcomes.resize(std::max<std::size_t>(outcomes.size(), static_cast<std::size_t>(n)));
        outcomes[static_cast<std::size_t>(n - 1)] = outcome;
    }

    int64_t DownloadableCount() const override {
        return std::count_if(rows.begin(), rows.end(),
                             [](const Row& r) { return r.selected && !r.size.empty(); });
    }
    void DeselectNonFiles() override {
        for (Row& r : rows)
            if (r.size.empty())
                r.selected = false;
    }

protected:
    // The n-th selected row, n from 1; null when fewer are selected.
    const Row* Nth(int64_t n) const {
        for (const Row& r : rows)
            if (r.selected && --n == 0)
                return &r;
        return nullptr;
    }
};

struct FtpRowStub {
    std::string dir;
    std::string name;
    std::string size;
    bool selected = true;
};

// Selected rows of the FTP list: a directory and a name each.
// Like the window, a selected folder counts: its files come with it.
class FtpRowsStub : public ListRowsStub<IFtpListSelection, FtpRowStub> {
public:
    int64_t DownloadableCount() const override {
        return std::count_if(rows.begin(), rows.end(), [](const FtpRowStub& r) { return r.selected; });
    }
    bool SelectedIsFolder(int64_t n) const override { return Nth(n) && Nth(n)->size.empty(); }
    std::string SelectedItem(int64_t n) const override { return Nth(n) ? Nth(n)->name : ""; }
    std::string ItemDirectory(int64_t n) const override { return Nth(n) ? Nth(n)->dir : ""; }
};

struct LinkRowStub {
    std::string text; // the address without its scheme
    std::string size = "1";
    bool selected = true;
};

// Selected rows of the Link list; a row without a size text is one whose probe failed.
class LinkRowsStub : public ListRowsStub<IListSelection, LinkRowStub> {
public:
    std::string SelectedItem(int64_t n) const override { return Nth(n) ? Nth(n)->text : ""; }
};

} // namespace ordinex::test
