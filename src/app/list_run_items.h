#pragma once
#include "app/ordinex_app.h"
#include "runs/run_items.h"

#include <cstdint>
#include <string>
#include <utility>

namespace ordinex {

// The selected file rows of a list window, the n-th row being item n - 1,
// composed by the application's address and path rules for that window.
class ListRunItems final : public IRunItems {
public:
    using UrlRule = std::string (COrdinexApp::*)(int64_t);
    using PathRule = std::string (COrdinexApp::*)(int64_t, const std::string&);

    ListRunItems(COrdinexApp& app, UrlRule url, PathRule path, std::string folderBase, int64_t total)
        : app_(app), url_(url), path_(path), folderBase_(std::move(folderBase)), total_(total) {}
    int64_t Total() const override { return total_; }
    void Compose(int64_t index) override {
        app_.engine.sourceUrl = (app_.*url_)(index + 1);
        app_.engine.destinationPath = (app_.*path_)(index + 1, folderBase_);
    }
    bool Advance() override { return ++done_ >= total_; }

private:
    COrdinexApp& app_;
    UrlRule url_;
    PathRule path_;
    std::string folderBase_;
    int64_t total_;
    int64_t done_ = 0;
};

} // namespace ordinex
