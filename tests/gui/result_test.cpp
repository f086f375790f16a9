// The result of a download run: the line under the run buttons with its
// link, and the report window with its list and buttons.
#include "app/ordinex_app.h"
#include "gui/kit/wx_text.h"
#include "gui/resultdlg/result_dialog.h"
#include "gui/resultdlg/result_list.h"
#include "gui/resultdlg/result_texts.h"
#include "gui_support.h"
#include "listing/list_rules.h"
#include "test_servers.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/hyperlink.h>
#include <wx/menu.h>
#include <wx/stattext.h>

#include <filesystem>

namespace ordinex::test {
namespace {

using namespace form;
using Outcome = RunReportRow::Outcome;

// Four rows: a failure with a password in its address, a skipped file, a
// stopped one whose folder was never made, and a failure without a
// destination whose address and reason carry control characters.
RunReport SampleReport(const std::string& dir, int64_t stopped = 1) {
    RunReport r;
    r.summary.started = true;
    r.summary.total = 4 + stopped - 1;
    r.summary.done = 0;
    r.summary.failed = 2;
    r.summary.skipped = 1;
    r.summary.stopped = stopped;
    r.bytes = 1234;
    r.seconds = 62;
    r.rows = {
        {Outcome::Failed, "ftp://user:secret@h/b.bin", dir + "/b/b.bin", "550 見つかりません"},
        {Outcome::Skipped, "http://h/a.bin", dir + "/a/a.bin", "保存先にファイルが存在します"},
        {Outcome::Stopped, "http://h/c.bin", dir + "/c/deeper/c.bin", "中止しました"},
        {Outcome::Failed, "http://h/\x1b[31md.bin", "", "bad\ntext"},
    };
    return r;
}

std::vector<std::string> Column(const CResultDialog& dialog, int column) {
    std::vector<std::string> out;
    for (size_t p = 0; p < dialog.Table().RowCount(); ++p)
        out.push_back(dialog.Table().Text(p, column));
    return out;
}

void ClickHeader(CResultList* list, int column) {
    wxListEvent click(wxEVT_LIST_COL_CLICK, list->GetId());
    click.SetEventObject(list);
    click.m_col = column;
    list->GetEventHandler()->ProcessEvent(click);
}

std::string ClipboardText() {
    wxClipboardLocker locker;
    wxTextDataObject data;
    if (!locker || !wxTheClipboard->GetData(data))
        return "<nothing>";
    return FromWx(data.GetText());
}

bool ButtonEnabled(wxWindow* dialog, int id) {
    return dialog->FindWindow(id)->IsThisEnabled();
}

TEST(ResultDialog, ListsEveryRowAsShownWithPasswordsMaskedAndControlsVisible) {
    TempDir dir;
    ScriptedPrompter prompter;
    CResultDialog dialog(nullptr, SampleReport(dir.path()), {}, &prompter);
    EXPECT_EQ(FromWx(dialog.GetTitle()), "ダウンロード結果");
    ASSERT_EQ(dialog.List()->GetItemCount(), 4);
    EXPECT_EQ(Column(dialog, ResultTable::kOutcome),
              (std::vector<std::string>{"失敗", "スキップ", "中止", "失敗"}));
    const std::vector<std::string> addresses = Column(dialog, ResultTable::kAddress);
    EXPECT_EQ(addresses[0], "ftp://user:****@h/b.bin");
    EXPECT_EQ(addresses[3].find('\x1b'), std::string::npos) << "an escape reaches no window";
    EXPECT_EQ(Column(dialog, ResultTable::kReason)[3].find('\n'), std::string::npos);
    EXPECT_EQ(FromWx(dialog.List()->GetItemText(0, ResultTable::kAddress)), addresses[0]);
    for (int id : {CResultDialog::kRetryId, CResultDialog::kOpenFolderId, CResultDialog::kCopyId})
        EXPECT_TRUE(ButtonEnabled(&dialog, id)) << id;
    auto* close = dynamic_cast<wxButton*>(dialog.FindWindow(wxID_CANCEL));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(FromWx(close->GetLabel()), "閉じる");
}

TEST(ResultDialog, TheSummaryCountsTheFilesNeverReached) {
    TempDir dir;
    struct Row {
        int64_t stopped;
        bool unreachedLine;
    } rows[] = {{1, false}, {4, true}};
    for (const Row& r : rows) {
        const RunReport report = SampleReport(dir.path(), r.stopped);
        CResultDialog dialog(nullptr, report, {}, nullptr);
        const std::string summary = FromWx(dialog.FindWindow(CResultDialog::kSummaryId)->GetLabel());
        EXPECT_EQ(summary.rfind(RunResultLine(report), 0), 0u) << summary;
        const std::string unreached = "\n未処理 3 ファイル (ジョブを再実行すると続きから取得します)";
        EXPECT_EQ(summary.find(unreached) != std::string::npos, r.unreachedLine) << summary;
    }
}

// A click on a header sorts by that column, the next one reverses, and the
// selected rows stay selected wherever they went.
TEST(ResultDialog, HeaderClicksSortEveryColumnBothWaysKeepingTheSelection) {
    TempDir dir;
    CResultDialog dialog(nullptr, SampleReport(dir.path()), {}, nullptr);
    CResultList* list = dialog.List();
    for (int column = 0; column < ResultTable::kColumns; ++column) {
        list->SetItemState(-1, 0, wxLIST_STATE_SELECTED);
        size_t skipped = 0;
        while (dialog.Table().OutcomeAt(skipped) != Outcome::Skipped)
            ++skipped;
        list->SelectPlace(skipped);
        for (bool descending : {false, true}) {
            ClickHeader(list, column);
            const std::vector<std::string> texts = Column(dialog, column);
            for (size_t i = 1; i < texts.size(); ++i) {
                const int order = CompareListText(texts[i - 1], texts[i]);
                EXPECT_TRUE(descending ? order >= 0 : order <= 0)
                    << column << ": " << texts[i - 1] << " | " << texts[i];
            }
            const std::vector<size_t> selected = list->SelectedPlaces();
            ASSERT_EQ(selected.size(), 1u) << column;
            EXPECT_EQ(dialog.Table().OutcomeAt(selected[0]), Outcome::Skipped) << column;
            EXPECT_EQ(FromWx(list->GetItemText(static_cast<long>(selected[0]), ResultTable::kAddress)),
                      "http://h/a.bin");
        }
    }
}

TEST(ResultDialog, RetryIsOfferedOnlyForFailedOrStoppedRows) {
    TempDir dir;
    RunReport skippedOnly = SampleReport(dir.path());
    skippedOnly.rows = {skippedOnly.rows[1]};
    CResultDialog some(nullptr, SampleReport(dir.path()), {}, nullptr);
    CResultDialog none(nullptr, skippedOnly, {}, nullptr);
    CResultDialog empty(nullptr, RunReport{}, {}, nullptr);
    EXPECT_TRUE(ButtonEnabled(&some, CResultDialog::kRetryId));
    EXPECT_FALSE(ButtonEnabled(&none, CResultDialog::kRetryId));
    EXPECT_TRUE(ButtonEnabled(&none, CResultDialog::kOpenFolderId));
    for (int id : {CResultDialog::kRetryId, CResultDialog::kOpenFolderId, CResultDialog::kCopyId})
        EXPECT_FALSE(ButtonEnabled(&empty, id)) << id;
}

// The selected row's folder, else the first row's; the part of it that
// exists; and a message saying why when the desktop could not show it.
TEST(ResultDialog, OpenFolderShowsTheRowsFolderOrSaysWhyNot) {
    TempDir dir;
    std::filesystem::create_directories(dir / "b");
    std::filesystem::create_directories(dir / "c");
    const std::string base = "file://" + dir.path();
    struct Row {
        const char* name;
        int select; // place, or -1 for none
        DesktopLaunch launch;
        std::string opened;  // the address handed to the desktop ("" none)
        std::string message; // part of what the user is told ("" nothing)
    } rows[] = {
        {"first row without a selection", -1, {DesktopLaunch::Outcome::Opened, ""}, base + "/b/", ""},
        {"a folder never made: its parent", 2, {DesktopLaunch::Outcome::Opened, ""}, base + "/c/", ""},
        {"no destination", 3, {DesktopLaunch::Outcome::Opened, ""}, "", "この行には保存先がありません。"},
        {"no handler", 0, {DesktopLaunch::Outcome::NoHandler, ""}, base + "/b/", "登録されていません"},
        {"handler failed", 0, {DesktopLaunch::Outcome::Failed, "boom"}, base + "/b/", "\nboom"},
    };
    for (const Row& r : rows) {
        ScriptedPrompter prompter;
        std::string opened;
        CResultDialog dialog(
            nullptr, SampleReport(dir.path()),
            [&](const std::string& address) {
                opened = address;
                return r.launch;
            },
            &prompter);
        if (r.select >= 0)
            dialog.List()->SelectPlace(static_cast<size_t>(r.select));
        Press(&dialog, CResultDialog::kOpenFolderId);
        EXPECT_EQ(opened, r.opened) << r.name;
        if (r.message.empty()) {
            EXPECT_TRUE(prompter.messages.empty()) << r.name;
        } else {
            ASSERT_EQ(prompter.messages.size(), 1u) << r.name;
            EXPECT_EQ(prompter.messages[0].rfind("保存先フォルダを開けません", 0), 0u) << r.name;
            EXPECT_NE(prompter.messages[0].find(r.message), std::string::npos) << prompter.messages[0];
        }
    }
}

TEST(ResultDialog, CopyPutsTheSelectedAddressesOrAllOnTheClipboardOnePerLine) {
    TempDir dir;
    CResultDialog dialog(nullptr, SampleReport(dir.path()), {}, nullptr);
    Press(&dialog, CResultDialog::kCopyId);
    const std::string all = ClipboardText();
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 3) << all;
    EXPECT_EQ(all.rfind("ftp://user:****@h/b.bin\nhttp://h/a.bin\nhttp://h/c.bin\n", 0), 0u) << all;
    EXPECT_EQ(all.find("secret"), std::string::npos);
    dialog.List()->SelectPlace(2);
    dialog.List()->SelectPlace(0);
    Press(&dialog, CResultDialog::kCopyId);
    EXPECT_EQ(ClipboardText(), "ftp://user:****@h/b.bin\nhttp://h/c.bin");
}

// ---- With the program and real runs ----

// Passes every status write on to the form; onByteProgress sees the run
// from inside, as the user would.
class StatusTee : public IStatusView {
public:
    explicit StatusTee(COrdinexView* view) : view_(view) {}
    void SetUrlStatus(const std::string& t) override { view_->SetUrlStatus(t); }
    void SetFolderStatus(const std::string& t) override { view_->SetFolderStatus(t); }
    void SetStatusText(const std::string& t) override { view_->SetStatusText(t); }
    void SetStatusText2(const std::string& t) override { view_->SetStatusText2(t); }
    void SetTransferStatus(const std::string& t) override { view_->SetTransferStatus(t); }
    void SetByteProgress(const std::string& t, int64_t range, int64_t pos) override {
        view_->SetByteProgress(t, range, pos);
        if (onByteProgress)
            onByteProgress();
    }
    void ClearByteProgress() override { view_->ClearByteProgress(); }
    void SetFileProgress(const std::string& t, int64_t range, int64_t pos) override {
        view_->SetFileProgress(t, range, pos);
    }
    void ClearFileProgress() override { view_->ClearFileProgress(); }
    void ShowPending() override { view_->ShowPending(); }
    void ShowRunResult(const std::string& t) override { view_->ShowRunResult(t); }
    void SetProgressDetail(const std::string& f, const std::string& r, int p) override {
        view_->SetProgressDetail(f, r, p);
    }
    void RunEnded(const std::string& r, double s) override { view_->RunEnded(r, s); }
    std::function<void()> onByteProgress;

private:
    COrdinexView* view_;
};

// The program with a server whose root holds f1.bin and f2.bin; a series
// f1 .. fN of it goes to dl/ below the program's folder.
struct SeriesSetup {
    TempDir site;
    GuiApp gui;
    TestServer server;

    explicit SeriesSetup(const char* last) : server(TestServer::StartHttp(site.path())) {
        WriteFile(site / "f1.bin", "one");
        WriteFile(site / "f2.bin", "two");
        EXPECT_TRUE(gui.Start());
        COrdinexView* view = gui.view();
        view->SetUrlBase(server.url("/"));
        view->SetUrlExpansion("f*.bin");
        view->SetFolderBase(gui.dir() + "/");
        view->SetFolderExpansion("dl/f*.bin");
        view->SetRangeCheck(0, true);
        view->SetRangeStart(0, "1");
        view->SetRangeEnd(0, last);
    }
    std::string Local(int n) const { return gui.path("dl/f" + std::to_string(n) + ".bin"); }
};

bool LinkShown(COrdinexView* view) {
    return view->Control(kRunResultLink)->IsShown();
}

TEST(ResultLine, ShowsAfterEveryRunAndOffersTheReportWhenFilesDidNotComplete) {
    SeriesSetup run("2");
    COrdinexView* view = run.gui.view();
    CMainFrame* frame = run.gui.frame();
    EXPECT_FALSE(frame->CommandEnabled(cmd::kShowRunReport)) << "no run yet";
    frame->RunCommand(cmd::kRunSeries);
    EXPECT_EQ(view->ControlText(kRunResultLine).rfind("ダウンロード完了: 2 ファイル (6 バイト, 経過 0:0", 0),
              0u)
        << view->ControlText(kRunResultLine);
    EXPECT_TRUE(view->Control(kRunResultLine)->IsShown());
    EXPECT_FALSE(LinkShown(view)) << "nothing to look at";
    EXPECT_TRUE(frame->CommandEnabled(cmd::kShowRunReport));

    view->SetRangeEnd(0, "4");
    frame->RunCommand(cmd::kRunSeries);
    EXPECT_EQ(view->ControlText(kRunResultLine).rfind("ダウンロード終了: 完了 2、失敗 2、", 0), 0u);
    EXPECT_TRUE(LinkShown(view));
    // The link sits on the line, inside the form, right of the text.
    const wxRect line = view->Control(kRunResultLine)->GetRect(),
                 link = view->Control(kRunResultLink)->GetRect();
    EXPECT_EQ(line.y, link.y);
    EXPECT_LT(line.GetRight(), link.x);
    EXPECT_LE(link.GetRight(), view->GetClientSize().x);
    EXPECT_EQ(frame->GetClientSize().y, view->FormHeight(false));

    // A click on it opens the report.
    size_t rows = 0;
    wxString title;
    Later look(300, [&] {
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<CResultDialog*>(w)) {
                rows = dialog->Table().RowCount();
                title = dialog->GetTitle();
                dialog->EndModal(wxID_CANCEL);
            }
    });
    auto* linkControl = view->Control(kRunResultLink);
    wxHyperlinkEvent click(linkControl, linkControl->GetId(), wxEmptyString);
    linkControl->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(rows, 2u);
    EXPECT_EQ(FromWx(title), "ダウンロード結果");

    // An edit of the job takes the line away; the report stays in the menu.
    Type(TextBox(view, kUrlExpansion), "x");
    EXPECT_FALSE(view->Control(kRunResultLine)->IsShown());
    EXPECT_FALSE(LinkShown(view));
    frame->UpdateWindowUI(wxUPDATE_UI_RECURSE);
    wxMenuBar* bar = frame->GetMenuBar();
    EXPECT_TRUE(bar->IsEnabled(cmd::ToWxId(cmd::kShowRunReport)));
    EXPECT_EQ(bar->GetLabel(cmd::ToWxId(cmd::kShowRunReport)), wxString::FromUTF8("ダウンロード結果(&R)..."));
}

// A listing's troubles use the same line, but they are no download run's
// result: no link to the last run's report.
TEST(ResultLine, AListingsTroublesBringNoLink) {
    SeriesSetup run("4");
    run.gui.frame()->RunCommand(cmd::kRunSeries);
    ASSERT_TRUE(LinkShown(run.gui.view()));
    run.gui.view()->ShowRunResult("リンク一覧表示終了: 読めなかったページ 1");
    EXPECT_FALSE(LinkShown(run.gui.view()));
}

// Retrying from the report fetches exactly the files that failed, as a run
// of the window does (busy state, no second run meanwhile), and leaves the
// files that were done or skipped alone.
TEST(ResultDialog, RetryFetchesOnlyTheFailedFilesAsAnyRunOfTheWindow) {
    SeriesSetup run("4");
    COrdinexApp& app = run.gui.app();
    CMainFrame* frame = run.gui.frame();
    app.settings.SaveSetting = 0; // an existing file is kept
    std::filesystem::create_directories(run.gui.path("dl"));
    WriteFile(run.Local(1), "kept");
    frame->RunCommand(cmd::kRunSeries);
    ASSERT_EQ(app.LastRunReport().rows.size(), 3u) << "f1 skipped, f3 and f4 failed";
    ASSERT_EQ(ReadFile(run.Local(2)), "two");
    // Were the retry to fetch more than the failed files, these would change.
    app.settings.SaveSetting = 1;
    app.settings.ShowWarningDialogOnOverwriteSaveSetting = 0;
    for (const char* name : {"f1.bin", "f2.bin"})
        WriteFile(run.site / name, "changed");
    WriteFile(run.site / "f3.bin", "three");
    WriteFile(run.site / "f4.bin", "four");

    StatusTee tee(run.gui.view());
    app.SetStatusView(&tee);
    bool busyDuringRetry = false, reportOfferedDuringRetry = false;
    tee.onByteProgress = [&] {
        busyDuringRetry =
            busyDuringRetry || (app.running && (frame->BusyLookDue() || frame->RunInProgress()));
        reportOfferedDuringRetry = reportOfferedDuringRetry || frame->CommandEnabled(cmd::kShowRunReport);
    };
    Later pressRetry(300, [&] {
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<CResultDialog*>(w))
                Press(dialog, CResultDialog::kRetryId);
    });
    frame->RunCommand(cmd::kShowRunReport);
    app.SetStatusView(run.gui.view());

    EXPECT_EQ(ReadFile(run.Local(3)), "three");
    EXPECT_EQ(ReadFile(run.Local(4)), "four");
    EXPECT_EQ(ReadFile(run.Local(1)), "kept") << "a skipped file is not fetched again";
    EXPECT_EQ(ReadFile(run.Local(2)), "two") << "a file that was done is not fetched again";
    EXPECT_TRUE(busyDuringRetry);
    EXPECT_FALSE(reportOfferedDuringRetry) << "the report command waits for the run's end";
    EXPECT_FALSE(app.running);
    EXPECT_EQ(app.LastRunReport().summary.total, 2);
    EXPECT_EQ(run.gui.view()->ControlText(kRunResultLine).rfind("ダウンロード完了: 2 ファイル", 0), 0u);
    EXPECT_FALSE(LinkShown(run.gui.view()));
    EXPECT_TRUE(run.gui.view()->Control(kRunSeriesButton)->IsEnabled());
    EXPECT_EQ(frame->GetClientSize().y, run.gui.view()->FormHeight(false));
}

} // namespace
} // namespace ordinex::test
