#include "app/ordinex_app.h"
#include "platform/text_helpers.h"
#include "runs/run_items.h"

#include <algorithm>

namespace ordinex {

namespace {
std::string FileProgressText(int64_t done, int64_t total) {
    return std::to_string(done) + " / " + IntToText(total) + " Files";
}
} // namespace

COrdinexApp::RunSummary COrdinexApp::RunDownloadLoop(IRunItems& items, const std::string& userName,
                                                     const std::string& password) {
    RunSummary summary;
    summary.started = true;
    BeginDownloadRun(userName, password);
    const int64_t total = items.Total();
    summary.total = total;
    // The files of a run share their connections; the run's end closes them.
    CInternetDownloader::Batch batch(engine);
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
        if (!DownloadItem(summary))
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

void COrdinexApp::BeginDownloadRun(const std::string& userName, const std::string& password) {
    if (statusView_)
        statusView_->ShowRunResult("");
    BeginBusy();
    if (busyWindows_)
        busyWindows_->ShowBusyAnimation();
    engine.userName = TrimBlanks(userName);
    engine.password = TrimBlanks(password);
}

bool COrdinexApp::DownloadItem(RunSummary& summary) {
    const bool exists = FileExists(engine.destinationPath);
    if (exists)
        SetStatus("保存先にファイルが存在します");
    if (exists && settings.SaveSetting == 0) {
        SetStatus("ファイルのダウンロード中止");
        ++summary.skipped;
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
    if (!targetValid) {
        ++summary.failed;
        answer = ShowWarning(targetError, settings.ShowWarningDialogOnIllegalUrlFolderSetting);
    } else if (engine.DownloadFile()) {
        ++(engine.fileOutcome == CInternetDownloader::FileOutcome::SkippedEmpty ? summary.skipped
                                                                                : summary.done);
    } else if (engine.fileOutcome == CInternetDownloader::FileOutcome::Stopped) {
        return false; // a stopped file is neither done nor a fault to warn about
    } else {
        ++summary.failed;
        answer = ShowWarning(engine.errorText, settings.ShowWarningDialogOnDownloadFailureSetting);
    }
    return answer != kAnswerYes && answer != kAnswerOk;
}

void COrdinexApp::EndDownloadRun(RunSummary& summary) {
    summary.stopped = std::max<int64_t>(0, summary.total - summary.done - summary.failed - summary.skipped);
    const std::string result = RunResultText(summary);
    ShowTargets(kClear);
    SetStatus(result);
    WriteLog(result);
    // Leaving the busy state empties the status area and hides it: a result
    // that is not the completion stays in view on a line of its own.
    if (statusView_ && !summary.Complete())
        statusView_->ShowRunResult(result);
    EndBusy();
    if (busyWindows_)
        busyWindows_->DestroyBusyAnimation();
}

std::string COrdinexApp::RunResultText(const RunSummary& summary) {
    if (summary.Complete())
        return "全ファイルダウンロード完了";
    return "ダウンロード終了: 完了 " + IntToText(summary.done) + "、失敗 " + IntToText(summary.failed) +
           "、スキップ " + IntToText(summary.skipped) + "、中止 " + IntToText(summary.stopped) + " (全 " +
           IntToText(summary.total) + " ファイル)";
}

} // namespace ordinex
