#include "gui/mainwnd/status_painter.h"

#include "gui/kit/wx_text.h"

#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/time.h>

#include <algorithm>
#include <climits>
#include <utility>

namespace ordinex {

CStatusPainter::CStatusPainter(wxWindow& owner, const std::map<int, wxWindow*>& parts) : parts_(parts) {
    timer_.SetOwner(&owner);
    owner.Bind(
        wxEVT_TIMER, [this](wxTimerEvent&) { ShowPending(); }, timer_.GetId());
}

void CStatusPainter::SetText(int id, const std::string& text) {
    Keep(id, text);
    Written();
}

void CStatusPainter::Keep(int id, const std::string& text) {
    Text& t = texts_[id];
    t.text = text;
    t.pending = true;
}

void CStatusPainter::SetBar(int barId, int64_t range, int64_t position) {
    Bar& b = bars_[barId];
    b.shown = true;
    b.range = range;
    b.position = position;
    b.pending = true;
    Written();
}

void CStatusPainter::HideBar(int barId) {
    Bar& b = bars_[barId];
    b.shown = false;
    b.pending = true;
    Written();
}

void CStatusPainter::SetDetails(int fileId, const std::string& file, int runId, const std::string& run,
                                int percent) {
    Keep(fileId, file);
    Keep(runId, run);
    if (percent != percent_) {
        percent_ = percent;
        percentPending_ = true;
    }
    Written();
}

void CStatusPainter::Hold(bool hold) {
    const bool wasHidden = std::exchange(hidden_, false);
    // The run's own layout is seldom on the screen any sooner.
    if (hold && !held_)
        lastShown_ = wxGetLocalTimeMillis();
    held_ = hold;
    // Coming into sight, the area shows what it holds at once.
    if (!hold || wasHidden)
        ShowPending();
}

void CStatusPainter::HoldHidden() {
    held_ = hidden_ = true;
    timer_.Stop();
}

void CStatusPainter::Written() {
    anyPending_ = true;
    if (hidden_)
        return;
    if (!held_) {
        ShowPending();
        return;
    }
    if (timer_.IsRunning())
        return;
    const wxLongLong now = wxGetLocalTimeMillis();
    const long waited = (now - lastShown_).ToLong();
    if (waited >= kIntervalMs)
        ShowPending();
    else
        timer_.StartOnce(kIntervalMs - static_cast<int>(waited));
}

void CStatusPainter::ShowPending() {
    timer_.Stop();
    if (!anyPending_)
        return;
    anyPending_ = false;
    lastShown_ = wxGetLocalTimeMillis();
    for (auto& [id, t] : texts_)
        if (t.pending)
            ShowText(id, t);
    for (auto& [id, b] : bars_)
        if (b.pending)
            ShowBar(id, b);
    if (std::exchange(percentPending_, false) && percentListener_)
        percentListener_(percent_);
}

void CStatusPainter::ShowText(int id, Text& t) {
    t.pending = false;
    auto* line = static_cast<wxStaticText*>(parts_.at(id));
    const wxString label = ToWx(t.text);
    // SetLabelText: "&" in an address is text, not a mnemonic.
    if (line->GetLabelText() != label)
        line->SetLabelText(label);
}

void CStatusPainter::ShowBar(int id, Bar& b) {
    b.pending = false;
    auto* bar = static_cast<wxGauge*>(parts_.at(id));
    if (!b.shown) {
        bar->Hide();
        return;
    }
    // The bar counts in int: large byte counts are scaled down together.
    int64_t scale = 1;
    while (b.range / scale > INT_MAX)
        scale *= 1024;
    const int barRange = static_cast<int>(std::max<int64_t>(b.range / scale, 1));
    if (bar->GetRange() != barRange)
        bar->SetRange(barRange);
    const int value = static_cast<int>(std::clamp<int64_t>(b.position / scale, 0, barRange));
    if (bar->GetValue() != value)
        bar->SetValue(value);
    bar->Show();
}

} // namespace ordinex
