#include "app/parallel_run.h"

#include "platform/fiber_pool.h"
#include "platform/number_format.h"
#include "platform/text_helpers.h"
#include "runs/run_items.h"

#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace ordinex {

namespace {
// Files finished ahead of a slow one wait in memory; this many per file in
// flight at most, so that one huge file cannot make the run hold thousands.
constexpr std::size_t kWaitingPerTransfer = 64;
constexpr int kPollMilliseconds = 15;
constexpr std::chrono::milliseconds kShowEvery{40};

std::string FileProgressText(int64_t done, int64_t total) {
    return std::to_string(done) + " / " + IntToText(total) + " Files";
}
} // namespace

// What a file's transfer says, kept for its block; the run's stop and
// settings are the application's.
class ParallelRun::FileHost final : public IEngineHost {
public:
    enum class Kind { Status, Status2, Transfer };
    struct Line {
        Kind kind;
        std::string text;
    };
    FileHost(COrdinexApp& app, const bool& ending) : app_(app), ending_(ending) {}
    void SetStatus(const std::string& text) override { lines.push_back({Kind::Status, text}); }
    void SetStatus2(const std::string& text) override { lines.push_back({Kind::Status2, text}); }
    void SetTransferText(const std::string& text) override { lines.push_back({Kind::Transfer, text}); }
    void SetByteProgress(const std::string&, int64_t range, int64_t position) override {
        bytes = position;
        size = range;
    }
    void ShowTreeTarget(const std::string&) override {}
    void PumpOneMessage() override {} // the run's loop does, once per round for all
    bool StopRequested() const override { return app_.stopRequested || ending_; }
    const ProgramSettings& Settings() const override { return app_.settings; }

    std::vector<Line> lines;
    int64_t bytes = 0;
    int64_t size = 0; // 0 until the server has said it

private:
    COrdinexApp& app_;
    const bool& ending_;
};

struct ParallelRun::Slot {
    enum class Kind { Transfer, Skipped, Invalid };
    Kind kind = Kind::Transfer;
    std::string url, destination, invalidText;
    std::unique_ptr<FileHost> host;
    std::unique_ptr<CInternetDownloader> engine;
    bool saved = false;
    bool finished = false;
    bool Finished() const { return finished; }
};

ParallelRun::ParallelRun(COrdinexApp& app, IRunItems& items, int parallel)
    : app_(app), items_(items), parallel_(static_cast<std::size_t>(std::max(1, parallel))),
      workers_(std::make_unique<FiberPool>(parallel_)) {}

ParallelRun::~ParallelRun() = default;

bool ParallelRun::Claimed(const std::string& path) const {
    return std::any_of(window_.begin(), window_.end(), [&](const std::unique_ptr<Slot>& s) {
        return !s->Finished() && s->destination == path;
    });
}

bool ParallelRun::WarningWouldAsk(int32_t situationFlag) const {
    const ProgramSettings& s = app_.settings;
    return app_.Prompter() &&
           ((s.PauseForConfirm && s.PauseByWarning) || (s.ShowWarningDialogSetting && situationFlag));
}

void ParallelRun::Run(COrdinexApp::RunSummary& summary) {
#ifdef __GLIBC__
    // libcurl takes a receive buffer for each transfer and gives it back at
    // its end. With several at once the freed buffers would go back to the
    // system and come again as fresh pages for every file, which cost more
    // than the transfers on a fast link: the heap keeps them instead.
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
    mallopt(M_TRIM_THRESHOLD, 32 << 20);
#endif
    const int64_t total = items_.Total();
    more_ = total > 0;
    ConnectionCache& cache = app_.engine.Connections();
    cache.SetDriven(true, static_cast<int>(parallel_));
    // While a question is open the files in flight go on; none starts and
    // none is reported until it is answered.
    IPrompter* prompter = app_.Prompter();
    if (prompter)
        prompter->SetWorkWhileOpen([this, &cache] {
            cache.Drive();
            workers_->ResumeBusy();
            ShowRunBytes();
        });
    for (;;) {
        app_.PumpOneMessage();
        const auto running = [&] {
            return static_cast<std::size_t>(
                std::count_if(window_.begin(), window_.end(), [](const auto& s) { return !s->Finished(); }));
        };
        while (more_ && !ending_ && !app_.stopRequested && running() < parallel_ &&
               window_.size() < parallel_ * kWaitingPerTransfer && StartNext(summary)) {
        }
        if (window_.empty() && (!more_ || ending_ || app_.stopRequested))
            break;
        cache.Drive();
        workers_->ResumeBusy();
        while (!window_.empty() && window_.front()->Finished()) {
            if (!Report(*window_.front(), summary))
                ending_ = true;
            window_.pop_front();
        }
        ShowRunBytes();
        cache.WaitForActivity(kPollMilliseconds);
    }
    if (prompter)
        prompter->SetWorkWhileOpen(nullptr);
    cache.SetDriven(false);
}

bool ParallelRun::StartNext(COrdinexApp::RunSummary& summary) {
    app_.targetValid = true;
    items_.Compose(next_);
    const bool slotFolderAssumed = app_.folderAssumed_;
    auto slot = std::make_unique<Slot>();
    slot->url = app_.engine.sourceUrl;
    slot->destination = app_.engine.destinationPath;
    const ProgramSettings& s = app_.settings;
    if (!app_.targetValid) {
        slot->kind = Slot::Kind::Invalid;
        slot->invalidText = app_.targetError;
    } else if (Claimed(slot->destination)) {
        // Decided once the file writing it is done, as one after the other.
        return false;
    }
    const bool exists = app_.targetValid && COrdinexApp::FileExists(slot->destination);
    const bool pause = s.PauseByFileDownload && s.PauseForConfirm && app_.Prompter();
    const bool asks =
        exists && s.SaveSetting == 1 && WarningWouldAsk(s.ShowWarningDialogOnOverwriteSaveSetting);
    if (pause || asks) {
        // A question is about the earliest file that needs one: the files
        // before it are reported first.
        if (!window_.empty())
            return false;
        app_.ShowTargets(slot->url, slot->destination);
        app_.SetFileProgress(FileProgressText(summary.processed, items_.Total()), items_.Total(),
                             summary.processed);
        if (pause)
            app_.ConfirmStep();
    }
    slot->host = std::make_unique<FileHost>(app_, ending_);
    if (exists && slot->kind == Slot::Kind::Transfer) {
        slot->host->SetStatus("保存先にファイルが存在します");
        if (s.SaveSetting == 0) {
            slot->host->SetStatus("ファイルのダウンロード中止");
            slot->kind = Slot::Kind::Skipped;
        } else if (s.SaveSetting == 1) {
            if (asks) {
                app_.SetStatus("保存先にファイルが存在します");
                const int answer = app_.ShowWarning(slot->destination + "を上書き保存します",
                                                    s.ShowWarningDialogOnOverwriteSaveSetting);
                if (answer == kAnswerYes || answer == kAnswerOk) {
                    ending_ = true;
                    return false;
                }
            }
            slot->host->SetStatus("ファイルを上書き保存します");
        }
    }
    if (slot->kind == Slot::Kind::Transfer) {
        slot->engine = std::make_unique<CInternetDownloader>(slot->host.get(), app_.engine);
        slot->engine->userName = app_.engine.userName;
        slot->engine->password = app_.engine.password;
        slot->engine->sourceUrl = slot->url;
        slot->engine->destinationPath = slot->destination;
        slot->engine->destinationAbsent = !exists;
        slot->engine->leftoverAbsent = !exists && app_.KnownFreshFolder(slot->destination);
        slot->engine->folderAssumed = slotFolderAssumed;
        Slot* raw = slot.get();
        if (!workers_->Start([this, raw] {
                raw->saved = raw->engine->DownloadFile();
                raw->finished = true;
                // It may have left a .part in the folder the run made: the
                // next file to start looks for leftovers again.
                if (!raw->saved) {
                    app_.madeFolder_.clear();
                    app_.knownFolder_.clear();
                }
            })) {
            slot->engine.reset();
            slot->kind = Slot::Kind::Invalid;
            slot->invalidText = "同時ダウンロードのためのメモリを確保できませんでした";
        }
    }
    if (slot->kind != Slot::Kind::Transfer)
        slot->finished = true;
    window_.push_back(std::move(slot));
    ++next_;
    more_ = !items_.Advance();
    return true;
}

bool ParallelRun::Report(Slot& slot, COrdinexApp::RunSummary& summary) {
    const int64_t total = items_.Total();
    // The report's row and the log name this file.
    app_.engine.sourceUrl = slot.url;
    app_.engine.destinationPath = slot.destination;
    app_.ShowTargets(slot.url, slot.destination);
    app_.SetStatus(kClear);
    app_.SetStatus2(kClear);
    app_.SetTransferText(kClear);
    app_.SetFileProgress(FileProgressText(summary.processed, total), total, summary.processed);
    for (const FileHost::Line& line : slot.host ? slot.host->lines : std::vector<FileHost::Line>{}) {
        switch (line.kind) {
        case FileHost::Kind::Status:
            app_.SetStatus(line.text);
            break;
        case FileHost::Kind::Status2:
            app_.SetStatus2(line.text);
            break;
        case FileHost::Kind::Transfer:
            app_.SetTransferText(line.text);
            break;
        }
    }
    // After a stop, or once the run is ending, nothing more is asked.
    const bool mayAsk = !ending_ && !app_.stopRequested;
    int answer = kAnswerNo;
    bool goOn = true;
    int64_t bytes = 0;
    switch (slot.kind) {
    case Slot::Kind::Skipped:
        ++summary.skipped;
        app_.ReportItem(RunReportRow::Outcome::Skipped, "保存先にファイルが存在します");
        break;
    case Slot::Kind::Invalid:
        ++summary.failed;
        app_.ReportItem(RunReportRow::Outcome::Failed, slot.invalidText);
        if (mayAsk)
            answer =
                app_.ShowWarning(slot.invalidText, app_.settings.ShowWarningDialogOnIllegalUrlFolderSetting);
        break;
    case Slot::Kind::Transfer: {
        const CInternetDownloader& e = *slot.engine;
        bytes = e.bytesReceived;
        if (slot.saved) {
            const bool empty = e.fileOutcome == CInternetDownloader::FileOutcome::SkippedEmpty;
            ++(empty ? summary.skipped : summary.done);
            if (empty)
                app_.ReportItem(RunReportRow::Outcome::Skipped, "0バイトのファイルのため保存しませんでした");
        } else if (e.fileOutcome == CInternetDownloader::FileOutcome::Stopped) {
            app_.ReportItem(RunReportRow::Outcome::Stopped, e.errorText);
            goOn = false;
        } else {
            ++summary.failed;
            app_.ReportItem(RunReportRow::Outcome::Failed, e.errorText);
            if (mayAsk)
                answer =
                    app_.ShowWarning(e.errorText, app_.settings.ShowWarningDialogOnDownloadFailureSetting);
        }
        break;
    }
    }
    app_.meter_.StartFile(ProgressMeter::Clock::now());
    if (goOn)
        ++summary.processed;
    app_.meter_.FileDone(bytes, summary.processed);
    app_.SetStatus(kClear);
    app_.SetFileProgress(FileProgressText(summary.processed, total), total, summary.processed);
    slot.engine.reset();
    return answer != kAnswerYes && answer != kAnswerOk;
}

void ParallelRun::ShowRunBytes() {
    // The window paints its lines at a bounded rate anyway; working the line
    // out every round of the loop would cost more than that on a fast link.
    const auto now = std::chrono::steady_clock::now();
    if (now - shownAt_ < kShowEvery)
        return;
    shownAt_ = now;
    // The byte line is the run's: what the reported files brought and what
    // the files in flight have brought so far.
    // The bar is that of the files in flight whose sizes are known.
    int64_t bytes = app_.meter_.RunBytes();
    int64_t flightBytes = 0, flightSize = 0;
    std::size_t inFlight = 0;
    for (const auto& slot : window_) {
        if (slot->host && slot->kind == Slot::Kind::Transfer) {
            bytes += slot->host->bytes;
            if (!slot->Finished() && slot->host->size > 0) {
                flightBytes += std::min(slot->host->bytes, slot->host->size);
                flightSize += slot->host->size;
            }
        }
        inFlight += slot->Finished() ? 0 : 1;
    }
    if (bytes == shownBytes_ || !app_.StatusView())
        return;
    shownBytes_ = bytes;
    app_.StatusView()->SetByteProgress(GroupDigits(bytes) + " byte (同時 " + std::to_string(inFlight) +
                                           " ファイル)",
                                       flightSize, flightBytes);
    const ProgressDetail detail = app_.meter_.Detail(ProgressMeter::Clock::now());
    app_.StatusView()->SetProgressDetail("", detail.run, detail.percent);
}

} // namespace ordinex
