#include "cli/cli_commands.h"
#include "cli/cli_job.h"
#include "cli/failed_list.h"
#include "cli/terminal_display.h"

#include "platform/ascii_text.h"
#include "settings/program_settings.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace ordinex::cli {

namespace {

std::atomic<int> gInterrupts{0};

extern "C" void OnInterrupt(int) {
    // The first Ctrl+C is the Stop command; a second one ends the program at once.
    if (gInterrupts.fetch_add(1) >= 1)
        _exit(130);
}

} // namespace

void InterruptPump::PumpOneMessage() {
    if (gInterrupts.load() > 0)
        app_.RequestStop();
}

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    // A closed pipe must not kill the program halfway through a file.
    std::signal(SIGPIPE, SIG_IGN);
}

int RunWithDisplay(COrdinexApp& app, const std::function<COrdinexApp::RunSummary()>& run) {
    TerminalDisplay display(stderr, isatty(fileno(stderr)) != 0);
    InterruptPump pump(app);
    app.SetStatusView(&display);
    app.SetMessagePump(&pump);
    InstallInterruptHandler();

    const COrdinexApp::RunSummary summary = run();
    display.Finish();
    app.SetStatusView(nullptr);
    if (!summary.started)
        return kExitBadInput;
    // A stop, a failure or a file never reached is no success, whichever file it hit.
    if (!summary.Complete())
        return kExitSomeFailed;
    return kExitOk;
}

int ParseParallel(const std::string& text) {
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), IsAsciiDigit))
        return 0;
    const int n = std::stoi(text);
    return n >= 1 && n <= kMaxParallelTransfers ? n : 0;
}

int RunDownload(const std::string& jobPath, const std::string& failedListPath, int parallel) {
    CliApp app;
    Job job;
    if (!LoadJobForCli(app, jobPath, job))
        return kExitBadInput;
    if (parallel > 0)
        app.settings.ParallelTransfersSetting = parallel;
    const int status = RunWithDisplay(app, [&] { return app.RunSeries(job); });
    FailedList failed(failedListPath);
    if (status != kExitBadInput)
        failed.Add(app.LastRunReport());
    return failed.Write() ? status : kExitBadInput;
}

} // namespace ordinex::cli
