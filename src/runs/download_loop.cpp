#include "app/ordinex_app.h"
#include "runs/download_loop.h"
#include "runs/text_helpers.h"

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
    BeginBusy();
    if (busyWindows_)
        busyWindows_->ShowBusyAnimation();

    const int64_t total = items.Total();
    int64_t done = 0;
    summary.total = total;
    engine.userName = TrimBlanks(userName);
    engine.password = TrimBlanks(password);

    for (;;) {
        targetValid = true;
        PumpOneMessage();
        if (stopRequested) {
            summary.stopped = true;
            break;
        }
        items.Compose(done);
        ShowTargets(engine.sourceUrl, engine.destinationPath);
        SetStatus(kClear);
        SetStatus2(kClear);
        SetTransferText(kClear);
        SetByteProgress(kClear);
        SetFileProgress(FileProgressText(done, total), total, done);
        if (settings.PauseByFileDownload)
            ConfirmStep();

        bool leave = false;
        bool skip = false;
        const bool exists = FileExists(engine.destinationPath);
        if (exists)
            SetStatus("保存先にファイルが存在します");
        if (exists && settings.SaveSetting == 0) {
            SetStatus("ファイルのダウンロード中止");
            skip = true;
        } else if (exists && settings.SaveSetting == 1) {
            const int answer = ShowWarning(engine.destinationPath + "を上書き保存します",
                                           settings.ShowWarningDialogOnOverwriteSaveSetting);
            if (answer == kAnswerYes || answer == kAnswerOk)
                break;
            SetStatus("ファイルを上書き保存します");
        }
        if (!skip) {
            if (targetValid) {
                if (!engine.DownloadFile()) {
                    ++summary.failed;
                    const int answer = ShowWarning(engine.errorText, settings.ShowWarningDialogOnDownloadFailureSetting);
                    leave = answer == kAnswerYes || answer == kAnswerOk;
                }
            } else {
                ++summary.failed;
                const int answer = ShowWarning(targetError, settings.ShowWarningDialogOnIllegalUrlFolderSetting);
                leave = answer == kAnswerYes || answer == kAnswerOk;
            }
            if (leave)
                break;
        }

        ++done;
        summary.done = done;
        SetStatus(kClear);
        SetByteProgress(kClear);
        SetFileProgress(FileProgressText(done, total), total, done);
        if (items.Advance())
            break;
    }

    ShowTargets(kClear);
    SetStatus("全ファイルダウンロード完了");
    EndBusy();
    if (busyWindows_)
        busyWindows_->DestroyBusyAnimation();
    return summary;
}

} // namespace ordinex
