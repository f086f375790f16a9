#pragma once
#include "platform/ui_hooks.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace ordinex::cli {

// The status area on a terminal. On a terminal the lines are redrawn in
// place (targets, status, transfer text, bytes with speed, files done); when
// standard error is a file or a pipe, changes are printed as plain lines.
class TerminalDisplay : public IStatusView {
public:
    explicit TerminalDisplay(std::FILE* out, bool live);
    ~TerminalDisplay() override;

    void SetUrlStatus(const std::string& text) override;
    void SetFolderStatus(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    void SetStatusText2(const std::string& text) override;
    void SetTransferStatus(const std::string& text) override;
    void SetByteProgress(const std::string& text, int64_t range, int64_t position) override;
    void ClearByteProgress() override;
    void SetFileProgress(const std::string& text, int64_t range, int64_t position) override;
    void ClearFileProgress() override;

    // Draws the live area once more and leaves the cursor below it.
    void Finish();

private:
    void Redraw(bool force);
    void PrintPlain(const std::string& line);
    std::string SpeedText(int64_t position);

    std::FILE* out_;
    bool live_;
    char buffer_[64 * 1024];
    int drawnLines_ = 0;
    std::chrono::steady_clock::time_point lastDraw_{};
    void FlushIfDue();
    static constexpr std::chrono::milliseconds kFlushInterval{50};
    std::chrono::steady_clock::time_point lastFlush_{};
    std::string url_, folder_, status_, status2_, transfer_, bytes_, files_;
    std::string lastPrintedFiles_;
    int64_t byteRange_ = 0, bytePos_ = 0, fileRange_ = 0, filePos_ = 0;
    bool byteShown_ = false, fileShown_ = false;
    std::chrono::steady_clock::time_point transferStart_{};
    int64_t speedBase_ = 0;
    double speed_ = 0;
};

// A text progress bar of the given width, e.g. "[#####.....]  50%".
std::string ProgressBar(int64_t range, int64_t position, int width);

} // namespace ordinex::cli
