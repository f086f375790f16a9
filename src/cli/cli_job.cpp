#include "cli/cli_job.h"

#include "job/job_file.h"
#include "platform/visible_text.h"

#include <cstdio>
#include <cstdlib>

namespace ordinex::cli {

int StderrPrompter::MessageBox(const std::string& text, MessageButtons buttons, MessageIcon, bool) {
    std::fprintf(stderr, "%s\n", VisibleText(text).c_str());
    std::fflush(stderr);
    switch (buttons) {
    case MessageButtons::Ok:
    case MessageButtons::OkCancel:
        return kAnswerOk;
    case MessageButtons::YesNo:
        return kAnswerNo;
    }
    return kAnswerOk;
}

int StderrPrompter::WarningDialog(const std::string& text, const std::string&) {
    // The status lines before it name the file.
    std::fprintf(stderr, "ワーニング: %s\n", VisibleText(text).c_str());
    std::fflush(stderr);
    return kAnswerNo;
}

void StderrPrompter::CloseMainWindowAndExit() {
    std::exit(1);
}

bool LoadJobForCli(COrdinexApp& app, const std::string& jobPath, Job& job) {
    app.LoadSettingsFromCurrentDirectory();
    const JobFileResult result = ReadJobFile(jobPath, job, app.settings);
    switch (result.status) {
    case JobFileResult::Status::Ok:
        break;
    case JobFileResult::Status::Empty:
        std::fprintf(stderr, "%s: ジョブファイルが空です\n", jobPath.c_str());
        return false;
    case JobFileResult::Status::Failed:
        std::fprintf(stderr, "%s\n", result.message.c_str());
        return false;
    }
    // The step-by-step pauses are for the desktop program only.
    app.settings.PauseForConfirm = 0;
    return true;
}

} // namespace ordinex::cli
