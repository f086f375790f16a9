#include "cli/terminal_display.h"

#include "platform/number_format.h"
#include "platform/visible_text.h"

#include <algorithm>
#include <sys/ioctl.h>
#include <unistd.h>

namespace ordinex::cli {

namespace {
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

int TerminalWidth(std::FILE* out) {
    winsize ws{};
    if (ioctl(fileno(out), TIOCGWINSZ, &ws) == 0 && ws.ws_col > 20)
        return ws.ws_col;
    return 80;
}

// Cuts a UTF-8 text to at most width columns (CJK counted as two).
std::string Fit(const std::string& text, int width) {
    std::string out;
    int cols = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        len = std::min(len, text.size() - i);
        const int w = (len >= 3 && !(b == 0xEF && i + 1 < text.size() &&
                                     static_cast<unsigned char>(text[i + 1]) >= 0xBD)) // half-width kana
                          ? 2
                          : 1;
        if (text[i] == '\n' || text[i] == '\r') {
            out += ' ';
            cols += 1;
            ++i;
            continue;
        }
        if (cols + w > width) {
            out += "…";
            break;
        }
        out.append(text, i, len);
        cols += w;
        i += len;
    }
    return out;
}
} // namespace

std::string ProgressBar(int64_t range, int64_t position, int width) {
    const double fraction =
        range > 0 ? std::clamp(static_cast<double>(position) / static_cast<double>(range), 0.0, 1.0) : 0.0;
    const int filled = static_cast<int>(fraction * width);
    std::string bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                      std::string(static_cast<std::size_t>(width - filled), '.') + "]";
    char pct[16];
    std::snprintf(pct, sizeof pct, " %3d%%", static_cast<int>(fraction * 100));
    return bar + pct;
}

TerminalDisplay::TerminalDisplay(std::FILE* out, bool live) : out_(out), live_(live) {
    // Plain lines are many per file: write them in blocks, flushed after a
    // file at most every kFlushInterval and whenever something went wrong,
    // instead of one call per line.
    if (!live_)
        std::setvbuf(out_, buffer_, _IOFBF, sizeof buffer_);
}

TerminalDisplay::~TerminalDisplay() {
    Finish();
    if (!live_) {
        std::fflush(out_);
        std::setvbuf(out_, nullptr, _IONBF, 0);
    }
}

void TerminalDisplay::SetUrlStatus(const std::string& text) {
    url_ = text;
    Redraw(false);
}

void TerminalDisplay::SetFolderStatus(const std::string& text) {
    folder_ = text;
    if (!live_ && !url_.empty())
        PrintPlain(url_ + (text.empty() ? "" : " " + text));
    Redraw(false);
}

void TerminalDisplay::SetStatusText(const std::string& text) {
    status_ = text;
    if (!live_ && !text.empty()) {
        PrintPlain(text);
        FlushIfDue();
    }
    Redraw(false);
}

void TerminalDisplay::SetStatusText2(const std::string& text) {
    status2_ = text;
    Redraw(false);
}

void TerminalDisplay::SetTransferStatus(const std::string& text) {
    transfer_ = text;
    if (!live_ && !text.empty()) {
        PrintPlain(text);
        std::fflush(out_);
    }
    Redraw(true);
}

std::string TerminalDisplay::SpeedText(int64_t position) {
    const auto now = std::chrono::steady_clock::now();
    if (position < speedBase_ || transferStart_ == std::chrono::steady_clock::time_point{}) {
        transferStart_ = now;
        speedBase_ = position;
        speed_ = 0;
    }
    const double seconds = std::chrono::duration<double>(now - transferStart_).count();
    if (seconds > 0.2)
        speed_ = static_cast<double>(position - speedBase_) / seconds;
    char buf[32];
    if (speed_ >= 1024.0 * 1024.0)
        std::snprintf(buf, sizeof buf, "%.1f MiB/s", speed_ / (1024.0 * 1024.0));
    else
        std::snprintf(buf, sizeof buf, "%.1f KiB/s", speed_ / 1024.0);
    return buf;
}

void TerminalDisplay::SetByteProgress(const std::string& text, int64_t range, int64_t position) {
    // Plain lines never show the bytes: a run of small files need not work out
    // speeds. A long transfer still lets the lines before it out.
    if (!live_) {
        FlushIfDue();
        return;
    }
    bytes_ = text + "  " + SpeedText(position);
    byteRange_ = range;
    bytePos_ = position;
    byteShown_ = true;
    Redraw(false);
}

void TerminalDisplay::ClearByteProgress() {
    byteShown_ = false;
    bytes_.clear();
    transferStart_ = {};
    Redraw(false);
}

void TerminalDisplay::SetFileProgress(const std::string& text, int64_t range, int64_t position) {
    files_ = text;
    fileRange_ = range;
    filePos_ = position;
    fileShown_ = true;
    // The run writes the count before and after each file: print each once.
    if (!live_ && position > 0 && text != lastPrintedFiles_) {
        lastPrintedFiles_ = text;
        PrintPlain(text);
        FlushIfDue();
    }
    Redraw(false);
}

void TerminalDisplay::ClearFileProgress() {
    fileShown_ = false;
    files_.clear();
    Redraw(false);
}

void TerminalDisplay::FlushIfDue() {
    // A reader of the log sees the lines within a twentieth of a second of the
    // next step; a run of small files does not pay a write for every one.
    const auto now = std::chrono::steady_clock::now();
    if (now - lastFlush_ >= kFlushInterval) {
        lastFlush_ = now;
        std::fflush(out_);
    }
}

void TerminalDisplay::PrintPlain(const std::string& line) {
    // Addresses and names come from servers: no control character reaches the terminal.
    std::fputs(VisibleText(line).c_str(), out_);
    std::fputc('\n', out_);
}

void TerminalDisplay::Redraw(bool force) {
    if (!live_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - lastDraw_ < kRedrawInterval)
        return;
    lastDraw_ = now;
    const int width = TerminalWidth(out_) - 1;
    std::string frame;
    if (drawnLines_ > 0)
        frame += "\x1b[" + std::to_string(drawnLines_) + "F"; // back to the first line of the area
    const std::string lines[] = {
        url_,
        folder_,
        status_,
        status2_,
        transfer_,
        byteShown_ ? ProgressBar(byteRange_, bytePos_, 20) + " " + bytes_ : "",
        fileShown_ ? ProgressBar(fileRange_, filePos_, 20) + " " + files_ : "",
    };
    for (const auto& line : lines)
        frame += "\x1b[2K" + Fit(VisibleText(line), width) + "\n";
    drawnLines_ = static_cast<int>(std::size(lines));
    std::fputs(frame.c_str(), out_);
    std::fflush(out_);
}

void TerminalDisplay::Finish() {
    if (live_ && drawnLines_ > 0)
        Redraw(true);
    std::fflush(out_);
}

} // namespace ordinex::cli
