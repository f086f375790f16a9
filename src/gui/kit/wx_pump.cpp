#include "gui/kit/wx_pump.h"

#include "gui/kit/gtk_calls.h"

#include <wx/app.h>

namespace ordinex {

void WxMessagePump::PumpOneMessage() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastCheck_ < kCheckInterval)
        return;
    lastCheck_ = now;
    if (wxTheApp && wxTheApp->Pending())
        wxTheApp->Dispatch();
}

void WxMessagePump::DrainMessages() {
    // What the display has queued (input the run did not get to, window
    // changes) is worked off now. The toolkit's layout and painting pass is
    // left for the idle loop: run here it would lay out the window as the
    // run left it, only for the caller to change it again at once.
    using EventsPending = int (*)();
    static const auto displayPending = gtk::Lookup<EventsPending>("gdk_events_pending");
    const auto start = std::chrono::steady_clock::now();
    while (wxTheApp && (!displayPending || displayPending()) && wxTheApp->Pending() &&
           std::chrono::steady_clock::now() - start < kDrainLimit)
        wxTheApp->Dispatch();
    lastCheck_ = std::chrono::steady_clock::now();
}

} // namespace ordinex
