#include "ui/start_options.h"

#include "platform/visible_text.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace ordinex {

StartOptions ParseStartOptions(const std::vector<std::string>& args) {
    StartOptions options;
    bool optionsEnded = false;
    // --help and --version answer whatever else the line says.
    auto only = [](StartOptions::Action action) {
        StartOptions asked;
        asked.action = action;
        return asked;
    };
    auto fail = [&](std::string error) {
        options.action = StartOptions::Action::UsageError;
        options.error = std::move(error);
        return options;
    };
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            return only(StartOptions::Action::Help);
        } else if (!optionsEnded && arg == "--version") {
            return only(StartOptions::Action::Version);
        } else if (!optionsEnded && arg == "--desktop") {
            options.desktop = true;
        } else if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
            return fail("不明なオプション: " + VisibleText(arg));
        } else if (arg.empty()) {
            return fail("ジョブファイルの名前が空です");
        } else if (!options.job.empty()) {
            return fail("ジョブファイルは1つだけ指定できます");
        } else {
            options.job = arg;
        }
    }
    return options;
}

std::string StartUsageText() {
    return "使い方: ordinex [--desktop] [JOB.odx]     ジョブファイルを開いて起動 "
           "(起動中ならそのウィンドウで開く)\n"
           "        ordinex --version                バージョンを表示\n"
           "        ordinex --help                   この使い方を表示\n"
           "  --desktop  設定フォルダ ($XDG_CONFIG_HOME/ordinex) で起動し、Ordinex.ini と Ordinex.log "
           "をそこに置く\n";
}

std::string DesktopSettingsFolder() {
    namespace fs = std::filesystem;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return (fs::path(config) / "ordinex").lexically_normal().string();
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return (fs::path(home) / ".config" / "ordinex").lexically_normal().string();
    return {};
}

bool EnterDesktopSettingsFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    if (folder.empty()) {
        errno = ENOENT;
        return false;
    }
    std::error_code error;
    const bool made = fs::create_directories(folder, error);
    if (error) {
        errno = error.value();
        return false;
    }
    // The settings file keeps the last job's password: a folder made here is
    // this user's only. One the user made stays as it is.
    if (made)
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
    return ::chdir(folder.c_str()) == 0;
}

} // namespace ordinex
