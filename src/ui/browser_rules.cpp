#include "ui/browser_rules.h"

#include "platform/text_helpers.h"
#include "platform/url_test.h"
#include "platform/visible_text.h"
#include "ui/browser_texts.h"
#include "ui/command_ids.h"

#include <algorithm>
#include <cctype>

namespace ordinex::browser {

bool CommandAvailable(int command, const BrowserState& s) {
    const bool canUseAddress = !s.running && !s.addressEmpty;
    switch (command) {
    case cmd::kBrowserBack:
        return s.canGoBack;
    case cmd::kBrowserForward:
        return s.canGoForward;
    case cmd::kBrowserStop:
        return s.loading;
    case cmd::kBrowserReload:
        return true;
    case cmd::kBrowserToUrlFolder:
    case cmd::kBrowserToUrlFile:
    case cmd::kBrowserFtpTree:
    case cmd::kBrowserLinkTree:
        return canUseAddress;
    default:
        return false;
    }
}

bool AddressListTakes(const std::vector<std::string>& entries, const std::string& text) {
    if (text.empty())
        return false;
    const auto fold = [](unsigned char c) { return std::tolower(c); };
    return std::none_of(entries.begin(), entries.end(), [&](const std::string& entry) {
        return entry.size() >= text.size() &&
               std::equal(text.begin(), text.end(), entry.begin(), [&](char a, char b) {
                   return fold(static_cast<unsigned char>(a)) == fold(static_cast<unsigned char>(b));
               });
    });
}

std::string AddressToLoad(const std::string& text) {
    return IsUrlText(text) ? text : "http://" + text;
}

UrlBoxes SplitForUrlBoxes(const std::string& url) {
    const std::size_t scheme = url.find("://");
    const std::size_t pathFrom = scheme == std::string::npos ? 0 : scheme + 3;
    const std::size_t pathEnd = std::min(url.find_first_of("?#", pathFrom), url.size());
    const std::size_t slash = url.rfind('/', pathEnd == 0 ? 0 : pathEnd - 1);
    if (slash == std::string::npos || slash < pathFrom)
        return {url, ""};
    return {url.substr(0, slash + 1), url.substr(slash + 1)};
}

std::string FileLinkQuestion(const std::string& url, const std::string& folder) {
    using namespace browserwin;
    return std::string(kFileLinkIntro) + "\n" + VisibleText(MaskPasswords(url)) + "\n\n" + kFileLinkChoice +
           "\n" + kFileLinkFolder + (folder.empty() ? std::string(kNoFolderShown) : VisibleText(folder));
}

PageLoadBusy::Step PageLoadBusy::Enter() {
    held_ = true;
    idleTicks_ = 0;
    return Step::Enter;
}

PageLoadBusy::Step PageLoadBusy::LoadStarted(bool running) {
    stopping_ = false;
    if (held_ || running)
        return Step::None;
    return Enter();
}

PageLoadBusy::Step PageLoadBusy::LoadFinished(bool newerLoad) {
    stopping_ = false;
    if (!held_ || newerLoad)
        return Step::None;
    return Release();
}

PageLoadBusy::Step PageLoadBusy::Watch(bool loading, bool running, bool stopRequested) {
    if (!held_)
        // A load that began while something else ran takes the busy state
        // once that has ended.
        return loading && !running && !stopping_ ? Enter() : Step::None;
    if (stopRequested)
        return Stop();
    if (loading) {
        idleTicks_ = 0;
        return Step::None;
    }
    return ++idleTicks_ >= kIdleTicks ? Release() : Step::None;
}

PageLoadBusy::Step PageLoadBusy::Stop() {
    stopping_ = true;
    return Release();
}

PageLoadBusy::Step PageLoadBusy::Release() {
    if (!held_)
        return Step::None;
    held_ = false;
    return Step::Leave;
}

} // namespace ordinex::browser
