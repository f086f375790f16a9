#include "app/ordinex_app.h"

namespace ordinex {

namespace {
constexpr const char* kTreeShown = "FTPツリービュー表示完了";
}

void COrdinexApp::AttachFtpWindow(const FtpWindowParts& parts) {
    ftp_ = parts;
    engine.SetFtpPanes(parts.tree, parts.list);
}

void COrdinexApp::RunTreeOperation(ITreeListWindow* const& window, const char* doneText,
                                   const std::function<void()>& work, const std::function<void()>& last) {
    BeginBusy();
    work();
    // The window may have been closed from a message pumped meanwhile.
    if (window)
        window->ResortList();
    ShowTargets("", "");
    SetStatus(doneText);
    if (last)
        last();
    EndBusy();
}

void COrdinexApp::ShowFtpTree(const std::string& address, const std::string& userName,
                              const std::string& password) {
    RunTreeOperation(ftp_.window, kTreeShown, [&] {
        engine.userName = userName;
        engine.password = password;
        engine.sourceUrl = address;
        if (!engine.OpenFtpTree())
            ShowWarning(engine.errorText, settings.ShowWarningDialogOnDownloadFailureSetting);
        if (ftp_.window)
            ftp_.window->ShowAddress(address);
    });
}

void COrdinexApp::ListFtpDirectory(TreeNodeId node, const std::string& address, bool hasChildren,
                                   bool clearList, const std::string& userName, const std::string& password) {
    RunTreeOperation(ftp_.window, kTreeShown, [&] {
        engine.userName = userName;
        engine.password = password;
        if (!engine.ListFtpDirectory(node, address, !hasChildren, true, clearList))
            ShowWarning(engine.errorText, settings.ShowWarningDialogOnDownloadFailureSetting);
    });
}

} // namespace ordinex
