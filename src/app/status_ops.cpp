#include "app/ordinex_app.h"
#include "platform/text_helpers.h"

namespace ordinex {

// Ordinary writes may pause for confirmation; clearing writes never do.
// Texts that may hold an address have its password masked here, on their
// way to the form, the terminal and the log.

void COrdinexApp::ShowTargets(const std::string& rawUrl, const std::string& destination) {
    const std::string url = MaskPasswords(rawUrl);
    shownTarget_ = url.empty() ? destination : url;
    if (statusView_) {
        if (!url.empty() && !destination.empty()) {
            statusView_->SetUrlStatus(url + " を");
            statusView_->SetFolderStatus(destination + " に保存");
        } else if (url.empty() && destination.empty()) {
            statusView_->SetUrlStatus("");
            statusView_->SetFolderStatus("");
        } else if (!url.empty()) {
            statusView_->SetUrlStatus("(URL) " + url);
            statusView_->SetFolderStatus("(保存先) ");
        } else {
            statusView_->SetUrlStatus("(URL) ");
            statusView_->SetFolderStatus("(保存先) " + destination);
        }
    }
    if (settings.PauseByStatus)
        ConfirmStep();
}

void COrdinexApp::ShowTargets(ClearText) {
    shownTarget_.clear();
    if (statusView_) {
        statusView_->SetUrlStatus("");
        statusView_->SetFolderStatus("");
    }
}

void COrdinexApp::SetStatus(const std::string& text) {
    if (statusView_)
        statusView_->SetStatusText(MaskPasswords(text));
    if (settings.PauseByStatus)
        ConfirmStep();
}

void COrdinexApp::SetStatus(ClearText) {
    if (statusView_)
        statusView_->SetStatusText("");
}

void COrdinexApp::SetStatus2(const std::string& text) {
    if (statusView_)
        statusView_->SetStatusText2(text);
    if (settings.PauseByStatus)
        ConfirmStep();
}

void COrdinexApp::SetStatus2(ClearText) {
    if (statusView_)
        statusView_->SetStatusText2("");
}

void COrdinexApp::SetTransferText(const std::string& text) {
    if (statusView_)
        statusView_->SetTransferStatus(MaskPasswords(text));
    WriteLog(text);
    if (settings.PauseByStatus)
        ConfirmStep();
}

void COrdinexApp::SetTransferText(ClearText) {
    if (statusView_)
        statusView_->SetTransferStatus("");
}

void COrdinexApp::SetByteProgress(const std::string& text, int64_t range, int64_t position) {
    if (statusView_)
        statusView_->SetByteProgress(text, range, position);
    if (metering_ && statusView_) {
        const auto now = ProgressMeter::Clock::now();
        meter_.FileProgress(position, range, now);
        const ProgressDetail detail = meter_.Detail(now);
        statusView_->SetProgressDetail(detail.file, detail.run, detail.percent);
    }
    if (settings.PauseByDownload)
        ConfirmStep();
}

void COrdinexApp::SetByteProgress(ClearText) {
    if (statusView_)
        statusView_->ClearByteProgress();
}

void COrdinexApp::SetFileProgress(const std::string& text, int64_t range, int64_t position) {
    if (statusView_)
        statusView_->SetFileProgress(text, range, position);
}

void COrdinexApp::SetFileProgress(ClearText) {
    if (statusView_)
        statusView_->ClearFileProgress();
}

void COrdinexApp::ShowTreeTarget(const std::string& rawAddress) {
    const std::string address = MaskPasswords(rawAddress);
    shownTarget_ = address;
    if (statusView_) {
        statusView_->SetUrlStatus(address.empty() ? std::string() : address + " をツリー表示");
        statusView_->SetFolderStatus("");
    }
    WriteLog("<*><*><*>");
    WriteLog(address);
    if (settings.PauseByStatus)
        ConfirmStep();
}

void COrdinexApp::ShowTreeTarget(ClearText) {
    shownTarget_.clear();
    if (statusView_) {
        statusView_->SetUrlStatus("");
        statusView_->SetFolderStatus("");
    }
    // The marker line is logged by every call, the clearing one included.
    WriteLog("<*><*><*>");
}

void COrdinexApp::ShowLoadTarget(const std::string& rawAddress, const std::string& destination) {
    const std::string address = MaskPasswords(rawAddress);
    if (address.empty()) {
        ShowLoadTarget(kClear);
        return;
    }
    shownTarget_ = address;
    if (statusView_) {
        if (!destination.empty()) {
            statusView_->SetUrlStatus(address + " を");
            statusView_->SetFolderStatus(destination + " にロード");
        } else {
            statusView_->SetUrlStatus(address + " をロード");
            statusView_->SetFolderStatus("");
        }
    }
    WriteLog("<*><*><*>");
    WriteLog(address);
    if (settings.PauseByStatus)
        ConfirmStep();
}

void COrdinexApp::ShowLoadTarget(ClearText) {
    shownTarget_.clear();
    if (statusView_) {
        statusView_->SetUrlStatus("");
        statusView_->SetFolderStatus("");
    }
}

void COrdinexApp::PumpOneMessage() {
    if (pump_)
        pump_->PumpOneMessage();
}

void COrdinexApp::DrainMessages() {
    if (pump_)
        pump_->DrainMessages();
}

void COrdinexApp::BeginBusy() {
    stopRequested = false;
    running = true;
    if (busyWindows_)
        busyWindows_->EnterBusy();
    if (ftp_.window)
        ftp_.window->SetEnabled(false);
    if (link_.window)
        link_.window->SetEnabled(false);
    if (busyWindows_)
        busyWindows_->SetRunLayout(true);
}

void COrdinexApp::EndBusy() {
    // The form takes its idle layout before the queued input is worked off,
    // which still meets disabled controls; the window is then painted once,
    // at its final size. The run's last status writes are not put on the
    // screen first: leaving the busy state empties the status area.
    if (busyWindows_)
        busyWindows_->SetRunLayout(false);
    DrainMessages();
    running = false;
    if (busyWindows_)
        busyWindows_->LeaveBusy();
    if (ftp_.window)
        ftp_.window->SetEnabled(true);
    if (link_.window)
        link_.window->SetEnabled(true);
}

} // namespace ordinex
