#include "runs/run_report.h"

#include "platform/text_helpers.h"

#include <cmath>

namespace ordinex {

namespace {

std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return text;
}

} // namespace

int64_t RunReport::Unreached() const {
    int64_t stoppedRows = 0;
    for (const RunReportRow& row : rows)
        stoppedRows += row.outcome == RunReportRow::Outcome::Stopped;
    return summary.stopped > stoppedRows ? summary.stopped - stoppedRows : 0;
}

const char* OutcomeWord(RunReportRow::Outcome outcome) {
    switch (outcome) {
    case RunReportRow::Outcome::Failed:
        return "failed";
    case RunReportRow::Outcome::Stopped:
        return "stopped";
    case RunReportRow::Outcome::Skipped:
        return "skipped";
    }
    return "failed";
}

const char* OutcomeText(RunReportRow::Outcome outcome) {
    switch (outcome) {
    case RunReportRow::Outcome::Failed:
        return "失敗";
    case RunReportRow::Outcome::Stopped:
        return "中止";
    case RunReportRow::Outcome::Skipped:
        return "スキップ";
    }
    return "失敗";
}

std::string ElapsedText(double seconds) {
    const int64_t whole = seconds > 0 ? static_cast<int64_t>(std::llround(seconds)) : 0;
    const int64_t h = whole / 3600, m = whole / 60 % 60, s = whole % 60;
    auto two = [](int64_t n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    return h > 0 ? std::to_string(h) + ":" + two(m) + ":" + two(s) : std::to_string(m) + ":" + two(s);
}

std::string RunResultLine(const RunReport& report) {
    const RunSummary& s = report.summary;
    const std::string tail =
        " (" + FormatByteCount(report.bytes) + " バイト, 経過 " + ElapsedText(report.seconds) + ")";
    if (s.Complete())
        return "ダウンロード完了: " + IntToText(s.done) + " ファイル" +
               (s.skipped > 0 ? "、スキップ " + IntToText(s.skipped) : std::string()) + tail;
    return "ダウンロード終了: 完了 " + IntToText(s.done) + "、失敗 " + IntToText(s.failed) + "、スキップ " +
           IntToText(s.skipped) + "、中止 " + IntToText(s.stopped) + " (全 " + IntToText(s.total) +
           " ファイル)" + tail;
}

std::string FailedListLine(const RunReportRow& row) {
    return std::string(OutcomeWord(row.outcome)) + "\t" + OneLine(MaskPasswords(row.url)) + "\t" +
           OneLine(row.destination) + "\t" + OneLine(MaskPasswords(row.reason)) + "\n";
}

} // namespace ordinex
