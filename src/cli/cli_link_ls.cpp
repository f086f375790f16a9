#include "cli/cli_commands.h"
#include "cli/cli_job.h"
#include "listing/link_panes_model.h"
#include "net/url_cracker.h"
#include "platform/visible_text.h"

#include <cstdio>
#include <vector>

namespace ordinex::cli {

namespace {

// Prints each row as the walk inserts it; a page can say anything, so the
// texts are made visible first. When the reader has gone, the walk stops.
class PrintedLinkList : public LinkListModel {
public:
    explicit PrintedLinkList(COrdinexApp& app) : app_(app) {}
    void InsertRow(const LinkRow& row) override {
        LinkListModel::InsertRow(row);
        line_ = VisibleText(row.text);
        for (const std::string* text : {&row.sizeText, &row.contentType, &row.dateText}) {
            line_ += '\t';
            line_ += VisibleText(*text);
        }
        line_ += '\n';
        if (std::fwrite(line_.data(), 1, line_.size(), stdout) != line_.size())
            app_.RequestStop();
    }

private:
    COrdinexApp& app_;
    std::string line_;
};

// Pages that could not be read, or only in part, are told on standard
// error as the walk meets them.
class LinkLsApp : public CliApp {
public:
    void ReportPageTrouble(const std::string& text) override {
        std::fprintf(stderr, "ワーニング: %s\n", VisibleText(text).c_str());
        std::fflush(stderr);
    }
};

} // namespace

bool IsWebAddress(const std::string& url) {
    const std::size_t colon = url.find("://");
    if (colon == std::string::npos)
        return false;
    std::string scheme = url.substr(0, colon);
    for (char& c : scheme)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return scheme == "http" || scheme == "https";
}

int RunLinkLs(const std::string& url) {
    CrackedUrl parts;
    if (!CrackUrl(url, parts) || parts.host.empty()) {
        std::fprintf(stderr, "%s: URLの形式が正しくありません\n", VisibleText(url).c_str());
        return kExitBadInput;
    }
    LinkLsApp app;
    app.LoadSettingsFromCurrentDirectory();
    app.settings.PauseForConfirm = 0; // the step-by-step pauses are for the desktop program
    InterruptPump pump(app);
    app.SetMessagePump(&pump);
    InstallInterruptHandler();
    LinkTreeModel tree;
    PrintedLinkList list(app);
    app.engine.SetLinkPanes(&tree, &list);
    std::vector<char> buffer(1 << 16);
    std::setvbuf(stdout, buffer.data(), _IOFBF, buffer.size());

    // As the window does: open the page, then walk as deep as the settings say.
    app.BeginBusy();
    app.engine.sourceUrl = url;
    CInternetDownloader::Batch batch(app.engine);
    const bool opened = app.engine.OpenLinkTree();
    LinkWalkSummary walk;
    if (opened && !app.stopRequested)
        walk = app.engine.WalkLinkTree(tree.Selected());
    batch.End();
    const bool stopped = app.stopRequested || walk.stopped;
    app.EndBusy();

    const bool flushed = std::fflush(stdout) == 0;
    std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
    if (!opened) {
        std::fprintf(stderr, "%s\n", VisibleText(app.engine.errorText).c_str());
        return kExitSomeFailed;
    }
    // A page left out, or cut, leaves the list incomplete.
    const LinkTroubles& troubles = app.engine.linkTroubles;
    if (troubles.Any())
        std::fprintf(stderr, "%s\n", troubles.Text().c_str());
    return flushed && !stopped && !troubles.Any() ? kExitOk : kExitSomeFailed;
}

} // namespace ordinex::cli
