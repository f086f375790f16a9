#pragma once
#include "job/job.h"
#include "job/wildcard_range.h"
#include "listing/tree_window_hooks.h"
#include "net/engine_host.h"
#include "net/internet_downloader.h"
#include "platform/ini_store.h"
#include "platform/instance_lock.h"
#include "platform/ui_hooks.h"
#include "runs/list_naming.h"
#include "runs/progress_meter.h"
#include "runs/run_report.h"
#include "settings/program_settings.h"
#include "settings/recent_files.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ordinex {

// The application object: owns the settings, the six ranges, the run state
// and the transfer engine, and carries out every run on the one thread. It
// reaches windows only through the interfaces of ui_hooks.h.
class IRunItems;
class ParallelRun;

class COrdinexApp : public IEngineHost {
    friend class ParallelRun;

public:
    COrdinexApp();
    ~COrdinexApp() override;
    COrdinexApp(const COrdinexApp&) = delete;
    COrdinexApp& operator=(const COrdinexApp&) = delete;

    // Windows and prompts; each may be null (then nothing is shown).
    void SetStatusView(IStatusView* view) { statusView_ = view; }
    void SetMessagePump(IMessagePump* pump) { pump_ = pump; }
    void SetPrompter(IPrompter* prompter) { prompter_ = prompter; }
    void SetBusyWindows(IBusyWindows* windows) { busyWindows_ = windows; }
    IStatusView* StatusView() const { return statusView_; }
    IPrompter* Prompter() const { return prompter_; }
    // A message box with OK and the information icon, when there is a prompter.
    void ShowMessage(const std::string& text);

    // ---- Start-up and shutdown (the parts without windows) ----
    enum class StartResult { Started, AlreadyRunning, Fatal };
    struct StartOutcome {
        StartResult result = StartResult::Started;
        std::string message; // the fatal message, or the already-running text
    };
    // Product name, single-instance lock, start directory, settings file,
    // settings, log. The caller shows the message and ends on anything but Started.
    StartOutcome InitCore();
    // Closes the log, saves the settings when start-up completed and no fatal
    // exit is under way, and releases the lock.
    void ExitCore();
    void MarkStartupComplete() {
        running = false;
        initDone = true;
    }
    void MarkFatalExit() { fatalExit = true; }
    // Shows the message with a stop icon and ends the process with exit code
    // 1; nothing is saved.
    [[noreturn]] void FatalExit(const std::string& message);
    // Settings, placements and the last job are written only when this holds.
    bool CanSaveState() const { return initDone && !fatalExit; }
    // The settings file in memory, read at start-up and written at exit.
    IniStore& Profile() { return profile_; }
    const std::string& SettingsPath() const { return settingsPath_; }
    // Loads "Ordinex.ini" from the current folder without taking the lock (ordinex-cli).
    void LoadSettingsFromCurrentDirectory();

    std::string productName;
    std::string startDirectory;
    bool initDone = false;
    bool fatalExit = false;

    ProgramSettings settings;
    std::array<WildCardRange, kRangeCount> ranges{};
    std::string urlTemplate;
    std::string folderTemplate;
    bool running = false;
    bool stopRequested = false;
    std::string warningText;
    std::string warningSubject; // the file or address warningText is about
    bool targetValid = true;
    std::string targetError;
    CInternetDownloader engine;
    RecentFileList recentFiles;

    // ---- Log file ----
    bool OpenLog(const std::string& path);
    void WriteLog(const std::string& text);
    void WriteLog(ClearText) {}
    void CloseLog();
    bool LogOpen() const { return logFile_ != nullptr; }

    // ---- Replacement ranges ----
    // True when the combination just processed was the last one.
    bool AdvanceRanges();
    // Product of the enabled ranges' counts, saturated; 1 when none is enabled.
    int64_t TotalCombinations() const;

    // ---- Target composition ----
    bool PrepareRun(const Job& job);
    std::string ReplacePlaceholders(const std::string& text) const;
    std::string ComposeSourceUrl();
    std::string ComposeDestinationPath();
    static bool FileExists(const std::string& path);
    static std::string CurrentDirPath(const std::string& name);
    // Whether path lies in a folder this run made (nothing from before in it).
    bool KnownFreshFolder(const std::string& path) const;
    // made (optional): whether the file's own folder was made just now.
    static bool CreateFolders(const std::string& path, bool* made = nullptr);
    static std::string FindExistingFolder(const std::string& path);
    // The first free "(n)" name, n up to kMaxUniqueNameTries; empty when all are taken.
    static std::string MakeUniqueFileName(const std::string& path);
    static constexpr int kMaxUniqueNameTries = 9999;
    static int CountUrlSegments(const std::string& url);
    static std::string GetUrlSegment(const std::string& url, int index);

    // ---- Download runs ----
    using RunSummary = ordinex::RunSummary;
    // The end-of-run text: the completion text, or the counts when anything
    // failed or was stopped.
    static std::string RunResultText(const RunSummary& summary);
    // The numbered-series run: prepares the ranges, then walks every combination.
    // With preflight, the checks before the first transfer come first (after
    // the ranges' set-up): a run that they end returns not started.
    RunSummary RunSeries(const Job& job, bool preflight = false);
    // Those checks: a placeholder whose range is not ticked and a first file
    // that does not answer are questions, a first address whose scheme is
    // refused and a destination folder that cannot be made or written end
    // the run with a message. False when the run is not to start.
    bool PreflightSeries(const Job& job);
    // The loop every download run shares: busy state, credentials, one pass
    // per item (targets, existing-file policy, transfer, warnings), end of run.
    RunSummary RunDownloadLoop(IRunItems& items, const std::string& userName, const std::string& password);
    // Its parts: the busy state and the credentials; one item's existing-file
    // policy, transfer and warning, false when the run ends there; the
    // counts, the result and leaving the busy state.
    void BeginDownloadRun(int64_t total, const std::string& userName, const std::string& password);
    bool DownloadItem(RunSummary& summary);
    void EndDownloadRun(RunSummary& summary);
    // A download run (not a listing or a page load) is in progress.
    bool DownloadRunInProgress() const { return metering_; }
    // What the last download run did, kept until the next one.
    const RunReport& LastRunReport() const { return report_; }
    // Runs exactly the files of the last run that failed or were stopped
    // again, with its credentials (their temporary files are continued).
    RunSummary RetryLastRun();

    // ---- The FTP tree & list window and the FTP-list run ----
    // The window registers its parts when created and clears them when destroyed.
    void AttachFtpWindow(const FtpWindowParts& parts);
    const FtpWindowParts& FtpWindow() const { return ftp_; }
    // Lists the tree down to the address and the address into the list (the
    // window exists); failures are warnings.
    void ShowFtpTree(const std::string& address, const std::string& userName, const std::string& password);
    // Lists a directory selected in the tree; its subdirectories go into the
    // tree only when the node has none yet.
    void ListFtpDirectory(TreeNodeId node, const std::string& address, bool hasChildren, bool clearList,
                          const std::string& userName, const std::string& password);
    // Source URL and destination path of the n-th selected FTP row (n from 1).
    std::string ComposeFtpItemUrl(int64_t n);
    std::string ComposeFtpItemPath(int64_t n, const std::string& folderBase);
    // A selected folder brings the files below it, this many levels deep at most.
    static constexpr int kMaxFolderDepth = 32;
    // Downloads the selected file rows of the FTP list; the job gives the
    // destination base and the credentials.
    RunSummary RunFtpList(const Job& job);
    // The end of both list runs' destinations: a path that cannot be stored
    // is reported (nothing is created), the folders of one that can are
    // created, and SaveSetting 2 gives an existing file's first free name.
    std::string PrepareListItemPath(const ListItemTarget& target);
    // After a list run over rows: each row the run reached shows its outcome.
    void ShowListOutcomes(IListSelection* rows, const RunSummary& summary,
                          std::string (COrdinexApp::*urlOf)(int64_t));

    // ---- The Link tree & list window and the Link-list run ----
    void AttachLinkWindow(const LinkWindowParts& parts);
    const LinkWindowParts& LinkWindow() const { return link_; }
    // Opens the page into tree and list (the window exists), then walks the
    // pages below it as deep as the settings say; failures are warnings.
    void ShowLinkTree(const std::string& address, const std::string& userName, const std::string& password);
    // Loads a page selected in the tree into the list; its pages go into the
    // tree only when the node has none yet.
    void ExpandLinkPage(TreeNodeId node, const std::string& address, bool hasChildren, bool addToList,
                        bool clearList, const std::string& userName, const std::string& password);
    // The depth walk below a page that was just expanded, as its own busy
    // period; the list is sorted again afterwards.
    void WalkLinkPages(TreeNodeId node);
    // Source URL and destination path of the n-th selected Link row (n from 1).
    std::string ComposeLinkItemUrl(int64_t n);
    std::string ComposeLinkItemPath(int64_t n, const std::string& folderBase);
    // Downloads the selected rows of the Link list that have a size; the job
    // gives the destination base and the credentials.
    RunSummary RunLinkList(const Job& job);
    // The Link-list run over addresses given by hand instead of the list's
    // selection (a file link of the browser): into the job's destination base
    // with the Link list's naming. Nothing while a run is in progress.
    RunSummary FetchLinkAddresses(const Job& job, const std::vector<std::string>& urls);

    // ---- Prompts ----
    int ShowWarning(const std::string& text, int32_t situationFlag);
    void ConfirmStep();

    // ---- Status and busy state ----
    void ShowTargets(const std::string& url, const std::string& destination);
    void ShowTargets(ClearText);
    void SetStatus(const std::string& text) override;
    void SetStatus(ClearText);
    void SetStatus2(const std::string& text) override;
    void SetStatus2(ClearText);
    void SetTransferText(const std::string& text) override;
    void SetTransferText(ClearText);
    void SetByteProgress(const std::string& text, int64_t range, int64_t position) override;
    void SetByteProgress(ClearText);
    void SetFileProgress(const std::string& text, int64_t range, int64_t position);
    void SetFileProgress(ClearText);
    void ShowTreeTarget(const std::string& address) override;
    void ShowTreeTarget(ClearText);
    void ShowLoadTarget(const std::string& address, const std::string& destination) override;
    void ShowLoadTarget(ClearText);
    void PumpOneMessage() override;
    void DrainMessages();
    void BeginBusy() override;
    void EndBusy() override;
    bool Busy() const override { return running; }
    // The Stop command.
    void RequestStop() { stopRequested = true; }

    bool StopRequested() const override { return stopRequested; }
    const ProgramSettings& Settings() const override { return settings; }

private:
    // A listing of the Link window begins: no troubles counted, no result shown.
    void BeginLinkListing();
    // The pages a listing could not read, or read only in part, as counted
    // by the engine: line 1019, the log and the result line under the form.
    void ShowLinkTroubles();

    IStatusView* statusView_ = nullptr;
    IMessagePump* pump_ = nullptr;
    IPrompter* prompter_ = nullptr;
    // The destination folder this run made itself (empty: none, or a file
    // failed since): nothing of an earlier attempt can wait in it.
    std::string madeFolder_;
    // The folder the previous file went to, found or made then: the next
    // file into it does not look for it again (a file's .part makes it again
    // should it have been taken away in between). Forgotten after a failure.
    std::string knownFolder_;
    bool folderAssumed_ = false; // the folder of the path composed last was not looked for
    IBusyWindows* busyWindows_ = nullptr;
    // The address (else the destination) the status lines show as the one
    // being worked on: what a warning is about.
    std::string shownTarget_;
    FtpWindowParts ftp_;
    LinkWindowParts link_;
    // The files of an FTP-list run whose selection held folders: directory
    // address and name, in run order (empty: the selected rows themselves).
    std::vector<std::pair<std::string, std::string>> ftpItems_;
    std::pair<std::string, std::string> FtpItem(int64_t n) const;
    // The files below a folder, walked down to kMaxFolderDepth; links to
    // folders are not entered, so that no walk goes round in circles.
    void CollectFolderFiles(const std::string& folderUrl, int depth);
    RunReport report_;
    ProgressMeter meter_;
    bool metering_ = false; // a download run feeds the meter
    std::string runUser_, runPassword_;
    // A row of the report for the current item.
    void ReportItem(RunReportRow::Outcome outcome, const std::string& reason);
    // The bracket of the tree windows' operations: work runs in the busy
    // state; then the window, if it is still open, sorts its list again, the
    // targets are cleared, doneText is shown and, still busy, last runs.
    void RunTreeOperation(ITreeListWindow* const& window, const char* doneText,
                          const std::function<void()>& work, const std::function<void()>& last = {});

    IniStore profile_;
    std::string settingsPath_;
    bool settingsFileUsable_ = true;
    InstanceLock instanceLock_;
    std::FILE* logFile_ = nullptr;
};

} // namespace ordinex
