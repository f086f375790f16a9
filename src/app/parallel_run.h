#pragma once
#include "app/ordinex_app.h"

#include <chrono>
#include <deque>
#include <memory>
#include <vector>

namespace ordinex {

class FiberPool;

// A download run with several files in flight at once (ParallelTransfersSetting
// above 1). Each file's transfer runs its usual one-after-the-other code on a
// fiber of its own, its status lines held in memory; one loop on the
// user-interface thread moves every transfer on, starts the next file while
// fewer than N are in flight, and reports the files in run order, each as
// one block, as a run of one file at a time would have shown it. Names and
// the existing-file rules are decided in run order before a file starts, and
// a file whose destination another file in flight is writing waits for it.
class ParallelRun {
public:
    ParallelRun(COrdinexApp& app, IRunItems& items, int parallel);
    ~ParallelRun();
    ParallelRun(const ParallelRun&) = delete;
    ParallelRun& operator=(const ParallelRun&) = delete;
    void Run(COrdinexApp::RunSummary& summary);

private:
    struct Slot;
    class FileHost;
    // Composes and starts the next item; false when it has to wait for the
    // files in flight (its destination is one of theirs, or it asks
    // something before it starts).
    bool StartNext(COrdinexApp::RunSummary& summary);
    // The file's block on the status lines, its counts and row in the
    // report, and its warning; false when the warning's answer ends the run.
    bool Report(Slot& slot, COrdinexApp::RunSummary& summary);
    bool Claimed(const std::string& path) const;
    bool WarningWouldAsk(int32_t situationFlag) const;
    void ShowRunBytes();

    COrdinexApp& app_;
    IRunItems& items_;
    std::size_t parallel_;
    std::deque<std::unique_ptr<Slot>> window_; // started, not yet reported, in run order
    std::unique_ptr<FiberPool> workers_;       // one file after another on each
    int64_t next_ = 0;
    bool more_ = true;
    bool ending_ = false; // a warning's answer ended the run
    int64_t shownBytes_ = -1;
    std::chrono::steady_clock::time_point shownAt_{};
};

} // namespace ordinex
