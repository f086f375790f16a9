// How long the FTP tree & list window takes to show a large directory, over
// what the listing itself costs.
//
//   ordinex_ftp_window_bench URL [repeats]     (under a display, e.g. xvfb-run)
//
// For each repeat: the core lists the same tree walk into panes that only
// count (the transfer and the engine's work), then the window opens on the
// address and paints its list. Prints the best times and the window's own
// share: what it adds to the listing, and the time from the last row
// inserted to the list painted with every row.
#include "bench_wx.h"
#include "gui/listwnd/ftp_panes.h"
#include "gui/listwnd/ftp_tree_frame.h"
#include "gui/mainwnd/main_frame.h"
#include "gui/shell/app_shell.h"

#include <wx/evtloop.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using bench::Clock;
using bench::Seconds;

class CountingTree : public ordinex::IFtpTreePane {
public:
    void DeleteAllNodes() override {}
    ordinex::TreeNodeId InsertRoot(const std::string&, const std::string&) override { return 1; }
    ordinex::TreeNodeId InsertChild(ordinex::TreeNodeId, const std::string&) override { return ++nodes; }
    ordinex::TreeNodeId FindChildOfSelected(const std::string&) const override { return 2; }
    void SelectSilently(ordinex::TreeNodeId) override {}
    ordinex::TreeNodeId nodes = 1;
};

class CountingList : public ordinex::IFtpListPane {
public:
    void DeleteAllRows() override { rows = 0; }
    void InsertRow(const ordinex::FtpEntry&) override { ++rows; }
    long rows = 0;
};

// Passes rows on to the window's list and notes when the last one came.
class TimedList : public ordinex::IFtpListPane {
public:
    explicit TimedList(ordinex::IFtpListPane& next) : next_(next) {}
    void DeleteAllRows() override { next_.DeleteAllRows(); }
    void InsertRow(const ordinex::FtpEntry& entry) override {
        next_.InsertRow(entry);
        last = Clock::now();
    }
    Clock::time_point last;

private:
    ordinex::IFtpListPane& next_;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s URL [repeats]\n", argv[0]);
        return 2;
    }
    const std::string url = argv[1];
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::string scratch = bench::EnterScratchFolder("ordinex-window-bench");
    if (scratch.empty() || !bench::StartWx(argv))
        return 1;
    double bestCore = 1e9, bestWindow = 1e9, bestTail = 1e9;
    long rows = 0;
    {
        wxGUIEventLoop loop;
        wxEventLoopActivator activate(&loop);
        bench::NoPrompts prompts;
        ordinex::CAppShell shell(&prompts);
        if (!shell.InitInstance({}))
            return 1;
        ordinex::COrdinexApp& app = shell.App();
        ordinex::CMainFrame* main = shell.MainFrame();
        for (int i = 0; i < repeats; ++i) {
            // The listing alone: the same walk into panes that only count.
            CountingTree tree;
            CountingList counted;
            app.engine.SetFtpPanes(&tree, &counted);
            app.engine.sourceUrl = url;
            const auto c0 = Clock::now();
            app.engine.OpenFtpTree();
            bestCore = std::min(bestCore, Seconds(c0, Clock::now()));

            // The window: open, list, sort, paint.
            ordinex::CFtpTreeFrame* frame = ordinex::CFtpTreeFrame::Open(app, *main);
            TimedList timed(*frame->List());
            app.engine.SetFtpPanes(frame->Tree(), &timed);
            const auto w0 = Clock::now();
            app.ShowFtpTree(url, "", "");
            frame->List()->Refresh();
            frame->List()->Update();
            const auto shown = Clock::now();
            bestWindow = std::min(bestWindow, Seconds(w0, shown));
            bestTail = std::min(bestTail, Seconds(timed.last, shown));
            rows = static_cast<long>(frame->List()->RowCount());
            if (rows != counted.rows) {
                std::fprintf(stderr, "the window shows %ld rows, the listing had %ld\n", rows, counted.rows);
                return 1;
            }
            app.engine.SetFtpPanes(frame->Tree(), frame->List());
        }
        shell.ExitInstance();
    }
    wxEntryCleanup();
    std::filesystem::remove_all(scratch);
    std::printf("rows=%ld core_seconds=%.4f window_seconds=%.4f added_seconds=%.4f tail_seconds=%.4f\n", rows,
                bestCore, bestWindow, bestWindow - bestCore, bestTail);
    return 0;
}
