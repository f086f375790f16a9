#include "gui/mainwnd/main_frame.h"

#include "app/ordinex_app.h"
#include "gui/about/about_dialog.h"
#include "gui/kit/desktop_launch.h"
#include "gui/kit/message_dialog.h"
#include "gui/kit/test_aids.h"
#include "gui/kit/wx_text.h"
#include "gui/mainwnd/ordinex_view.h"
#include "gui/mainwnd/preview_dialog.h"
#include "gui/mainwnd/series_assist.h"
#include "gui/settingsdlg/setting_sheet.h"
#include "platform/text_helpers.h"
#include "platform/version_record.h"
#include "runs/series_guess.h"
#include "ui/command_ids.h"

#include <wx/filedlg.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include <cstdio>

namespace ordinex {

namespace {
// "*" shows every file, with or without a dot in its name.
constexpr const char* kJobFilter = "ダウンロード設定(*.odx)|*.odx|全てのファイル(*.*)|*";

// The edit box with the keyboard focus, if any.
wxTextCtrl* FocusedEditBox() {
    return dynamic_cast<wxTextCtrl*>(wxWindow::FindFocus());
}
} // namespace

void CMainFrame::RunCommand(int command) {
    if (!CommandEnabled(command))
        return;
    ++commandDepth_;
    ExecuteCommand(command);
    --commandDepth_;
    if (commandDepth_ == 0 && closePending_) {
        closePending_ = false;
        Close();
    }
}

bool CMainFrame::CommandEnabled(int command) {
    switch (command) {
    case cmd::kEditUndo:
    case cmd::kEditCut:
    case cmd::kEditCopy:
    case cmd::kEditPaste:
        return EditCommandEnabled(command);
    default:
        break;
    }
    frame::CommandContext c;
    c.running = app_.running;
    c.job = view_->ReadJob();
    const form::ListSelection lists = view_->Lists();
    c.ftpListHasFile = lists.ftpListHasFile;
    c.linkListHasFile = lists.linkListHasFile;
    c.hasRunReport = app_.LastRunReport().summary.started;
    if (command == cmd::kReadMe)
        c.readMeExists = COrdinexApp::FileExists(COrdinexApp::CurrentDirPath("/Readme.txt"));
    if (command == cmd::kHelpIndex)
        c.helpExists = COrdinexApp::FileExists(COrdinexApp::CurrentDirPath("/Ordinex.chm"));
    return frame::CommandAvailable(command, c);
}

void CMainFrame::OnUpdateUI(wxUpdateUIEvent& event) {
    const int command = cmd::FromWxId(event.GetId());
    if (command < 0) {
        event.Skip();
        return;
    }
    event.Enable(CommandEnabled(command));
    if (command == cmd::kViewToolbar)
        event.Check(toolbarVisible_);
}

void CMainFrame::ExecuteCommand(int command) {
    if (command >= cmd::kFileMru1 && command < cmd::kFileMru1 + cmd::kFileMruCount) {
        OpenRecent(command - cmd::kFileMru1);
        return;
    }
    switch (command) {
    case cmd::kFileNew:
        NewJob();
        break;
    case cmd::kFileOpen:
        OpenJob();
        break;
    case cmd::kFileSave:
        SaveJob();
        break;
    case cmd::kFileSaveAs:
        SaveJobAs();
        break;
    case cmd::kAppExit:
        // As closing the window: a run in progress is stopped first.
        Close();
        break;
    case cmd::kEditUndo:
    case cmd::kEditCut:
    case cmd::kEditCopy:
    case cmd::kEditPaste:
        EditCommand(command);
        break;
    case cmd::kCopyUrlToFolder:
        view_->CopyUrlToFolder();
        break;
    case cmd::kGuessSeries:
        assist_->GuessWithDialog(this);
        break;
    case cmd::kPreviewSeries:
        ShowSeriesPreview();
        break;
    case cmd::kViewToolbar:
        ToggleToolbar();
        break;
    case cmd::kRunSeries:
        RunSeriesFromForm();
        break;
    case cmd::kRunFtpList:
        RunFtpListFromForm();
        break;
    case cmd::kRunLinkList:
        RunLinkListFromForm();
        break;
    case cmd::kShowFtpTree:
    case cmd::kShowLinkTree:
        OpenTreeWindow(command, view_->GetUrlBase());
        break;
    case cmd::kStop:
        app_.RequestStop();
        if (!app_.running)
            view_->RefreshControls();
        break;
    case cmd::kOpenBrowser:
        OpenInBrowser(view_->GetUrlBase());
        break;
    case cmd::kOpenExplorer:
        OpenInExplorer();
        break;
    case cmd::kReadMe:
        OpenLocalFile("/Readme.txt");
        break;
    case cmd::kHelpIndex:
        OpenLocalFile("/Ordinex.chm");
        break;
    case cmd::kAppAbout:
        ShowVersion();
        break;
    case cmd::kSettingsProgram:
        ShowSettings(sheet::kProgramPage);
        break;
    case cmd::kSettingsDownload:
        ShowSettings(sheet::kDownloadPage);
        break;
    case cmd::kSettingsExtract:
        ShowSettings(sheet::kExtractPage);
        break;
    case cmd::kShowRunReport:
        ShowRunReport();
        break;
    default:
        break;
    }
}

// ---- Job documents ----

int CMainFrame::AskSave(const std::string& question) {
    if (askSave_)
        return askSave_(question);
    if (PromptsAnsweredForTests()) {
        std::fprintf(stderr, "prompt: %s\n", question.c_str());
        return kAnswerNo;
    }
    return ShowMessageDialog(this, question, app_.productName, wxYES_NO | wxCANCEL | wxICON_EXCLAMATION);
}

std::string CMainFrame::ChooseFile(bool forSaving) {
    if (chooseFile_)
        return chooseFile_(forSaving);
    // Saving adds ".odx" to a name typed without an extension (SaveJobAs).
    const long style = forSaving ? wxFD_SAVE | wxFD_OVERWRITE_PROMPT : wxFD_OPEN | wxFD_FILE_MUST_EXIST;
    wxFileDialog dialog(this, ToWx(forSaving ? "名前を付けて保存" : "開く"), wxEmptyString, wxEmptyString,
                        ToWx(kJobFilter), style);
    if (dialog.ShowModal() != wxID_OK)
        return {};
    return FromWx(dialog.GetPath());
}

void CMainFrame::NewJob() {
    if (!doc_.SaveModified([this](const std::string& q) { return AskSave(q); }, [this] { return SaveJob(); }))
        return;
    doc_.OnNewDocument();
}

bool CMainFrame::OpenJobFile(const std::string& path) {
    // Opening another job replaces the one on the form: an edited job is
    // offered for saving first, as New does, whatever
    // ConfirmSaveUrlFolderSettingByOpen says; nothing typed is lost unasked.
    if (!doc_.SaveModified([this](const std::string& q) { return AskSave(q); }, [this] { return SaveJob(); }))
        return true;
    const bool opened = doc_.OnOpenDocument(path);
    RebuildRecentMenu();
    return opened;
}

void CMainFrame::OpenJob() {
    const std::string path = ChooseFile(false);
    if (!path.empty())
        OpenJobFile(path);
}

void CMainFrame::OpenRecent(int index) {
    const auto& entries = app_.recentFiles.Entries();
    if (index < 0 || static_cast<size_t>(index) >= entries.size())
        return;
    // A copy: opening reorders the list.
    const std::string path = entries[index];
    // A job that cannot be opened any more leaves the list.
    if (!OpenJobFile(path)) {
        app_.recentFiles.Remove(static_cast<size_t>(index));
        RebuildRecentMenu();
    }
}

bool CMainFrame::SaveJob() {
    if (doc_.PathName().empty())
        return SaveJobAs();
    const bool saved = doc_.OnSaveDocument(doc_.PathName());
    RebuildRecentMenu();
    return saved;
}

bool CMainFrame::SaveJobAs() {
    const std::string typed = ChooseFile(true);
    if (typed.empty())
        return false;
    const std::string path = frame::WithJobExtension(typed);
    // The file dialog asked about the name as typed, not with ".odx" added.
    if (path != typed && COrdinexApp::FileExists(path)) {
        IPrompter* prompter = app_.Prompter();
        if (!prompter ||
            prompter->MessageBox(FileNameOf(path) + " は既に存在します。\n上書きしますか?",
                                 MessageButtons::YesNo, MessageIcon::Exclamation, true) != kAnswerYes)
            return false;
    }
    const bool saved = doc_.OnSaveDocument(path);
    RebuildRecentMenu();
    return saved;
}

// ---- Edit commands on the focused box ----

bool CMainFrame::EditCommandEnabled(int command) {
    if (app_.running)
        return false;
    // Ctrl+Z takes a guess back wherever the focus is; addresses may be
    // pasted anywhere on the form.
    if (command == cmd::kEditUndo && assist_->CanUndo())
        return true;
    wxTextCtrl* box = FocusedEditBox();
    if (!box)
        return command == cmd::kEditPaste;
    long from = 0, to = 0;
    box->GetSelection(&from, &to);
    switch (command) {
    case cmd::kEditUndo:
        return box->IsEditable() && box->CanUndo();
    case cmd::kEditCut:
    case cmd::kEditCopy:
        return from != to;
    case cmd::kEditPaste:
        // Asking the X clipboard would run a nested event loop on every idle
        // moment: any editable box may take a paste.
        return box->IsEditable();
    default:
        return false;
    }
}

void CMainFrame::EditCommand(int command) {
    if (command == cmd::kEditUndo && assist_->CanUndo()) {
        assist_->Undo();
        return;
    }
    wxTextCtrl* box = FocusedEditBox();
    if (command == cmd::kEditPaste) {
        // Two addresses make a series wherever they are pasted, one does
        // outside the boxes; other text is pasted into the box as usual.
        const std::string text = CSeriesAssist::ClipboardText();
        const std::vector<std::string> addresses = AddressesInText(text);
        if (addresses.size() == 2 || (!box && addresses.size() == 1)) {
            assist_->TakeAddresses(text);
            return;
        }
    }
    if (!box)
        return;
    switch (command) {
    case cmd::kEditUndo:
        box->Undo();
        break;
    case cmd::kEditCut:
        box->Cut();
        break;
    case cmd::kEditCopy:
        box->Copy();
        break;
    case cmd::kEditPaste:
        box->Paste();
        break;
    default:
        break;
    }
}

// ---- Runs ----

void CMainFrame::RunSeriesFromForm() {
    if (app_.running)
        return;
    app_.RunSeries(view_->ReadJob(), true);
}

void CMainFrame::ShowSeriesPreview() {
    SeriesPreview preview(view_->ReadJob(), app_.settings);
    if (!preview.Ok()) {
        app_.ShowMessage(preview.Error());
        return;
    }
    CPreviewDialog dialog(this, std::move(preview), app_.settings.SaveSetting);
    dialog.ShowModal();
}

// ---- External programs ----

void CMainFrame::OpenInExplorer() {
    const std::string target = frame::ExplorerTarget(view_->GetUrlBase());
    const DesktopLaunch launch = openWithDesktop_ ? openWithDesktop_(target) : OpenWithDesktop(target);
    if (launch.outcome == DesktopLaunch::Outcome::Opened)
        return;
    // The program lists FTP folders itself: offered where the desktop cannot.
    const std::string text = frame::ExplorerFailureText(
        target, launch.outcome == DesktopLaunch::Outcome::NoHandler, launch.reason);
    IPrompter* prompter = app_.Prompter();
    if (prompter && prompter->MessageBox(text, MessageButtons::YesNo, MessageIcon::Information) == kAnswerYes)
        OpenTreeWindow(cmd::kShowFtpTree, view_->GetUrlBase());
}

void CMainFrame::OpenLocalFile(const std::string& name) {
    wxLaunchDefaultApplication(ToWx(COrdinexApp::CurrentDirPath(name)));
}

void CMainFrame::ShowSettings(int firstPage) {
    CSettingSheet sheet(this, app_.settings, firstPage);
    if (sheet.ShowModal() == wxID_OK)
        sheet.Apply(app_.settings);
    // Either way: the separator settings show at once, and a changed
    // AlwaysShowExpansionWindow resizes the window.
    view_->UpdateUrlDisplay();
    view_->UpdateFolderDisplay();
    Relayout();
}

void CMainFrame::ShowVersion() {
    CAboutDialog dialog(this, app_.productName, ProgramVersionRecord());
    dialog.ShowModal();
}

} // namespace ordinex
