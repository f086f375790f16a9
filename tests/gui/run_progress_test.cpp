// What a download run shows while it lasts and when it ends: the details
// beside the progress lines, the percent in the title, the desktop
// notification, and the question when the window is closed meanwhile.
#include "app/ordinex_app.h"
#include "gui/kit/wx_text.h"
#include "gui/mainwnd/status_painter.h"
#include "gui_support.h"
#include "test_servers.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"

#include <gtest/gtest.h>
#include <wx/app.h>

#include <filesystem>
#include <regex>

namespace ordinex::test {
namespace {

using namespace form;

// The program with a series of slow files (1 KiB every 20 ms) from the
// local server into dl/ below its folder.
struct SlowRun {
    GuiApp gui;
    TestServer server = TestServer::StartHttp();

    // The files' sizes are sizePrefix followed by the range's digit.
    SlowRun(const char* sizePrefix, const char* last) {
        EXPECT_TRUE(gui.Start());
        COrdinexView* view = gui.view();
        view->SetUrlBase(server.url("/slow/"));
        view->SetUrlExpansion(std::string(sizePrefix) + "*");
        view->SetFolderBase(gui.dir() + "/");
        view->SetFolderExpansion("dl/f*.bin");
        view->SetRangeCheck(0, true);
        view->SetRangeStart(0, "0");
        view->SetRangeEnd(0, last);
    }
    std::string Local(int n) const { return gui.path("dl/f" + std::to_string(n) + ".bin"); }
    std::string PlainTitle() { return gui.shell().Document().WindowTitle(); }
};

TEST(RunProgress, TitleAndDetailsShowWhileARunLastsAndGoAfterIt) {
    SlowRun run("4000", "2"); // three files of 0.8 s
    CMainFrame* frame = run.gui.frame();
    COrdinexView* view = run.gui.view();
    ASSERT_EQ(FromWx(frame->GetTitle()), run.PlainTitle());
    std::string title, fileDetail, runDetail, byteLine;
    Later look(1200, [&] { // in the middle of the second file
        title = FromWx(frame->GetTitle());
        fileDetail = view->ControlText(kByteProgressDetail);
        runDetail = view->ControlText(kFileProgressDetail);
        byteLine = view->ControlText(kByteProgressText);
    });
    frame->RunCommand(cmd::kRunSeries);
    ASSERT_TRUE(std::filesystem::exists(run.Local(2)));

    std::smatch percent;
    EXPECT_TRUE(std::regex_search(title, percent, std::regex(R"(^\[[0-9]{1,2}%\] )"))) << title;
    EXPECT_EQ(percent.suffix().str(), run.PlainTitle());
    // Speed and time left follow once the file has run long enough to measure
    // them, which on a loaded machine may be after the look.
    EXPECT_TRUE(std::regex_search(fileDetail, std::regex(R"(^[0-9]+%( [0-9.]+ KB/s 残り 0:0[0-9])?$)")))
        << fileDetail;
    EXPECT_TRUE(std::regex_search(runDetail, std::regex(R"(^[01] / 3 ファイル [0-9.]+ KB/s$)"))) << runDetail;
    EXPECT_TRUE(std::regex_match(byteLine, std::regex(R"([0-9]+ / 4000[0-2] byte)")))
        << "the log's text, as it was: " << byteLine;
    // The details sit beside their lines, inside the form.
    for (auto [line, detail] : {std::pair{kByteProgressText, kByteProgressDetail},
                                std::pair{kFileProgressText, kFileProgressDetail}}) {
        const wxRect a = view->Control(line)->GetRect(), b = view->Control(detail)->GetRect();
        EXPECT_EQ(a.y, b.y);
        EXPECT_LT(a.GetRight(), b.x);
        EXPECT_LE(b.GetRight(), view->GetClientSize().x);
    }

    EXPECT_EQ(FromWx(frame->GetTitle()), run.PlainTitle()) << "the title comes back";
    EXPECT_EQ(view->ControlText(kByteProgressDetail), "");
    EXPECT_EQ(view->ControlText(kFileProgressDetail), "");
}

// The title and the details reach the screen with the status lines, at
// their bounded rate, and a new job's title keeps the run's percent.
TEST(RunProgress, TitleAndDetailsFollowTheBoundedRate) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    CMainFrame* frame = gui.frame();
    COrdinexView* view = gui.view();
    const std::string plain = gui.shell().Document().WindowTitle();
    view->DisableForRun();
    PumpFor(2 * CStatusPainter::kIntervalMs);
    view->SetProgressDetail("10% 1 KB/s", "0 / 4 ファイル", 10);
    view->SetProgressDetail("20% 1 KB/s", "0 / 4 ファイル", 20);
    EXPECT_EQ(FromWx(frame->GetTitle()), "[10%] " + plain) << "the first write after a quiet spell";
    EXPECT_EQ(view->ControlText(kByteProgressDetail), "10% 1 KB/s");
    PumpFor(3 * CStatusPainter::kIntervalMs);
    EXPECT_EQ(FromWx(frame->GetTitle()), "[20%] " + plain);
    EXPECT_EQ(view->ControlText(kByteProgressDetail), "20% 1 KB/s");
    frame->UpdateTitle();
    EXPECT_EQ(FromWx(frame->GetTitle()), "[20%] " + plain);
    view->SetProgressDetail("", "", -1);
    view->RefreshControls();
    EXPECT_EQ(FromWx(frame->GetTitle()), plain);
}

TEST(RunEndNotification, OnlyWhenTheWindowIsNotActiveAndTheRunLastedOverThreeSeconds) {
    struct Row {
        bool active;
        double seconds;
        bool notified;
    } rows[] = {
        {false, 4.0, true},  {false, 3600.0, true}, {true, 4.0, false},
        {false, 3.0, false}, {false, 0.5, false},
    };
    for (const Row& r : rows) {
        GuiApp gui;
        ASSERT_TRUE(gui.Start());
        gui.frame()->SetActiveQuery([&] { return r.active; });
        gui.view()->RunEnded("ダウンロード完了: 3 ファイル", r.seconds);
        const std::vector<std::string> expected =
            r.notified ? std::vector<std::string>{"Ordinex: ダウンロード完了: 3 ファイル"}
                       : std::vector<std::string>{};
        EXPECT_EQ(gui.notifications, expected) << r.active << " " << r.seconds;
    }
}

TEST(RunEndNotification, ARealRunEndsThroughTheSameDecision) {
    SlowRun run("2000", "0"); // 0.4 s
    bool asked = false;
    run.gui.frame()->SetActiveQuery([&] {
        asked = true;
        return false;
    });
    run.gui.frame()->RunCommand(cmd::kRunSeries);
    EXPECT_TRUE(asked) << "the run's end reached the window";
    EXPECT_TRUE(run.gui.notifications.empty()) << "a run of a moment is not announced";
}

// Closing while a download run is in progress asks; No lets the run go on
// and keeps the window. (Yes is in run_test.cpp: the run stops and the
// window closes; SIGTERM, which does not ask, in startup_test.cpp.)
TEST(CloseDuringADownloadRun, NoLetsTheRunFinishAndTheWindowStays) {
    const std::pair<const char*, std::function<void(CMainFrame*)>> ways[] = {
        {"close", [](CMainFrame* frame) { frame->Close(); }},
        {"exit command", [](CMainFrame* frame) { frame->RunCommand(cmd::kAppExit); }},
    };
    for (const auto& [name, leave] : ways) {
        SlowRun run("2000", "1"); // two files of 0.4 s
        run.gui.prompter.answers = {kAnswerNo};
        CMainFrame* frame = run.gui.frame();
        Later close(150, [&] { leave(frame); });
        frame->RunCommand(cmd::kRunSeries);
        EXPECT_EQ(run.gui.prompter.messages,
                  std::vector<std::string>{"ダウンロード中です。中止して終了しますか。"})
            << name;
        EXPECT_TRUE(std::filesystem::exists(run.Local(1))) << name << ": the run went on to its end";
        EXPECT_TRUE(run.gui.app().LastRunReport().summary.Complete()) << name;
        wxTheApp->ProcessIdle();
        PumpFor(50);
        EXPECT_NE(run.gui.frame(), nullptr) << name << ": the window stays";
    }
}

// Busy work that is no download run (a listing, a page load) stops and
// closes without a question, as before.
TEST(CloseDuringADownloadRun, OtherBusyWorkIsNotAskedAbout) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    gui.app().BeginBusy();
    gui.frame()->Close();
    EXPECT_TRUE(gui.prompter.messages.empty());
    EXPECT_TRUE(gui.app().stopRequested);
    gui.app().EndBusy();
    wxTheApp->ProcessIdle();
    PumpFor(50);
    EXPECT_EQ(gui.frame(), nullptr);
}

} // namespace
} // namespace ordinex::test
