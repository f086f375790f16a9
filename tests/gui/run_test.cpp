// Numbered-series runs started from the form against the local HTTP test server.
#include "app/ordinex_app.h"
#include "gui/mainwnd/main_frame.h"
#include "gui/mainwnd/status_painter.h"
#include "gui/shell/app_shell.h"
#include "gui_support.h"
#include "test_servers.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/utils.h>

#include <filesystem>
#include <functional>

namespace ordinex::test {
namespace {

using namespace form;

// Passes every status write on to the form and keeps a copy; onWrite may act
// in the middle of the run, as the user would.
class StatusTee : public IStatusView {
public:
    explicit StatusTee(COrdinexView* view) : view_(view) {}
    void SetUrlStatus(const std::string& t) override { Keep("1007", t), view_->SetUrlStatus(t); }
    void SetFolderStatus(const std::string& t) override { Keep("1008", t), view_->SetFolderStatus(t); }
    void SetStatusText(const std::string& t) override { Keep("1006", t), view_->SetStatusText(t); }
    void SetStatusText2(const std::string& t) override { Keep("1011", t), view_->SetStatusText2(t); }
    void SetTransferStatus(const std::string& t) override { Keep("1019", t), view_->SetTransferStatus(t); }
    void SetByteProgress(const std::string& t, int64_t range, int64_t pos) override {
        Keep("1013", t), view_->SetByteProgress(t, range, pos);
    }
    void ClearByteProgress() override { view_->ClearByteProgress(); }
    void SetFileProgress(const std::string& t, int64_t range, int64_t pos) override {
        Keep("1018", t), view_->SetFileProgress(t, range, pos);
    }
    void ClearFileProgress() override { view_->ClearFileProgress(); }

    bool Wrote(const std::string& line, const std::string& text) const {
        return std::find(lines.begin(), lines.end(), line + ":" + text) != lines.end();
    }
    std::vector<std::string> lines;
    std::function<void()> onByteProgress;

private:
    int Keep(const std::string& line, const std::string& text) {
        lines.push_back(line + ":" + text);
        if (line == "1013" && onByteProgress) {
            auto once = std::move(onByteProgress);
            onByteProgress = {};
            once();
        }
        return 0;
    }
    COrdinexView* view_;
};

struct RunSetup {
    GuiApp gui;
    TestServer server = TestServer::StartHttp();
    StatusTee* tee = nullptr;
    std::unique_ptr<StatusTee> teeOwner;

    RunSetup(const std::string& urlExpansion, const char* start, const char* end) {
        EXPECT_TRUE(gui.Start());
        COrdinexView* view = gui.view();
        view->SetUrlBase(server.url("/bytes"));
        view->SetUrlExpansion(urlExpansion);
        view->SetFolderBase(gui.dir());
        view->SetFolderExpansion("dl/f*.bin");
        view->SetRangeCheck(0, true);
        view->SetRangeStart(0, start);
        view->SetRangeEnd(0, end);
        teeOwner = std::make_unique<StatusTee>(view);
        tee = teeOwner.get();
        gui.app().SetStatusView(tee);
    }
    ~RunSetup() {
        if (gui.frame())
            gui.app().SetStatusView(gui.view());
    }
};

TEST(SeriesRunFromForm, DownloadsEveryFileAndReportsOnTheStatusLines) {
    RunSetup run("10*", "0", "2");
    COrdinexView* view = run.gui.view();
    // Three small files are done before the busy look is due.
    bool idleLookDuringRun = false;
    int heightDuringRun = 0;
    run.tee->onByteProgress = [&] {
        idleLookDuringRun = run.gui.frame()->BusyLookDue() && view->Control(kUrlBase)->IsEnabled();
        heightDuringRun = run.gui.frame()->GetClientSize().y;
    };
    // The form's button, as a click would send it.
    wxCommandEvent click(wxEVT_BUTTON, kRunSeriesButton);
    click.SetEventObject(view->Control(kRunSeriesButton));
    view->Control(kRunSeriesButton)->GetEventHandler()->ProcessEvent(click);

    for (int n : {100, 101, 102}) {
        const std::string file = run.gui.dir() + "/dl/f" + std::to_string(n - 100) + ".bin";
        ASSERT_TRUE(std::filesystem::exists(file)) << file;
        EXPECT_EQ(std::filesystem::file_size(file), static_cast<uintmax_t>(n));
    }
    EXPECT_TRUE(idleLookDuringRun);
    EXPECT_EQ(heightDuringRun, view->FormHeight(false));
    const std::string url0 = run.server.url("/bytes/100");
    EXPECT_TRUE(run.tee->Wrote("1007", url0 + " を"));
    EXPECT_TRUE(run.tee->Wrote("1008", run.gui.dir() + "/dl/f0.bin に保存"));
    EXPECT_TRUE(run.tee->Wrote("1018", "3 / 3 Files"));
    EXPECT_TRUE(run.tee->Wrote("1006", "全ファイルダウンロード完了"));
    EXPECT_EQ(view->ControlText(kStatusLine), "") << "the status area is blank after a run";
    EXPECT_EQ(view->ControlText(kUrlStatusLine), "");
    EXPECT_TRUE(run.gui.prompter.warnings.empty());
    // Back to idle.
    EXPECT_FALSE(run.gui.app().running);
    EXPECT_EQ(run.gui.frame()->GetClientSize().y, view->FormHeight(false));
    EXPECT_TRUE(view->Control(kRunSeriesButton)->IsEnabled());
    EXPECT_FALSE(view->Control(kStopButton)->IsEnabled());
    EXPECT_FALSE(run.gui.shell().Document().IsModified()) << "running is not an edit";
}

TEST(SeriesRunFromForm, AFailedFileIsAWarningAndTheRunGoesOn) {
    RunSetup run("*", "4", "5");
    run.gui.view()->SetUrlBase(run.server.url("/status/40"));
    // Yes to the question about the first file, which does not answer.
    run.gui.prompter.answers = {kAnswerYes};
    run.gui.frame()->RunCommand(cmd::kRunSeries);
    // The test's answer "No" lets the run go on to the second file.
    ASSERT_EQ(run.gui.prompter.warnings.size(), 2u);
    EXPECT_FALSE(run.gui.prompter.warnings[0].empty());
    EXPECT_FALSE(std::filesystem::exists(run.gui.dir() + "/dl/f4.bin"));
    EXPECT_TRUE(
        run.tee->Wrote("1006", "ダウンロード終了: 完了 0、失敗 2、スキップ 0、中止 0 (全 2 ファイル)"));
}

// A run that did not complete leaves its result under the run buttons, in
// the form's idle height, until the job is edited.
TEST(SeriesRunFromForm, AnIncompleteRunLeavesItsResultInView) {
    RunSetup run("*", "4", "5");
    COrdinexView* view = run.gui.view();
    run.gui.app().SetStatusView(view);
    const int plainHeight = view->FormHeight(false);
    view->SetUrlBase(run.server.url("/status/40"));
    run.gui.prompter.answers = {kAnswerYes}; // the first file does not answer: run anyway
    run.gui.frame()->RunCommand(cmd::kRunSeries);
    const std::string result = "ダウンロード終了: 完了 0、失敗 2、スキップ 0、中止 0 (全 2 ファイル)";
    // The counts, then the bytes and the time of the run.
    EXPECT_EQ(view->ControlText(kRunResultLine).rfind(result + " (0 バイト, 経過 ", 0), 0u)
        << view->ControlText(kRunResultLine);
    EXPECT_TRUE(view->Control(kRunResultLine)->IsShown());
    EXPECT_GT(view->FormHeight(false), plainHeight);
    EXPECT_EQ(run.gui.frame()->GetClientSize().y, view->FormHeight(false)) << "the window shows the line";
    EXPECT_EQ(view->ControlText(kStatusLine), "") << "the status area is blank as after every run";

    Type(TextBox(view, kUrlBase), "x");
    EXPECT_FALSE(view->Control(kRunResultLine)->IsShown());
    EXPECT_EQ(view->FormHeight(false), plainHeight);
    EXPECT_EQ(run.gui.frame()->GetClientSize().y, plainHeight);
}

// During a run the status area is set at a bounded rate, but what the user
// is asked about, and where a run ends, are shown at once.
TEST(SeriesRunFromForm, StatusWritesShowAtABoundedRate) {
    RunSetup run("*", "4", "5");
    COrdinexView* view = run.gui.view();
    run.gui.app().SetStatusView(view);
    view->DisableForRun();
    PumpFor(2 * CStatusPainter::kIntervalMs); // a quiet spell
    view->SetStatusText("first");
    view->SetStatusText("second");
    view->SetByteProgress("10 / 20 byte", 20, 10);
    EXPECT_EQ(view->ControlText(kStatusLine), "first") << "the first write after a quiet spell shows at once";
    EXPECT_FALSE(view->Control(kByteProgressBar)->IsShown());
    PumpFor(3 * CStatusPainter::kIntervalMs);
    EXPECT_EQ(view->ControlText(kStatusLine), "second");
    EXPECT_EQ(view->ControlText(kByteProgressText), "10 / 20 byte");
    EXPECT_TRUE(view->Control(kByteProgressBar)->IsShown());

    view->SetStatusText("asked about");
    std::string shownWhenAsked;
    run.gui.app().settings.PauseForConfirm = 1;
    run.gui.prompter.answers = {kAnswerOk};
    run.gui.prompter.onMessage = [&] { shownWhenAsked = view->ControlText(kStatusLine); };
    run.gui.app().ConfirmStep();
    EXPECT_EQ(shownWhenAsked, "asked about");
    view->RefreshControls();
}

// Leaving a run works off the input that is still queued (it meets the
// still disabled form) but leaves painting to the idle loop, which then draws
// the window once, as the run left it.
TEST(SeriesRunFromForm, LeavingARunWorksOffQueuedInputAndPaintsLater) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    PumpFor(200);
    int keys = 0, paints = 0;
    gui.frame()->Bind(wxEVT_CHAR_HOOK, [&](wxKeyEvent&) { ++keys; });
    gui.view()->Bind(wxEVT_PAINT, [&](wxPaintEvent& e) { ++paints, e.Skip(); });
    // A key press waiting in the display's queue, as one typed during a run.
    GdkEvent* press = gdk_event_new(GDK_KEY_PRESS);
    press->key.window =
        GDK_WINDOW(g_object_ref(gtk_widget_get_window(static_cast<GtkWidget*>(gui.frame()->GetHandle()))));
    press->key.keyval = GDK_KEY_a;
    press->key.time = GDK_CURRENT_TIME;
    gdk_event_set_device(press,
                         gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
    gdk_event_put(press);
    gdk_event_free(press);
    gui.view()->Refresh();
    gui.shell().Pump().DrainMessages();
    EXPECT_EQ(keys, 1) << "the queued key was worked off";
    EXPECT_EQ(paints, 0) << "painting waits for the idle loop";
    PumpFor(200);
    EXPECT_GT(paints, 0);
}

TEST(SeriesRunFromForm, StopButtonEndsTheRun) {
    RunSetup run("20000*", "0", "9");
    run.gui.view()->SetUrlBase(run.server.url("/slow"));
    run.tee->onByteProgress = [&] {
        wxCommandEvent click(wxEVT_BUTTON, kStopButton);
        click.SetEventObject(run.gui.view()->Control(kStopButton));
        run.gui.view()->Control(kStopButton)->GetEventHandler()->ProcessEvent(click);
    };
    run.gui.frame()->RunCommand(cmd::kRunSeries);
    EXPECT_FALSE(run.gui.app().running);
    EXPECT_FALSE(std::filesystem::exists(run.gui.dir() + "/dl/f1.bin")) << "stopped during the first file";
}

TEST(SeriesRunFromForm, ClosingOrExitingDuringARunStopsItAndClosesAfterwards) {
    const std::pair<const char*, std::function<void(CMainFrame*)>> ways[] = {
        {"close", [](CMainFrame* frame) { frame->Close(); }},
        {"exit command", [](CMainFrame* frame) { frame->RunCommand(cmd::kAppExit); }},
    };
    for (const auto& [name, leave] : ways) {
        RunSetup run("20000*", "0", "9");
        run.gui.prompter.answers = {kAnswerYes}; // to "stop and close?"
        run.gui.view()->SetUrlBase(run.server.url("/slow"));
        run.gui.view()->SetUserName("kept");
        run.tee->onByteProgress = [&] { leave(run.gui.frame()); };
        run.gui.frame()->RunCommand(cmd::kRunSeries);
        EXPECT_FALSE(std::filesystem::exists(run.gui.dir() + "/dl/f1.bin"))
            << name << ": stopped in the first file";
        wxTheApp->ProcessIdle();
        EXPECT_EQ(run.gui.frame(), nullptr) << name << ": closed once the run had returned";
        EXPECT_EQ(run.gui.prompter.messages,
                  std::vector<std::string>{"ダウンロード中です。中止して終了しますか。"})
            << name;
        run.gui.Exit();
        EXPECT_NE(ReadFile(run.gui.path("Ordinex.ini")).find("AccessUserNameText=kept\n"), std::string::npos)
            << name;
    }
}

TEST(SeriesRunFromForm, EndingTheProgramAtAPauseStopsTheRunAsksToSaveAndEndsWithoutSaving) {
    RunSetup run("20000*", "0", "9");
    COrdinexApp& app = run.gui.app();
    CMainFrame* frame = run.gui.frame();
    run.gui.view()->SetUrlBase(run.server.url("/slow"));
    Type(TextBox(run.gui.view(), kUserName), "x");
    app.settings.ConfirmSaveUrlFolderSettingByExit = 1;
    app.settings.PauseForConfirm = 1;
    app.settings.PauseByFileDownload = 1;
    // At the first file's pause: Cancel, No (keep pausing), Yes (end the program).
    run.gui.prompter.answers = {kAnswerCancel, kAnswerNo, kAnswerYes};
    run.gui.prompter.onCloseAndExit = [&] { frame->CloseAndEndProcess(); };
    bool runningWhenAsked = true;
    std::vector<std::string> questions;
    frame->SetSaveQuestion([&](const std::string& q) {
        questions.push_back(q);
        runningWhenAsked = app.running;
        return kAnswerNo;
    });
    int exitCode = -1;
    bool stateSaved = true;
    frame->SetProcessEnd([&](int code) {
        exitCode = code;
        stateSaved = app.Profile().HasSection("UrlFolder") || app.Profile().HasSection("Window");
    });
    frame->RunCommand(cmd::kRunSeries);
    EXPECT_EQ(exitCode, 1);
    EXPECT_EQ(questions.size(), 1u) << "the save question for the edited job";
    EXPECT_FALSE(runningWhenAsked) << "the run had stopped first";
    EXPECT_FALSE(stateSaved) << "no settings or window state on this way out";
    EXPECT_EQ(run.gui.prompter.messages.size(), 3u) << "no pause after the end was chosen";
    EXPECT_FALSE(std::filesystem::exists(run.gui.dir() + "/dl/f1.bin"));
}

} // namespace
} // namespace ordinex::test
