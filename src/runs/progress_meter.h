#pragma once
#include <chrono>
#include <cstdint>
#include <string>

namespace ordinex {

// What people read beside the progress bars while a run lasts.
struct ProgressDetail {
    std::string file; // "37% 1.2 MB/s 残り 0:12" (the parts that are known)
    std::string run;  // "12 / 40 ファイル 3.4 MB/s"
    int percent = -1; // of the whole run, for the window title; -1 unknown
};

// Turns a run's byte and file counts into speeds, percentages and the time
// left. Times come from the caller, so that it can be tested with a clock
// of its own.
class ProgressMeter {
public:
    using Clock = std::chrono::steady_clock;
    void StartRun(int64_t files, Clock::time_point now);
    // A file begins; the bytes it resumed after are reported with its first
    // progress and do not count as speed.
    void StartFile(Clock::time_point now);
    // The current file has position bytes of range (0: size unknown).
    void FileProgress(int64_t position, int64_t range, Clock::time_point now);
    // The current file is over, having received bytes; files went through so far.
    void FileDone(int64_t bytes, int64_t filesDone);
    int64_t RunBytes() const { return runBytes_; }
    double Seconds(Clock::time_point now) const;
    ProgressDetail Detail(Clock::time_point now) const;

private:
    Clock::time_point runStart_{}, fileStart_{};
    int64_t files_ = 0, filesDone_ = 0;
    int64_t runBytes_ = 0;
    int64_t fileFirst_ = -1, filePosition_ = 0, fileRange_ = 0;
};

// "1.2 MB/s", "850 KB/s", "12 B/s".
std::string SpeedText(double bytesPerSecond);

} // namespace ordinex
