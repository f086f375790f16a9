#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace ordinex {

// The small interfaces through which the core reaches the windows. The GUI
// implements them with the main form, the frame and dialogs; ordinex-cli with
// a terminal display; tests with recorders. Every one may be absent.

// Tag for a clearing write: it blanks a status line and never pauses, unlike
// an ordinary write of an empty text.
struct ClearText {};
inline constexpr ClearText kClear{};

// The main form's status area.
class IStatusView {
public:
    virtual ~IStatusView() = default;
    virtual void SetUrlStatus(const std::string& text) = 0;      // line 1007
    virtual void SetFolderStatus(const std::string& text) = 0;   // line 1008
    virtual void SetStatusText(const std::string& text) = 0;     // line 1006
    virtual void SetStatusText2(const std::string& text) = 0;    // line 1011
    virtual void SetTransferStatus(const std::string& text) = 0; // line 1019
    virtual void SetByteProgress(const std::string& text, int64_t range,
                                 int64_t position) = 0; // 1013, bar 1024
    virtual void ClearByteProgress() = 0;
    virtual void SetFileProgress(const std::string& text, int64_t range,
                                 int64_t position) = 0; // 1018, bar 1026
    virtual void ClearFileProgress() = 0;
    // A view may put the writes of a run on the screen at a bounded rate;
    // this puts whatever it holds back there now: before the user is asked
    // something, and when the run ends.
    virtual void ShowPending() {}
    // The result of a run (or the troubles of a listing), for the idle
    // window after it (empty: none). The next run and any edit of the job
    // take it away.
    virtual void ShowRunResult(const std::string&) {}
    // Beside the byte and file lines while a download run lasts: the file's
    // percent, speed and time left, the files done with the run's speed, and
    // the run's percent (-1: unknown). Empty texts clear them.
    virtual void SetProgressDetail(const std::string& /*file*/, const std::string& /*run*/, int /*percent*/) {
    }
    // A download run has ended after that many seconds; result as shown.
    virtual void RunEnded(const std::string& /*result*/, double /*seconds*/) {}
};

// Keeps the windows alive during long work on the one thread.
class IMessagePump {
public:
    virtual ~IMessagePump() = default;
    // Dispatches at most one pending event; never waits.
    virtual void PumpOneMessage() = 0;
    // Dispatches the queued input and window events; the windows' own
    // painting may be left for when the caller returns to the event loop.
    virtual void DrainMessages() = 0;
};

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { Information, Exclamation, Stop };

// Answers of prompts.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2; // also: nothing was shown
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

class IPrompter {
public:
    virtual ~IPrompter() = default;
    // A modal message box; returns the button pressed (1, 2, 6 or 7).
    virtual int MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon,
                           bool defaultNo = false) = 0;
    // The self-closing warning dialog; returns 6, 7, or 2 on Escape. subject
    // names the file or address the warning is about (empty: none known).
    virtual int WarningDialog(const std::string& text, const std::string& subject) = 0;
    // Redraws the main frame at once after a prompt closed.
    virtual void RepaintMainFrame() = 0;
    // Sends the close request to the main window, then ends the process with
    // exit code 1 without the normal shut-down. While a run is in progress
    // it returns: the run stops, and the window closes once it has.
    virtual void CloseMainWindowAndExit() = 0;

    // Work that goes on while a prompt is open (the transfers already in
    // flight in a parallel run): a prompt calls DoWorkWhileOpen every few
    // milliseconds from its own event loop until it closes. Empty: none.
    void SetWorkWhileOpen(std::function<void()> work) { workWhileOpen_ = std::move(work); }
    bool HasWorkWhileOpen() const { return static_cast<bool>(workWhileOpen_); }
    void DoWorkWhileOpen() const {
        if (workWhileOpen_)
            workWhileOpen_();
    }

private:
    std::function<void()> workWhileOpen_;
};

// The windows' side of the busy state.
class IBusyWindows {
public:
    virtual ~IBusyWindows() = default;
    // The form disables its inputs but Stop, the frame its commands, the tree
    // windows their panes; the form empties its status area.
    virtual void EnterBusy() = 0;
    // The frame grows (busy) or shrinks back and repaints.
    virtual void SetRunLayout(bool busy) = 0;
    // Everything is enabled again by its own rules.
    virtual void LeaveBusy() = 0;
    virtual void ShowBusyAnimation() = 0;
    virtual void DestroyBusyAnimation() = 0;
};

} // namespace ordinex
