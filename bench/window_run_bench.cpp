// How long a numbered-series run takes from the main window.
//
//   ordinex_window_run_bench JOB.odx [repeats]     (under a display, e.g. xvfb-run)
//
// Starts the desktop program in-process on the job, as the command line
// would, and carries out the run command (menu ダウンロード → 置換･ダウンロード
// 開始): from the command to the idle window with every status line,
// progress step and the run's result painted. Each repeat also runs the same
// job in the same process with no window attached (no status area, pump or
// busy state), which tells what the window itself adds. Prints the best time
// of each and the files the last run saved.
#include "bench_wx.h"
#include "gui/mainwnd/main_frame.h"
#include "gui/mainwnd/ordinex_view.h"
#include "gui/shell/app_shell.h"
#include "ui/command_ids.h"

#include <wx/evtloop.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using bench::Clock;

double Since(Clock::time_point start) {
    return bench::Seconds(start, Clock::now());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s JOB.odx [repeats]\n", argv[0]);
        return 2;
    }
    namespace fs = std::filesystem;
    const std::string job = fs::absolute(argv[1]).string();
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const fs::path jobDir = fs::path(job).parent_path();
    const std::string scratch = bench::EnterScratchFolder("ordinex-window-run-bench");
    if (scratch.empty() || !bench::StartWx(argv))
        return 1;
    double bestWindow = 1e9, bestBare = 1e9;
    long long saved = 0;
    {
        wxGUIEventLoop loop;
        wxEventLoopActivator activate(&loop);
        bench::NoPrompts prompts;
        ordinex::CAppShell shell(&prompts);
        if (!shell.InitInstance({job}))
            return 1;
        ordinex::COrdinexApp& app = shell.App();
        ordinex::CMainFrame* frame = shell.MainFrame();
        ordinex::COrdinexView* view = frame->View();
        // The window as a user finds it: shown and painted.
        for (int i = 0; i < 50 && wxTheApp->Pending(); ++i)
            wxTheApp->Dispatch();
        frame->Update();
        // What the program does once it is idle after start-up.
        wxTheApp->ProcessPendingEvents();
        const std::string out = view->GetFolderBase();
        auto fresh = [&] {
            std::error_code ec;
            fs::remove_all(out, ec);
        };
        for (int i = 0; i < repeats; ++i) {
            // The same run with nothing attached.
            fresh();
            app.SetStatusView(nullptr);
            app.SetBusyWindows(nullptr);
            app.SetMessagePump(nullptr);
            const ordinex::Job j = view->ReadJob();
            auto start = Clock::now();
            app.RunSeries(j);
            bestBare = std::min(bestBare, Since(start));
            app.SetStatusView(view);
            app.SetBusyWindows(frame);
            app.SetMessagePump(&shell.Pump());

            fresh();
            start = Clock::now();
            frame->RunCommand(ordinex::cmd::kRunSeries);
            // Whatever the run left for the toolkit (layout, painting) is
            // part of its time.
            for (int k = 0; k < 100 && wxTheApp->Pending(); ++k)
                wxTheApp->Dispatch();
            frame->Update();
            bestWindow = std::min(bestWindow, Since(start));
        }
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(out, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            saved += it->is_regular_file() ? 1 : 0;
        std::fprintf(stderr, "last line 1006: %s\n", view->ControlText(1006).c_str());
        fresh();
        shell.ExitInstance();
    }
    wxEntryCleanup();
    fs::current_path(jobDir);
    fs::remove_all(scratch);
    std::printf("seconds=%.4f bare_seconds=%.4f files=%lld\n", bestWindow, bestBare, saved);
    return 0;
}
