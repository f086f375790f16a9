#pragma once
#include <string>
#include <vector>

namespace ordinex::browser {

// What the browser's commands look at.
struct BrowserState {
    bool running = false;     // a run, a listing or a page load holds the busy state
    bool addressEmpty = true; // the address box holds only blanks
    bool canGoBack = false;   // the view's history
    bool canGoForward = false;
    bool loading = false; // the view is loading a page
};

// Whether a browser command (cmd::kBrowser...) is available.
bool CommandAvailable(int command, const BrowserState& state);

// Whether a text joins the address list: not when it is empty, nor when an
// entry already begins with it (letters compared without case).
bool AddressListTakes(const std::vector<std::string>& entries, const std::string& text);

// What the view loads for a typed address: one without a scheme is taken
// for a web address.
std::string AddressToLoad(const std::string& text);

// A file's address split for the form's two URL boxes at the last "/" of
// its path (a "/" in the query or fragment does not count): the base keeps
// the "/", so that the two composed give the address again.
struct UrlBoxes {
    std::string base;
    std::string expansion;
};
UrlBoxes SplitForUrlBoxes(const std::string& url);

// The question a file link raises: its address (password masked) and the
// folder a download now would go to.
std::string FileLinkQuestion(const std::string& url, const std::string& folder);

// The busy state that a page load holds. A page load enters it when it
// starts while nothing else runs, and leaves it however it ends: loaded,
// failed, stopped, turned into a download, or the window closed. Frames
// and redirects inside the page do not count; a watch tick catches an end
// the view never reported, and a stop request of the main window.
class PageLoadBusy {
public:
    enum class Step { None, Enter, Leave };
    // Watch ticks in a row without a load before the busy state is let go.
    static constexpr int kIdleTicks = 2;

    // The view began to load a page; running: the busy state is already taken.
    Step LoadStarted(bool running);
    // The view finished a page load; newerLoad: another one has begun since.
    Step LoadFinished(bool newerLoad);
    // Periodic look at the view and the application. A stop request of the
    // application lets go as Stop does; the caller stops the view then.
    Step Watch(bool loading, bool running, bool stopRequested);
    // The Stop command: let go now; the load being stopped does not take the
    // busy state again while it winds down.
    Step Stop();
    // The window is closing: let go now.
    Step Release();
    bool Held() const { return held_; }

private:
    Step Enter();
    bool held_ = false;
    bool stopping_ = false;
    int idleTicks_ = 0;
};

} // namespace ordinex::browser
