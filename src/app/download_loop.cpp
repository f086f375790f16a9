#include "app/ordinex_app.h"
#include "app/parallel_run.h"
#include "platform/text_helpers.h"
#include "runs/run_items.h"

#include <algorithm>
#include <ctime>
#include <utility>

namespace ordinex {

namespace {
// "2026-12-09 21:04:05" in local time, for the log.
std::string LocalTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string FileProgressText(int64_t done, int64_t total) {
    return std::to_string(done) + " / " + IntToText(total) + " Files";
}
} // namespace

COrdinexApp::RunSummary COrdinexApp::RunDownloadLoop(IRunItems& items, const std::string& userName,
                                                     const std::string& password) {
    RunSummary summary;
    summary.started = true;
    const int64_t total = items.Total();
    summary.total = total;
    BeginDownloadRun(total, userName, password);
    // The files of a run share their connections; the run's end closes them.
    CInternetDownloader::Batch batch(engine);
    if (settings.ParallelTransfersSetting > 1 && total > 1) {
        ParallelRun(*this, items, settings.ParallelTransfersSetting).Run(summary);
        batch.End();
        EndDownloadRun(summary);
        return summary;
    }
    for (;;) {
        targetValid = true;
        PumpOneMessage();
        if (stopRequested)
            break;
        items.Compose(summary.processed);
        ShowTargets(engine.sourceUrl, engine.destinationPath);
        SetStatus(kClear);
        SetStatus2(kClear);
        SetTransferText(kClear);
        SetByteProgress(kClear);
        SetFileProgress(FileProgressText(summary.processed, total), total, summary.processed);
        if (settings.PauseByFileDownload)
            ConfirmStep();
        meter_.StartFile(ProgressMeter::Clock::now());
        engine.bytesReceived = 0;
        const bool goOn = DownloadItem(summary);
        meter_.FileDone(engine.bytesReceived, summary.processed + (goOn ? 1 : 0));
        if (!goOn)
            break;
        ++summary.processed;
        SetStatus(kClear);
        SetByteProgress(kClear);
        SetFileProgress(FileProgressText(summary.processed, total), total, summary.processed);
        if (items.Advance())
            break;
    }
    batch.End();
    EndDownloadRun(summary);
    return summary;
}

void COrdinexApp::BeginDownloadRun(int64_t total, const std::string& userName, const std::string& password) {
    report_ = RunReport{};
    runUser_ = userName;
    runPassword_ = password;
    meter_.StartRun(total, ProgressMeter::Clock::now());
    metering_ = true;
    WriteLog("ダウンロード開始 " + LocalTimeText());
    if (statusView_)
        statusView_->ShowRunResult("");
    BeginBusy();
    if (busyWindows_)
        busyWindows_->ShowBusyAnimation();
    engine.userName = TrimBlanks(userName);
    engine.password = TrimBlanks(password);
    madeFolder_.clear();
    knownFolder_.clear();
    folderAssumed_ = false;
}

bool COrdinexApp::DownloadItem(RunSummary& summary) {
    const bool exists = FileExists(engine.destinationPath);
    if (exists)
        SetStatus("保存先にファイルが存在します");
    if (exists && settings.SaveSetting == 0) {
        SetStatus("ファイルのダウンロード中止");
        ++summary.skipped;
        ReportItem(RunReportRow::Outcome::Skipped, "保存先にファイルが存在します");
        return true;
    }
    if (exists && settings.SaveSetting == 1) {
        const int answer = ShowWarning(engine.destinationPath + "を上書き保存します",
                                       settings.ShowWarningDialogOnOverwriteSaveSetting);
        if (answer == kAnswerYes || answer == kAnswerOk)
            return false;
        SetStatus("ファイルを上書き保存します");
    }
    int answer = kAnswerNo;
    engine.destinationAbsent = targetValid && !exists;
    engine.leftoverAbsent = engine.destinationAbsent && KnownFreshFolder(engine.destinationPath);
    engine.folderAssumed = targetValid && folderAssumed_;
    if (!targetValid) {
        ++summary.failed;
        ReportItem(RunReportRow::Outcome::Failed, targetError);
        answer = ShowWarning(targetError, settings.ShowWarningDialogOnIllegalUrlFolderSetting);
    } else if (engine.DownloadFile()) {
        const bool empty = engine.fileOutcome == CInternetDownloader::FileOutcome::SkippedEmpty;
        ++(empty ? summary.skipped : summary.done);
        if (empty)
            ReportItem(RunReportRow::Outcome::Skipped, "0バイトのファイルのため保存しませんでした");
    } else if (engine.fileOutcome == CInternetDownloader::FileOutcome::Stopped) {
        ReportItem(RunReportRow::Outcome::Stopped, engine.errorText);
        return false; // a stopped file is neither done nor a fault to warn about
    } else {
        ++summary.failed;
        ReportItem(RunReportRow::Outcome::Failed, engine.errorText);
        answer = ShowWarning(engine.errorText, settings.ShowWarningDialogOnDownloadFailureSetting);
    }
    return answer != kAnswerYes && answer != kAnswerOk;
}

void COrdinexApp::EndDownloadRun(RunSummary& summary) {
    summary.stopped = std::max<int64_t>(0, summary.total - summary.done - summary.failed - summary.skipped);
    report_.summary = summary;
    report_.bytes = meter_.RunBytes();
    report_.seconds = meter_.Seconds(ProgressMeter::Clock::now());
    metering_ = false;
    const std::string result = RunResultText(summary);
    const std::string line = RunResultLine(report_);
    ShowTargets(kClear);
    SetStatus(result);
    WriteLog(result);
    WriteLog("ダウンロード終了 " + LocalTimeText() + ": " + line);
    // Leaving the busy state empties the status area and hides it: the
    // result stays in view on a line of its own.
    if (statusView_) {
        statusView_->SetProgressDetail("", "", -1);
        statusView_->ShowRunResult(line);
    }
    EndBusy();
    if (statusView_)
        statusView_->RunEnded(line, report_.seconds);
    if (busyWindows_)
        busyWindows_->DestroyBusyAnimation();
}

void COrdinexApp::ReportItem(RunReportRow::Outcome outcome, const std::string& reason) {
    report_.rows.push_back({outcome, engine.sourceUrl, engine.destinationPath, reason});
    // A failed file may have left its .part in the folder the run made.
    if (outcome == RunReportRow::Outcome::Failed) {
        madeFolder_.clear();
        knownFolder_.clear();
    }
    // The log names what went wrong and where it was going.
    if (outcome == RunReportRow::Outcome::Failed)
        WriteLog(std::string(OutcomeText(outcome)) + ": " + engine.sourceUrl + " → " +
                 engine.destinationPath + ": " + reason);
}

namespace {
// The run report's failed and stopped rows as the items of a run.
class ReportItems final : public IRunItems {
public:
    ReportItems(COrdinexApp& app, std::vector<RunReportRow> rows) : app_(app), rows_(std::move(rows)) {}
    int64_t Total() const override { return static_cast<int64_t>(rows_.size()); }
    void Compose(int64_t index) override {
        app_.engine.sourceUrl = rows_[static_cast<std::size_t>(index)].url;
        app_.engine.destinationPath = rows_[static_cast<std::size_t>(index)].destination;
    }
    bool Advance() override { return ++done_ >= Total(); }

private:
    COrdinexApp& app_;
    std::vector<RunReportRow> rows_;
    int64_t done_ = 0;
};
} // namespace

COrdinexApp::RunSummary COrdinexApp::RetryLastRun() {
    std::vector<RunReportRow> rows;
    for (const RunReportRow& row : report_.rows)
        if (row.outcome != RunReportRow::Outcome::Skipped)
            rows.push_back(row);
    if (rows.empty() || running)
        return {};
    ReportItems items(*this, std::move(rows));
    const std::string user = runUser_, password = runPassword_;
    return RunDownloadLoop(items, user, password);
}

std::string COrdinexApp::RunResultText(const RunSummary& summary) {
    if (summary.Complete())
        return "全ファイルダウンロード完了";
    return "ダウンロード終了: 完了 " + IntToText(summary.done) + "、失敗 " + IntToText(summary.failed) +
           "、スキップ " + IntToText(summary.skipped) + "、中止 " + IntToText(summary.stopped) + " (全 " +
           IntToText(summary.total) + " ファイル)";
}

} // namespace ordinex
