#include "gui/mainwnd/ordinex_view.h"

#include "app/ordinex_app.h"
#include "gui/kit/wx_text.h"
#include "job/job_file.h"
#include "platform/text_helpers.h"
#include "runs/target_composition.h"
#include "ui/form_ids.h"

#include <wx/checkbox.h>
#include <wx/dirdlg.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace ordinex {

using namespace form;

COrdinexView::COrdinexView(wxWindow* parent, COrdinexApp& app, COrdinexDoc& doc)
    : wxPanel(parent, wxID_ANY), app_(app), doc_(doc) {
    CreateControls();
    for (int id : {kUrlBase, kUrlExpansion, kUserName, kPassword, kFolderBase, kFolderExpansion})
        Text(id)->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnBoxChanged(); });
    for (int k = 0; k < kRangeCount; ++k) {
        RangeCheck(k)->Bind(wxEVT_CHECKBOX, [this, k](wxCommandEvent&) { OnRangeClicked(k); });
        RangeStart(k)->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnRangeTextChanged(); });
        RangeEnd(k)->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnRangeTextChanged(); });
    }
    for (auto [id, command] : ButtonCommands())
        Bind(
            wxEVT_BUTTON,
            [this, command](wxCommandEvent&) {
                if (commandHandler_)
                    commandHandler_(command);
            },
            id);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { BrowseForFolder(); }, kBrowseFolderButton);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { CopyUrlToFolder(); }, kCopyUrlButton);
    // The form's Stop only raises the request; the run notices it.
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { app_.RequestStop(); }, kStopButton);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        ApplyLayout();
        e.Skip();
    });
}

// ---- Accessors ----

wxTextCtrl* COrdinexView::Text(int id) const {
    return static_cast<wxTextCtrl*>(parts_.at(id));
}
wxTextCtrl* COrdinexView::RangeStart(int k) const {
    return Text(kRangeIds.at(k).start);
}
wxTextCtrl* COrdinexView::RangeEnd(int k) const {
    return Text(kRangeIds.at(k).end);
}
wxCheckBox* COrdinexView::RangeCheck(int k) const {
    return static_cast<wxCheckBox*>(parts_.at(kRangeIds.at(k).check));
}

wxWindow* COrdinexView::Control(int id) const {
    auto it = parts_.find(id);
    return it == parts_.end() ? nullptr : it->second;
}

std::string COrdinexView::ControlText(int id) const {
    wxWindow* w = Control(id);
    if (!w)
        return {};
    if (auto* text = dynamic_cast<wxTextCtrl*>(w))
        return FromWx(text->GetValue());
    return FromWx(w->GetLabel());
}

Job COrdinexView::ReadJob() {
    job_.urlBase = FromWx(Text(kUrlBase)->GetValue());
    job_.urlExpansion = FromWx(Text(kUrlExpansion)->GetValue());
    job_.userName = FromWx(Text(kUserName)->GetValue());
    job_.password = FromWx(Text(kPassword)->GetValue());
    job_.folderBase = FromWx(Text(kFolderBase)->GetValue());
    job_.folderExpansion = FromWx(Text(kFolderExpansion)->GetValue());
    for (int k = 0; k < kRangeCount; ++k) {
        job_.ranges[k].check = RangeCheck(k)->GetValue() ? 1 : 0;
        job_.ranges[k].start = FromWx(RangeStart(k)->GetValue());
        job_.ranges[k].end = FromWx(RangeEnd(k)->GetValue());
    }
    return job_;
}

void COrdinexView::WriteJob(const Job& job) {
    // ChangeValue: a job put into the form is not an edit of the user's.
    job_ = job;
    ShowRunResult("");
    Text(kUrlBase)->ChangeValue(ToWx(job.urlBase));
    Text(kUrlExpansion)->ChangeValue(ToWx(job.urlExpansion));
    Text(kUserName)->ChangeValue(ToWx(job.userName));
    Text(kPassword)->ChangeValue(ToWx(job.password));
    Text(kFolderBase)->ChangeValue(ToWx(job.folderBase));
    Text(kFolderExpansion)->ChangeValue(ToWx(job.folderExpansion));
    for (int k = 0; k < kRangeCount; ++k) {
        RangeCheck(k)->SetValue(job.ranges[k].check != 0);
        RangeStart(k)->ChangeValue(ToWx(job.ranges[k].start));
        RangeEnd(k)->ChangeValue(ToWx(job.ranges[k].end));
    }
    UpdateUrlDisplay();
    UpdateFolderDisplay();
    if (!app_.running)
        RefreshControls();
}

namespace {
template <class Member> void SetField(COrdinexView& view, Member member, const std::string& text) {
    Job job = view.ReadJob();
    job.*member = text;
    view.WriteJob(job);
}
} // namespace

std::string COrdinexView::GetUrlBase() {
    return TrimBlanks(ReadJob().urlBase);
}
std::string COrdinexView::GetUrlExpansion() {
    return TrimBlanks(ReadJob().urlExpansion);
}
std::string COrdinexView::GetUserName() {
    return TrimBlanks(ReadJob().userName);
}
std::string COrdinexView::GetPassword() {
    return TrimBlanks(ReadJob().password);
}
std::string COrdinexView::GetFolderBase() {
    return TrimBlanks(ReadJob().folderBase);
}
std::string COrdinexView::GetFolderExpansion() {
    return TrimBlanks(ReadJob().folderExpansion);
}
void COrdinexView::SetUrlBase(const std::string& t) {
    SetField(*this, &Job::urlBase, t);
}
void COrdinexView::SetUrlExpansion(const std::string& t) {
    SetField(*this, &Job::urlExpansion, t);
}
void COrdinexView::SetUserName(const std::string& t) {
    SetField(*this, &Job::userName, t);
}
void COrdinexView::SetPassword(const std::string& t) {
    SetField(*this, &Job::password, t);
}
void COrdinexView::SetFolderBase(const std::string& t) {
    SetField(*this, &Job::folderBase, t);
}
void COrdinexView::SetFolderExpansion(const std::string& t) {
    SetField(*this, &Job::folderExpansion, t);
}

bool COrdinexView::GetRangeCheck(int k) {
    return ReadJob().ranges.at(k).check != 0;
}
std::string COrdinexView::GetRangeStart(int k) {
    return ReadJob().ranges.at(k).start;
}
std::string COrdinexView::GetRangeEnd(int k) {
    return ReadJob().ranges.at(k).end;
}

void COrdinexView::SetRangeCheck(int k, bool checked) {
    RangeCheck(k)->SetValue(checked);
    ReadJob();
    ApplyRangeEnabling(k);
    UpdateCount();
}
void COrdinexView::SetRangeStart(int k, const std::string& t) {
    RangeStart(k)->ChangeValue(ToWx(t));
    ReadJob();
    UpdateCount();
}
void COrdinexView::SetRangeEnd(int k, const std::string& t) {
    RangeEnd(k)->ChangeValue(ToWx(t));
    ReadJob();
    UpdateCount();
}

std::string COrdinexView::ComposeUrl() {
    return ordinex::ComposeUrl(ReadJob(), app_.settings);
}
std::string COrdinexView::ComposeFolder() {
    return ordinex::ComposeFolder(ReadJob(), app_.settings);
}

void COrdinexView::UpdateUrlDisplay() {
    SetLine(kUrlDisplay, ordinex::ComposeUrl(job_, app_.settings));
    SetLine(kUrlSeparator, UrlSeparatorLabel(job_, app_.settings));
    UpdateCount();
}

void COrdinexView::UpdateFolderDisplay() {
    SetLine(kFolderDisplay, ordinex::ComposeFolder(job_, app_.settings));
    SetLine(kFolderSeparator, FolderSeparatorLabel(job_, app_.settings));
}

// ---- Status area ----

void COrdinexView::SetLine(int id, const std::string& text) {
    auto* line = static_cast<wxStaticText*>(parts_.at(id));
    const wxString label = ToWx(text);
    // SetLabelText: "&" in an address is text, not a mnemonic.
    if (line->GetLabelText() != label)
        line->SetLabelText(label);
}

void COrdinexView::SetUrlStatus(const std::string& text) {
    painter_.SetText(kUrlStatusLine, text);
}
void COrdinexView::SetFolderStatus(const std::string& text) {
    painter_.SetText(kFolderStatusLine, text);
}
void COrdinexView::SetStatusText(const std::string& text) {
    painter_.SetText(kStatusLine, text);
}
void COrdinexView::SetStatusText2(const std::string& text) {
    painter_.SetText(kStatusLine2, text);
}
void COrdinexView::SetTransferStatus(const std::string& text) {
    painter_.SetText(kTransferStatus, text);
}

void COrdinexView::SetByteProgress(const std::string& text, int64_t range, int64_t position) {
    painter_.SetText(kByteProgressText, text);
    painter_.SetBar(kByteProgressBar, range, position);
}
void COrdinexView::ClearByteProgress() {
    painter_.SetText(kByteProgressText, "");
    painter_.HideBar(kByteProgressBar);
}
void COrdinexView::SetFileProgress(const std::string& text, int64_t range, int64_t position) {
    painter_.SetText(kFileProgressText, text);
    painter_.SetBar(kFileProgressBar, range, position);
}
void COrdinexView::ClearFileProgress() {
    painter_.SetText(kFileProgressText, "");
    painter_.HideBar(kFileProgressBar);
}

void COrdinexView::ShowRunResult(const std::string& text) {
    // The link to the report comes with a download run's end (RunEnded), not
    // with a listing's troubles.
    parts_.at(kRunResultLink)->Hide();
    if (text == runResult_)
        return;
    runResult_ = text;
    SetLine(kRunResultLine, text);
    parts_.at(kRunResultLine)->Show(!text.empty());
    ApplyLayout();
    // The form is a line taller or shorter now.
    if (heightChanged_)
        heightChanged_();
}

void COrdinexView::SetProgressDetail(const std::string& file, const std::string& run, int percent) {
    painter_.SetDetails(kByteProgressDetail, file, kFileProgressDetail, run, percent);
}

void COrdinexView::RunEnded(const std::string& result, double seconds) {
    // The line shows this run's result: what did not complete can be looked at.
    const bool rows = !app_.LastRunReport().rows.empty();
    parts_.at(kRunResultLink)->Show(rows && !result.empty() && result == runResult_);
    if (runEnded_)
        runEnded_(result, seconds);
}

void COrdinexView::ClearStatus() {
    for (int id : {kUrlStatusLine, kFolderStatusLine, kStatusLine, kStatusLine2, kTransferStatus})
        painter_.SetText(id, "");
    painter_.SetDetails(kByteProgressDetail, "", kFileProgressDetail, "", -1);
    ClearByteProgress();
    ClearFileProgress();
}

// ---- Enabling ----

void COrdinexView::ApplyEnabling(const std::map<int, bool>& enabled) {
    for (auto [id, on] : enabled)
        if (wxWindow* w = Control(id))
            w->Enable(on);
}

void COrdinexView::ShowPending() {
    if (beforeShowing_)
        beforeShowing_();
    painter_.ShowPending();
}

void COrdinexView::HoldStatus() {
    painter_.HoldHidden();
    ClearStatus();
}

void COrdinexView::DisableForRun() {
    ApplyEnabling(BusyEnabling());
    painter_.Hold(true);
}

void COrdinexView::RefreshControls() {
    // A button is on only when its command can run, by the menu's rule.
    ApplyEnabling(IdleEnabling(ReadJob(), Lists()));
    // Applying the range states empties the status area, so that after a run
    // it is blank; unlike a click on a range box this is not an edit of the job.
    // Emptied before the writes held back during a run are let out, so that
    // each line is set once.
    ClearStatus();
    painter_.Hold(false);
}

void COrdinexView::ApplyRangeEnabling(int k) {
    const RangeIds& ids = kRangeIds.at(k);
    const bool on = job_.ranges.at(k).check != 0 && !app_.running;
    for (int id : {ids.label, ids.start, ids.tilde, ids.end})
        parts_.at(id)->Enable(on);
}

// ---- Reactions to the user ----

void COrdinexView::MarkModified() {
    // Restoring the last job during start-up is not an edit.
    if (app_.initDone)
        doc_.SetModifiedFlag(true);
}

void COrdinexView::OnBoxChanged() {
    ReadJob();
    ShowRunResult(""); // the result was of the job as it stood
    UpdateUrlDisplay();
    UpdateFolderDisplay();
    ClearStatus();
    MarkModified();
    RefreshControls();
}

void COrdinexView::OnRangeClicked(int k) {
    ReadJob();
    UpdateCount();
    ShowRunResult(""); // the result was of the job as it stood
    ApplyRangeEnabling(k);
    ClearStatus();
    MarkModified();
}

void COrdinexView::OnRangeTextChanged() {
    ReadJob();
    UpdateCount();
    ShowRunResult(""); // the result was of the job as it stood
    ClearStatus();
    MarkModified();
}

void COrdinexView::BrowseForFolder() {
    const std::string initial = GetFolderBase();
    const std::string start = COrdinexApp::FindExistingFolder(initial);
    wxDirDialog dialog(wxGetTopLevelParent(this), ToWx("保存先フォルダを指定"), ToWx(start),
                       wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return;
    SetFolderBase(FolderWithSeparator(FromWx(dialog.GetPath())));
    OnBoxChanged();
}

form::ListSelection COrdinexView::Lists() const {
    form::ListSelection lists;
    const IFtpListSelection* ftpRows = app_.FtpWindow().rows;
    lists.ftpListHasFile = ftpRows && ftpRows->DownloadableCount() >= 1;
    const IListSelection* linkRows = app_.LinkWindow().rows;
    lists.linkListHasFile = linkRows && linkRows->DownloadableCount() >= 1;
    return lists;
}

void COrdinexView::CopyIntoUrlBox(const std::string& text, bool base) {
    if (base)
        SetUrlBase(text);
    else
        SetUrlExpansion(text);
    OnBoxChanged();
}

void COrdinexView::CopyUrlToFolder() {
    SetFolderExpansion(
        UrlToFolderExpansion(GetUrlExpansion(), app_.settings.CopyFromURLToFolderSetting != 0));
    OnBoxChanged();
}

// ---- Start-up and exit ----

void COrdinexView::RestoreLastJob() {
    Job job;
    // A settings file that has never kept a job gives the start-up folder as
    // destination base, as an empty job does.
    if (app_.settings.ReadUrlFolderSetting && !app_.fatalExit && app_.Profile().HasSection("UrlFolder"))
        job = ReadJobSections(app_.Profile(), JobEncoding::SettingsFile);
    else
        job.folderBase = app_.startDirectory;
    WriteJob(job);
    RefreshControls();
    ClearStatus();
}

void COrdinexView::SaveLastJob() {
    if (!app_.CanSaveState())
        return;
    WriteJobSections(app_.Profile(), ReadJob(), JobEncoding::SettingsFile);
}

} // namespace ordinex
