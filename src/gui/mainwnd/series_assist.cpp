#include "gui/mainwnd/series_assist.h"

#include "app/ordinex_app.h"
#include "gui/kit/wx_text.h"
#include "gui/mainwnd/guess_dialog.h"
#include "gui/mainwnd/ordinex_view.h"
#include "platform/text_helpers.h"
#include "runs/series_guess.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>

namespace ordinex {

std::string CSeriesAssist::ClipboardText() {
    wxClipboardLocker lock;
    if (!lock || !wxTheClipboard->IsSupported(wxDF_UNICODETEXT))
        return {};
    wxTextDataObject data;
    return wxTheClipboard->GetData(data) ? FromWx(data.GetText()) : std::string();
}

std::string CSeriesAssist::GuessFolder() {
    const std::string folder = view_.GetFolderBase();
    return folder.empty() ? app_.startDirectory : folder;
}

bool CSeriesAssist::TakeAddresses(const std::string& text) {
    const std::vector<std::string> addresses = AddressesInText(text);
    if (addresses.empty() || app_.running)
        return false;
    Apply(addresses[0], addresses.size() > 1 ? addresses[1] : std::string());
    return true;
}

bool CSeriesAssist::Apply(const std::string& first, const std::string& last) {
    if (app_.running)
        return false;
    const SeriesGuess guess = GuessSeries(first, last, GuessFolder());
    if (!guess.ok) {
        app_.ShowMessage(guess.error);
        return false;
    }
    const Job before = view_.ReadJob();
    Job job = guess.job;
    // The guess says nothing about the server's account.
    job.userName = before.userName;
    job.password = before.password;
    std::string note = "連番を推測しました: ";
    for (std::size_t i = 0; i < guess.rangeTexts.size(); ++i)
        note += (i ? "、" : "") + guess.rangeTexts[i];
    note += "  (Ctrl+Z で元に戻す)";
    view_.TakeJob(job, note);
    before_ = before;
    after_ = view_.ReadJob();
    return true;
}

bool CSeriesAssist::CanUndo() {
    // Once the guessed job has been edited, going back would lose the edit.
    return before_ && after_ && !app_.running && view_.ReadJob() == *after_;
}

void CSeriesAssist::Undo() {
    if (!CanUndo())
        return;
    const Job before = *before_;
    before_.reset();
    after_.reset();
    view_.TakeJob(before, "");
}

void CSeriesAssist::GuessWithDialog(wxWindow* parent) {
    const std::vector<std::string> offered = AddressesInText(ClipboardText());
    CGuessDialog dialog(parent, offered.empty() ? std::string() : offered[0],
                        offered.size() > 1 ? offered[1] : std::string(), GuessFolder());
    if (dialog.ShowModal() == wxID_OK)
        Apply(dialog.First(), dialog.Last());
}

} // namespace ordinex
