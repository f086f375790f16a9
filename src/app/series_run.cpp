#include "app/ordinex_app.h"
#include "runs/run_items.h"

namespace ordinex {

namespace {
// The combinations of the enabled ranges in odometer order.
class SeriesItems final : public IRunItems {
public:
    explicit SeriesItems(COrdinexApp& app) : app_(app) {}
    int64_t Total() const override { return app_.TotalCombinations(); }
    void Compose(int64_t) override {
        app_.engine.sourceUrl = app_.ComposeSourceUrl();
        app_.engine.destinationPath = app_.ComposeDestinationPath();
    }
    bool Advance() override { return app_.AdvanceRanges(); }

private:
    COrdinexApp& app_;
};
} // namespace

COrdinexApp::RunSummary COrdinexApp::RunSeries(const Job& job, bool preflight) {
    if (!PrepareRun(job) || (preflight && !PreflightSeries(job)))
        return RunSummary{};
    SeriesItems items(*this);
    return RunDownloadLoop(items, job.userName, job.password);
}

} // namespace ordinex
