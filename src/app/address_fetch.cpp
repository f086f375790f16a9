#include "app/ordinex_app.h"
#include "runs/address_rows.h"

namespace ordinex {

COrdinexApp::RunSummary COrdinexApp::FetchLinkAddresses(const Job& job,
                                                        const std::vector<std::string>& urls) {
    if (running || urls.empty())
        return {};
    // The addresses stand in for the Link list's selection for this run; an
    // open Link window is still disabled and enabled with the busy state.
    LinkAddressRows rows(urls);
    const LinkWindowParts window = link_;
    link_.rows = &rows;
    const RunSummary summary = RunLinkList(job);
    // A window that went meanwhile has cleared its parts: nothing to restore.
    if (link_.rows == &rows)
        link_ = window;
    return summary;
}

} // namespace ordinex
