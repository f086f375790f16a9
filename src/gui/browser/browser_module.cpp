#include "gui/browser/browser_module.h"

#include <dlfcn.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace ordinex {

namespace {

using ModuleOpen = int (*)(COrdinexApp*, IMainFormLink*, const char*);
using ModuleBuild = const char* (*)();

LinkedBrowserOpen linkedOpen = nullptr;
std::vector<std::string> candidatesForTests;
// Kept for the life of the process: the browser's windows run its code.
ModuleOpen moduleOpen = nullptr;

std::string LoadError() {
    const char* text = dlerror();
    return text ? text : "不明なエラー";
}

// Loads one file and checks that it was built with this program: the
// module uses the program's own code, so one of another build must not run.
ModuleOpen LoadModule(const std::string& file, std::string& reason) {
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        reason = LoadError();
        return nullptr;
    }
    const auto build = reinterpret_cast<ModuleBuild>(dlsym(handle, kBrowserModuleBuild));
    const auto open = reinterpret_cast<ModuleOpen>(dlsym(handle, kBrowserModuleOpen));
    if (!build || !open) {
        reason = file + ": Ordinexのブラウザ モジュールではありません";
        dlclose(handle);
        return nullptr;
    }
    if (std::string(ORDINEX_BROWSER_BUILD) != build()) {
        reason = file + ": 別のビルドのモジュールです (" + build() + ")";
        dlclose(handle);
        return nullptr;
    }
    return open;
}

} // namespace

std::vector<std::string> BrowserModuleCandidates() {
    if (!candidatesForTests.empty())
        return candidatesForTests;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    const std::filesystem::path folder = program.parent_path();
    return {(folder / kBrowserModuleFile).string(),
            (folder / ORDINEX_BROWSER_MODULE_FROM_BIN / kBrowserModuleFile).lexically_normal().string()};
}

void UseLinkedBrowser(LinkedBrowserOpen open) {
    linkedOpen = open;
}

void SetBrowserModuleCandidatesForTests(std::vector<std::string> files) {
    candidatesForTests = std::move(files);
}

BrowserOpening OpenBrowserWindow(COrdinexApp& app, IMainFormLink& main, const std::string& address) {
    BrowserOpening result;
    if (linkedOpen) {
        result.outcome = linkedOpen(app, main, address) ? BrowserOpening::Outcome::Opened
                                                        : BrowserOpening::Outcome::NoWebView;
        return result;
    }
    if (!moduleOpen) {
        std::string firstReason;
        std::string missing;
        for (const std::string& file : BrowserModuleCandidates()) {
            std::error_code error;
            if (!std::filesystem::exists(file, error)) {
                missing += (missing.empty() ? "" : ", ") + file;
                continue;
            }
            std::string reason;
            moduleOpen = LoadModule(file, reason);
            if (moduleOpen)
                break;
            if (firstReason.empty())
                firstReason = reason;
        }
        if (!moduleOpen) {
            result.reason = !firstReason.empty()
                                ? firstReason
                                : std::string(kBrowserModuleFile) + " が見つかりません (" + missing + ")";
            return result;
        }
    }
    result.outcome = moduleOpen(&app, &main, address.c_str()) ? BrowserOpening::Outcome::Opened
                                                              : BrowserOpening::Outcome::NoWebView;
    return result;
}

} // namespace ordinex
