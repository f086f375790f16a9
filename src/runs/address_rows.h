#pragma once
#include "net/listing_panes.h"

#include <string>
#include <utility>
#include <vector>

namespace ordinex {

// Addresses given by hand (the command line, a link clicked in the browser)
// as the selected rows of the Link list, each taken as it stands.
class LinkAddressRows final : public IListSelection {
public:
    explicit LinkAddressRows(std::vector<std::string> urls) : urls_(std::move(urls)) {}
    int64_t DownloadableCount() const override { return static_cast<int64_t>(urls_.size()); }
    void DeselectNonFiles() override {}
    std::string SelectedItem(int64_t n) const override {
        return n >= 1 && n <= static_cast<int64_t>(urls_.size()) ? urls_[n - 1] : std::string();
    }

private:
    std::vector<std::string> urls_;
};

} // namespace ordinex
