#include "runs/progress_meter.h"

#include "platform/text_helpers.h"
#include "runs/run_report.h"

#include <algorithm>
#include <cstdio>

namespace ordinex {

namespace {
// Too short a time gives no speed worth showing.
constexpr double kMinSecondsForSpeed = 0.2;
} // namespace

void ProgressMeter::StartRun(int64_t files, Clock::time_point now) {
    *this = ProgressMeter{};
    files_ = files;
    runStart_ = fileStart_ = now;
}

void ProgressMeter::StartFile(Clock::time_point now) {
    fileStart_ = now;
    fileFirst_ = -1;
    filePosition_ = fileRange_ = 0;
}

void ProgressMeter::FileProgress(int64_t position, int64_t range, Clock::time_point now) {
    if (fileFirst_ < 0) {
        fileFirst_ = position;
        fileStart_ = now;
    }
    filePosition_ = position;
    fileRange_ = range;
}

void ProgressMeter::FileDone(int64_t bytes, int64_t filesDone) {
    runBytes_ += std::max<int64_t>(bytes, 0);
    filesDone_ = filesDone;
    fileFirst_ = -1;
    filePosition_ = fileRange_ = 0;
}

double ProgressMeter::Seconds(Clock::time_point now) const {
    return std::chrono::duration<double>(now - runStart_).count();
}

ProgressDetail ProgressMeter::Detail(Clock::time_point now) const {
    ProgressDetail d;
    const double fileSeconds = std::chrono::duration<double>(now - fileStart_).count();
    const int64_t fileNew = fileFirst_ >= 0 ? filePosition_ - fileFirst_ : 0;
    double fraction = 0;
    if (fileRange_ > 0) {
        fraction = std::clamp(static_cast<double>(filePosition_) / static_cast<double>(fileRange_), 0.0, 1.0);
        d.file = std::to_string(static_cast<int>(fraction * 100)) + "%";
    }
    if (fileSeconds >= kMinSecondsForSpeed && fileNew > 0) {
        const double speed = fileNew / fileSeconds;
        d.file += (d.file.empty() ? "" : " ") + SpeedText(speed);
        if (fileRange_ > filePosition_)
            d.file += " 残り " + ElapsedText((fileRange_ - filePosition_) / speed);
    }
    const double runSeconds = Seconds(now);
    d.run = IntToText(filesDone_) + " / " + IntToText(files_) + " ファイル";
    const int64_t runBytes = runBytes_ + fileNew;
    if (runSeconds >= kMinSecondsForSpeed && runBytes > 0)
        d.run += " " + SpeedText(runBytes / runSeconds);
    if (files_ > 0)
        d.percent = static_cast<int>(
            std::clamp((filesDone_ + fraction) / static_cast<double>(files_), 0.0, 1.0) * 100);
    return d;
}

std::string SpeedText(double bytesPerSecond) {
    char text[32];
    if (bytesPerSecond >= 1024.0 * 1024.0)
        std::snprintf(text, sizeof text, "%.1f MB/s", bytesPerSecond / (1024.0 * 1024.0));
    else if (bytesPerSecond >= 1024.0)
        std::snprintf(text, sizeof text, "%.0f KB/s", bytesPerSecond / 1024.0);
    else
        std::snprintf(text, sizeof text, "%.0f B/s", bytesPerSecond);
    return text;
}

} // namespace ordinex
