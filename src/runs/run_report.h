#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ordinex {

// The counts of one download run.
struct RunSummary {
    bool started = false;
    int64_t total = 0;
    int64_t processed = 0; // items the loop went through, as the file progress counts them
    int64_t done = 0;      // files fetched
    int64_t failed = 0;    // transfers that failed or targets that were invalid
    int64_t skipped = 0;   // left alone on purpose: an existing file kept, an empty file not saved
    int64_t stopped = 0;   // cut short by Stop or never reached because the run ended early
    // Every file was fetched or deliberately skipped.
    bool Complete() const { return started && done + skipped == total; }
};

// A file of a run that did not complete, and why.
struct RunReportRow {
    enum class Outcome { Failed, Stopped, Skipped };
    Outcome outcome = Outcome::Failed;
    std::string url; // as it was fetched; shown with its password masked
    std::string destination;
    std::string reason;
};

// What a download run did: its counts, the bytes it received, how long it
// took, and a row for every file it went through that did not complete.
// Files it never reached (it ended early) have no row; summary.stopped
// counts them, and running the job again fetches them.
struct RunReport {
    RunSummary summary;
    int64_t bytes = 0;
    double seconds = 0;
    std::vector<RunReportRow> rows;
    // Files never reached: stopped without a row of their own.
    int64_t Unreached() const;
};

// "failed", "stopped" or "skipped": the word of a failed-list file.
const char* OutcomeWord(RunReportRow::Outcome outcome);
// "失敗", "中止" or "スキップ": the word of the report window.
const char* OutcomeText(RunReportRow::Outcome outcome);
// "M:SS", or "H:MM:SS" from an hour on.
std::string ElapsedText(double seconds);
// The line under the run buttons after any run: "ダウンロード完了: 12 ファイル
// (1,234,567 バイト, 経過 0:42)", or the counts when it did not complete.
std::string RunResultLine(const RunReport& report);
// One line of a failed list: OUTCOME<TAB>URL<TAB>DESTINATION<TAB>REASON,
// passwords masked and tabs or line breaks inside the texts made blanks.
std::string FailedListLine(const RunReportRow& row);

} // namespace ordinex
