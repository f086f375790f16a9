#pragma once
#include "app/ordinex_doc.h"
#include "gui/mainwnd/status_painter.h"
#include "job/job.h"
#include "platform/ui_hooks.h"
#include "ui/form_geometry.h"
#include "ui/form_rules.h"

#include <wx/panel.h>

#include <functional>
#include <map>
#include <string>

class wxCheckBox;
class wxGauge;
class wxStaticText;
class wxTextCtrl;

namespace ordinex {

class COrdinexApp;

// The main form: the job's boxes, the ranges, the run buttons and the status
// area that the runs write. It is the job's only store while the program runs.
class COrdinexView : public wxPanel, public IStatusView, public IJobForm {
public:
    COrdinexView(wxWindow* parent, COrdinexApp& app, COrdinexDoc& doc);

    // Buttons that stand for menu commands hand the command number here.
    void SetCommandHandler(std::function<void(int command)> handler) { commandHandler_ = std::move(handler); }

    // Field accessors: getters read the controls first; the six text getters
    // trim, the range getters do not.
    std::string GetUrlBase();
    void SetUrlBase(const std::string& text);
    std::string GetUrlExpansion();
    void SetUrlExpansion(const std::string& text);
    std::string GetUserName();
    void SetUserName(const std::string& text);
    std::string GetPassword();
    void SetPassword(const std::string& text);
    std::string GetFolderBase();
    void SetFolderBase(const std::string& text);
    std::string GetFolderExpansion();
    void SetFolderExpansion(const std::string& text);
    bool GetRangeCheck(int k); // k = 0..5
    void SetRangeCheck(int k, bool checked);
    std::string GetRangeStart(int k);
    void SetRangeStart(int k, const std::string& text);
    std::string GetRangeEnd(int k);
    void SetRangeEnd(int k, const std::string& text);

    std::string ComposeUrl();
    std::string ComposeFolder();
    void UpdateUrlDisplay();
    void UpdateFolderDisplay();

    // IJobForm
    Job ReadJob() override;
    void WriteJob(const Job& job) override;
    void ClearStatus() override;

    // IStatusView
    void SetUrlStatus(const std::string& text) override;
    void SetFolderStatus(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    void SetStatusText2(const std::string& text) override;
    void SetTransferStatus(const std::string& text) override;
    void SetByteProgress(const std::string& text, int64_t range, int64_t position) override;
    void ClearByteProgress() override;
    void SetFileProgress(const std::string& text, int64_t range, int64_t position) override;
    void ClearFileProgress() override;
    void ShowPending() override;
    // Called when what the status area holds is put on the screen at once:
    // before the user is asked something.
    void SetBeforeShowing(std::function<void()> hook) { beforeShowing_ = std::move(hook); }
    void ShowRunResult(const std::string& text) override;
    // Called when the form's height rules change (a run's result line comes or goes).
    void SetHeightListener(std::function<void()> listener) { heightChanged_ = std::move(listener); }
    void SetProgressDetail(const std::string& file, const std::string& run, int percent) override;
    void RunEnded(const std::string& result, double seconds) override;
    // Called with the run's percent (-1: none) as it reaches the screen, at
    // the status area's bounded rate.
    void SetPercentListener(std::function<void(int)> listener) {
        painter_.SetPercentListener(std::move(listener));
    }
    // Called once a download run has ended, with its result and length.
    void SetRunEndListener(std::function<void(const std::string&, double)> listener) {
        runEnded_ = std::move(listener);
    }

    // Busy work has begun: the status area is emptied and keeps its writes
    // out of sight until the form is disabled for it.
    void HoldStatus();
    void DisableForRun();
    void RefreshControls();

    // Start-up: the last job from the settings file, or an empty job with
    // the start-up folder as destination base.
    void RestoreLastJob();
    // Exit: the job as last read goes to the settings file.
    void SaveLastJob();

    // Whether the list windows have a selected file.
    form::ListSelection Lists() const;
    // A tree & list window puts an address or a name into the URL base
    // (base set) or the URL expansion box: an edit of the job.
    void CopyIntoUrlBox(const std::string& text, bool base);

    // The height the form needs: down to the run buttons, or down to the
    // file progress bar when the status area is shown.
    int FormHeight(bool expanded) const { return expanded ? geometry_.expandedHeight : geometry_.idleHeight; }
    const form::FormGeometry& Geometry() const { return geometry_; }

    wxWindow* Control(int id) const;
    std::string ControlText(int id) const;

    void BrowseForFolder();
    void CopyUrlToFolder();

    // A job put on the form by a command of the user's (a guess, its undo):
    // an edit of the job like typing, with note on the line under the run
    // buttons until the next edit.
    void TakeJob(const Job& job, const std::string& note);
    // Pasted or dropped text goes here (ordinex_view_assist.cpp); true when taken.
    void SetTextTaker(std::function<bool(const std::string&)> taker) { takeText_ = std::move(taker); }

private:
    // Layout (ordinex_view_layout.cpp)
    void CreateControls();
    void MeasureMetrics();
    void ApplyLayout();
    wxTextCtrl* AddText(int id);
    wxStaticText* AddLabel(int key, const std::string& text, long style = 0);
    // The boxes' labels and hints, the count, the list button, the drop
    // targets (ordinex_view_assist.cpp).
    void CreateAssistParts();
    void UpdateCount();

    // Reactions to the user
    void OnBoxChanged();
    void OnRangeClicked(int k);
    void OnRangeTextChanged();
    void MarkModified();
    void ApplyRangeEnabling(int k);
    void ApplyEnabling(const std::map<int, bool>& enabled);
    void SetLine(int id, const std::string& text);
    wxTextCtrl* Text(int id) const;
    wxTextCtrl* RangeStart(int k) const;
    wxTextCtrl* RangeEnd(int k) const;
    wxCheckBox* RangeCheck(int k) const;

    COrdinexApp& app_;
    COrdinexDoc& doc_;
    std::function<void(int)> commandHandler_;
    std::function<void()> beforeShowing_;
    std::function<void()> heightChanged_;
    std::function<void(const std::string&, double)> runEnded_;
    std::function<bool(const std::string&)> takeText_;
    std::string runResult_;
    Job job_; // the controls as last read
    std::map<int, wxWindow*> parts_;
    form::FormMetrics metrics_;
    form::FormGeometry geometry_;
    // The status area's writes reach the screen through it.
    CStatusPainter painter_{*this, parts_};
};

} // namespace ordinex
