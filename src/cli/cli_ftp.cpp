#include "cli/cli_commands.h"
#include "cli/cli_job.h"
#include "cli/failed_list.h"
#include "net/url_cracker.h"
#include "platform/visible_text.h"
#include "runs/address_rows.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace ordinex::cli {

namespace {

// Prints each listed row at once, in the server's order; a name can hold
// anything, so the texts are made visible first.
class PrintedList : public IFtpListPane {
public:
    void DeleteAllRows() override {}
    void InsertRow(const FtpEntry& entry) override {
        line_ = VisibleText(entry.name);
        // A link's type says what it points to.
        const std::string type = !entry.isLink         ? entry.extension
                                 : !entry.linkResolved ? std::string("link")
                                 : entry.isDirectory   ? std::string("link:dir")
                                                       : std::string("link:file");
        for (const std::string* text : {&entry.sizeText, &type, &entry.dateText}) {
            line_ += '\t';
            line_ += VisibleText(*text);
        }
        line_ += '\n';
        std::fwrite(line_.data(), 1, line_.size(), stdout);
    }

private:
    std::string line_;
};

// The addresses of the command line as selected rows of the FTP list: each
// lies in the directory up to its last "/", and its name is the rest.
class AddressRows : public IFtpListSelection {
public:
    explicit AddressRows(const std::vector<std::string>& urls) {
        for (const std::string& url : urls) {
            const auto slash = url.find_last_of('/');
            const auto cut = slash == std::string::npos ? 0 : slash + 1;
            rows_.push_back({url.substr(0, cut), PercentDecode(url.substr(cut))});
        }
    }
    int64_t DownloadableCount() const override { return static_cast<int64_t>(rows_.size()); }
    void DeselectNonFiles() override {}
    std::string SelectedItem(int64_t n) const override {
        return InRange(n) ? rows_[n - 1].name : std::string();
    }
    std::string ItemDirectory(int64_t n) const override {
        return InRange(n) ? rows_[n - 1].dir : std::string();
    }

private:
    bool InRange(int64_t n) const { return n >= 1 && n <= static_cast<int64_t>(rows_.size()); }
    struct Row {
        std::string dir;
        std::string name;
    };
    std::vector<Row> rows_;
};

} // namespace

int RunLs(const std::string& url) {
    CliApp app;
    app.LoadSettingsFromCurrentDirectory();
    InterruptPump pump(app);
    app.SetMessagePump(&pump);
    InstallInterruptHandler();
    PrintedList list;
    app.engine.SetFtpPanes(nullptr, &list);
    std::vector<char> buffer(1 << 16);
    std::setvbuf(stdout, buffer.data(), _IOFBF, buffer.size());
    const bool listed = app.engine.ListFtpDirectory(kNoNode, url, false, true, false);
    const bool flushed = std::fflush(stdout) == 0;
    std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
    if (!listed) {
        std::fprintf(stderr, "%s\n", VisibleText(app.engine.errorText).c_str());
        return kExitSomeFailed;
    }
    return flushed && !app.stopRequested ? kExitOk : kExitSomeFailed;
}

int RunFetch(const std::string& jobPath, const std::vector<std::string>& urls,
             const std::string& failedListPath, int parallel) {
    CliApp app;
    Job job;
    if (!LoadJobForCli(app, jobPath, job))
        return kExitBadInput;
    if (parallel > 0)
        app.settings.ParallelTransfersSetting = parallel;
    // Web addresses are rows of the Link list, the others of the FTP list;
    // with both, the FTP rows go first and a stop ends both.
    std::vector<std::string> ftpUrls;
    std::vector<std::string> webUrls;
    for (const std::string& url : urls)
        (IsWebAddress(url) ? webUrls : ftpUrls).push_back(url);
    int status = kExitOk;
    FailedList failed(failedListPath);
    if (!ftpUrls.empty()) {
        AddressRows rows(ftpUrls);
        app.AttachFtpWindow({nullptr, nullptr, nullptr, &rows});
        status = RunWithDisplay(app, [&] { return app.RunFtpList(job); });
        app.AttachFtpWindow({});
        failed.Add(app.LastRunReport());
    }
    if (!webUrls.empty() && !app.stopRequested) {
        LinkAddressRows rows(webUrls);
        app.AttachLinkWindow({nullptr, nullptr, nullptr, &rows});
        status = std::max(status, RunWithDisplay(app, [&] { return app.RunLinkList(job); }));
        app.AttachLinkWindow({});
        failed.Add(app.LastRunReport());
    }
    return failed.Write() ? status : kExitBadInput;
}

} // namespace ordinex::cli
