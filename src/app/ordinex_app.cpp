#include "app/ordinex_app.h"

#include "platform/file_system.h"
#include "platform/version_record.h"

#include <cstdlib>

namespace ordinex {

COrdinexApp::COrdinexApp() : engine(this) {}

COrdinexApp::~COrdinexApp() { CloseLog(); }

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
    profile_.Load(settingsPath_);
    LoadProgramSettings(profile_, settings);
    recentFiles.Load(profile_);
}

void COrdinexApp::ExitCore() {
    CloseLog();
    if (CanSaveState() && !settingsPath_.empty()) {
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
    logFile_ = std::fopen(path.c_str(), "w");
    return logFile_ != nullptr;
}

void COrdinexApp::WriteLog(const std::string& text) {
    if (!settings.WarningLogSetting || !logFile_)
        return;
    std::fputs(text.c_str(), logFile_);
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
