#include "app/ordinex_app.h"

#include "net/url_cracker.h"
#include "platform/file_error_text.h"
#include "platform/file_system.h"
#include "platform/text_encoding.h"
#include "platform/text_helpers.h"
#include "platform/url_test.h"
#include "platform/visible_text.h"
#include "runs/target_composition.h"

#include <cctype>
#include <unistd.h>

namespace ordinex {

namespace {

// Whether a text uses a placeholder character. In an address "%" before two
// hexadecimal digits is an escape and the "?" that begins a query with
// "name=value" pairs is the query's: neither is a forgotten range.
bool UsesPlaceholder(const std::string& text, char placeholder, bool address) {
    bool queryBegun = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != placeholder)
            continue;
        if (placeholder == '%' && i + 2 < text.size() &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2])))
            continue;
        if (address && placeholder == '?' && !queryBegun && text.find('=', i) != std::string::npos) {
            queryBegun = true;
            continue;
        }
        return true;
    }
    return false;
}

// Why no file can be stored at path: its folder cannot be made or written
// (empty when it can, as far as can be told without making anything).
std::string FolderProblem(const std::string& path) {
    if (path.empty() || path.front() != '/' || HasControlChars(path))
        return ReplaceControlChars(path) + kBadFileNameSuffix;
    const std::string folder = SplitPath(path).folder;
    const std::string existing = COrdinexApp::FindExistingFolder(folder);
    if (existing != folder) {
        const std::string rest = folder.substr(existing.size());
        const std::string blocker = existing + rest.substr(0, rest.find('/'));
        if (PathExists(blocker))
            return "保存先フォルダを作れません: " + blocker + " はフォルダではありません";
    }
    if (::access(existing.c_str(), W_OK | X_OK) != 0)
        return "保存先フォルダに書き込めません: " + FileErrorText(errno, existing);
    return {};
}

} // namespace

bool COrdinexApp::PreflightSeries(const Job& job) {
    IPrompter* prompter = Prompter();
    auto ask = [&](const std::string& text) {
        return prompter &&
               prompter->MessageBox(text + "\n\nこのままダウンロードを始めますか?", MessageButtons::YesNo,
                                    MessageIcon::Exclamation, true) == kAnswerYes;
    };
    // A placeholder typed without its range would be fetched as it stands.
    std::string unticked;
    for (int k = 0; k < kRangeCount; ++k) {
        const char c = RangePlaceholder(k);
        if (!job.ranges[k].check &&
            (UsesPlaceholder(urlTemplate, c, true) || UsesPlaceholder(folderTemplate, c, false)))
            unticked += std::string(unticked.empty() ? "" : "、") + "「" + c + "」";
    }
    if (!unticked.empty() && !ask("URLか保存先に置換文字 " + unticked +
                                  " がありますが、その置換文字にチェックがありません。\nこのままでは文字どお"
                                  "りのURLとフォルダ名が使われます。"))
        return false;

    const std::string url = ReplacePlaceholders(urlTemplate);
    const std::string path = ReplacePlaceholders(folderTemplate);
    CrackedUrl parts;
    if (!IsUrlText(url) || !CrackUrl(url, parts)) {
        ShowMessage(VisibleText(url) + kBadUrlSuffix);
        return false;
    }
    const bool https = parts.serviceType == kServiceHttps;
    if (!(parts.serviceType == kServiceFtp || parts.serviceType == kServiceHttp ||
          (https && settings.UseHttpsSetting != 0))) {
        ShowMessage(VisibleText(MaskPasswords(url)) + "\n" +
                    CInternetDownloader::UnsupportedServiceText(parts.serviceType));
        return false;
    }
    if (const std::string problem = FolderProblem(path); !problem.empty()) {
        ShowMessage(problem);
        return false;
    }

    // The first file is asked for once: a wrong address fails here in one
    // message instead of in a warning per file.
    BeginBusy();
    engine.userName = TrimBlanks(job.userName);
    engine.password = TrimBlanks(job.password);
    ShowTargets(url, path);
    const bool answered = engine.ProbeFile(url);
    const bool stopped = stopRequested;
    const std::string reason = engine.errorText;
    ShowTargets(kClear);
    EndBusy();
    if (stopped)
        return false;
    return answered || ask("最初のファイル " + VisibleText(MaskPasswords(url)) +
                           " を確認できませんでした:\n" + VisibleText(reason));
}

} // namespace ordinex
