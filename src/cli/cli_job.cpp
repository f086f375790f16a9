#include "cli/cli_job.h"

#include "job/job_file.h"
#include "platform/file_system.h"
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

namespace {
// A job piped in ("guess ... | list /dev/stdin"): standard input is read to
// its end, which a pipe's writer gives, up to the size of a settings file.
JobFileResult ReadJobFromStandardInput(const std::string& name, Job& job, ProgramSettings& settings) {
    std::string text;
    char block[65536];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, stdin)) > 0) {
        text.append(block, got);
        if (text.size() > static_cast<std::size_t>(kMaxSettingsFileBytes))
            return {JobFileResult::Status::Failed, TooLargeFileText(name)};
    }
    if (std::ferror(stdin))
        return {JobFileResult::Status::Failed, name + " を読み込めませんでした"};
    if (text.empty())
        return {JobFileResult::Status::Empty, {}};
    return ReadJobText(text, name, job, settings);
}
} // namespace

bool LoadJobForCli(COrdinexApp& app, const std::string& jobPath, Job& job) {
    app.LoadSettingsFromCurrentDirectory();
    const bool piped = jobPath == "-" || jobPath == "/dev/stdin";
    const JobFileResult result = piped ? ReadJobFromStandardInput(jobPath, job, app.settings)
                                       : ReadJobFile(jobPath, job, app.settings);
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
