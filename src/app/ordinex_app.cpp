#include "app/ordinex_app.h"

#include "platform/file_system.h"
#include "platform/text_helpers.h"
#include "platform/version_record.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ordinex {

COrdinexApp::COrdinexApp() : engine(this) {
    // A file-size limit then fails the write with EFBIG, which is reported as
    // a full disk, instead of killing the program in the middle of a file.
    std::signal(SIGXFSZ, SIG_IGN);
}

COrdinexApp::~COrdinexApp() {
    CloseLog();
}

COrdinexApp::StartOutcome COrdinexApp::InitCore() {
    productName = ProgramVersionRecord().productName;
    switch (instanceLock_.Acquire()) {
    case InstanceLock::Result::Acquired:
        break;
    case InstanceLock::Result::AlreadyRunning:
        return {StartResult::AlreadyRunning, "既に起動しています"};
    case InstanceLock::Result::Failed:
        return {StartResult::Fatal, "ミューテックスオブジェクトの作成失敗"};
    }
    startDirectory = CurrentDirectory();
    LoadSettingsFromCurrentDirectory();
    OpenLog(CurrentDirPath("/Ordinex.log"));
    return {};
}

void COrdinexApp::LoadSettingsFromCurrentDirectory() {
    settingsPath_ = CurrentDirPath("/Ordinex.ini");
    bool notRegular = false;
    profile_.Load(settingsPath_, &notRegular);
    // A folder or a FIFO of that name is neither read (which could wait
    // forever) nor replaced at exit; the defaults apply.
    settingsFileUsable_ = !notRegular;
    if (notRegular)
        ShowMessage(NotRegularFileText(settingsPath_) + "既定の設定で起動します。");
    LoadProgramSettings(profile_, settings);
    recentFiles.Load(profile_);
}

void COrdinexApp::ExitCore() {
    CloseLog();
    if (CanSaveState() && !settingsPath_.empty() && settingsFileUsable_) {
        SaveProgramSettings(profile_, settings);
        recentFiles.Save(profile_);
        profile_.Save(settingsPath_);
    }
    instanceLock_.Release();
}

void COrdinexApp::FatalExit(const std::string& message) {
    fatalExit = true;
    if (prompter_)
        prompter_->MessageBox(message, MessageButtons::Ok, MessageIcon::Stop);
    ExitCore();
    std::exit(1);
}

bool COrdinexApp::OpenLog(const std::string& path) {
    CloseLog();
    // O_NONBLOCK: a FIFO without a reader must not hold start-up; only a
    // plain file is used as the log.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    logFile_ = ::fdopen(fd, "w");
    if (!logFile_)
        ::close(fd);
    return logFile_ != nullptr;
}

void COrdinexApp::WriteLog(const std::string& text) {
    if (!settings.WarningLogSetting || !logFile_)
        return;
    std::fputs(MaskPasswords(text).c_str(), logFile_);
    std::fputc('\n', logFile_);
    // Flushed at once so that the log is complete even if the program is killed.
    std::fflush(logFile_);
}

void COrdinexApp::CloseLog() {
    if (logFile_) {
        std::fclose(logFile_);
        logFile_ = nullptr;
    }
}

void COrdinexApp::ShowMessage(const std::string& text) {
    if (prompter_)
        prompter_->MessageBox(text, MessageButtons::Ok, MessageIcon::Information);
}

} // namespace ordinex
