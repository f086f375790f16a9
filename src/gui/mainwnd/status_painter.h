#pragma once
#include <wx/longlong.h>
#include <wx/timer.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

class wxWindow;

namespace ordinex {

// Puts what the runs write into the form's status area on the screen. While
// a run is in progress (held) every write is kept, in order, but the
// controls are set at most once per kInterval, counted from the start of the
// run: the first write after a quiet spell at once, the rest when the
// interval has passed (a timer, served by the run's own message pump). A run
// of a thousand small files then spends its time on the files rather than on
// labels and bars the eye could not follow anyway, and a run that ends
// within the first interval sets none of them. Outside runs every write
// shows at once.
class CStatusPainter {
public:
    static constexpr int kIntervalMs = 50;

    // parts: the form's controls by id; lines are wxStaticText, bars wxGauge.
    CStatusPainter(wxWindow& owner, const std::map<int, wxWindow*>& parts);

    void SetText(int id, const std::string& text);
    // An ordinary progress write shows the bar; a clearing one hides it.
    void SetBar(int barId, int64_t range, int64_t position);
    void HideBar(int barId);
    // The texts beside the two progress lines and the run's percent (-1:
    // none) for the window title, as one write; the listener gets the
    // percent when it is put on the screen, with the texts and bars.
    void SetDetails(int fileId, const std::string& file, int runId, const std::string& run, int percent);
    void SetPercentListener(std::function<void(int)> listener) { percentListener_ = std::move(listener); }
    // Held: writes show at the bounded rate. Letting go shows what is held.
    void Hold(bool hold);
    // Held out of sight: writes are kept and nothing is set until Hold or
    // ShowPending is called.
    void HoldHidden();
    // Sets every control that is behind its last write.
    void ShowPending();

private:
    struct Text {
        std::string text;
        bool pending = false;
    };
    struct Bar {
        bool shown = false;
        int64_t range = 0, position = 0;
        bool pending = false;
    };
    void Written();
    void Keep(int id, const std::string& text);
    void ShowText(int id, Text& t);
    void ShowBar(int id, Bar& b);

    const std::map<int, wxWindow*>& parts_;
    std::map<int, Text> texts_;
    std::map<int, Bar> bars_;
    int percent_ = -1;
    bool percentPending_ = false;
    std::function<void(int)> percentListener_;
    bool held_ = false;
    bool hidden_ = false;
    bool anyPending_ = false;
    wxLongLong lastShown_ = 0;
    wxTimer timer_;
};

} // namespace ordinex
