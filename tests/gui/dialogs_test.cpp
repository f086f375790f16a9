// The warning dialog, the pause prompts, the busy animation and the version box.
#include "app/ordinex_app.h"
#include "gui/about/about_dialog.h"
#include "gui/kit/warning_dialog.h"
#include "gui/mainwnd/busy_animation.h"
#include "gui/widgets/app_art.h"
#include "gui_support.h"
#include "platform/version_record.h"
#include "test_servers.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/time.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstring>
#include <filesystem>
#include <functional>

namespace ordinex::test {
namespace {

TEST(WarningDialog, LeftAloneItClosesAsNoAfterTwoSeconds) {
    CWarningDialog dialog(nullptr, "http://h/a.jpgがURLとして正しくありません");
    EXPECT_EQ(dialog.MessageText()->GetLabel(),
              wxString::FromUTF8("http://h/a.jpgがURLとして正しくありません"));
    EXPECT_EQ(dynamic_cast<wxStaticText*>(dialog.FindWindow(1044))->GetLabel(),
              wxString::FromUTF8("ワーニング"));
    EXPECT_EQ(dynamic_cast<wxStaticText*>(dialog.FindWindow(1046))->GetLabel(),
              wxString::FromUTF8("処理を中止しますか？"));
    EXPECT_EQ(dialog.MessageText()->GetForegroundColour(), wxColour(0, 0, 192));
    int valueAtOneSecond = -1;
    Later probe(1100, [&] { valueAtOneSecond = dialog.ProgressBar()->GetValue(); });
    const wxLongLong start = wxGetLocalTimeMillis();
    EXPECT_EQ(dialog.ShowModal(), kAnswerNo);
    const long took = (wxGetLocalTimeMillis() - start).GetLo();
    EXPECT_GE(took, 1900);
    EXPECT_LT(took, 4000);
    EXPECT_EQ(dialog.Elapsed(), 2000);
    EXPECT_GE(valueAtOneSecond, 800) << "the bar fills as the time runs";
    EXPECT_LE(valueAtOneSecond, 1200);
    EXPECT_EQ(dialog.ProgressBar()->GetRange(), 2000);
}

TEST(WarningDialog, EnterGoesOnAsWaitingDoesAndYesStops) {
    {
        CWarningDialog dialog(nullptr, "x");
        auto* yes = dynamic_cast<wxButton*>(dialog.FindWindow(wxID_YES));
        auto* no = dynamic_cast<wxButton*>(dialog.FindWindow(wxID_NO));
        ASSERT_NE(yes, nullptr);
        ASSERT_NE(no, nullptr);
        EXPECT_EQ(yes->GetLabel(), wxString::FromUTF8("はい"));
        EXPECT_EQ(no->GetLabel(), wxString::FromUTF8("いいえ"));
        EXPECT_EQ(dialog.GetDefaultItem(), no);
        wxWindow* focused = nullptr;
        // Enter as the keyboard gives it, to whatever has the focus.
        Later enter(400, [&] {
            focused = wxWindow::FindFocus();
            wxUIActionSimulator().Char(WXK_RETURN);
        });
        EXPECT_EQ(dialog.ShowModal(), kAnswerNo);
        EXPECT_EQ(focused, no);
        EXPECT_LT(dialog.Elapsed(), 2000) << "answered by Enter, not by the clock";
    }
    CWarningDialog dialog(nullptr, "x");
    Later press(300, [&] { Press(&dialog, wxID_YES); });
    EXPECT_EQ(dialog.ShowModal(), kAnswerYes);
    EXPECT_LT(dialog.Elapsed(), 2000);
}

TEST(WarningDialog, NamesTheFileOnALineOfItsOwn) {
    const std::string url = "http://example.org/" + std::string(200, 'd') + "/page012.png";
    CWarningDialog dialog(nullptr, "要求されたURLが見つかりません(404)", url);
    wxStaticText* subject = dialog.SubjectText();
    EXPECT_TRUE(subject->IsShown());
    EXPECT_EQ(subject->GetLabel(), wxString::FromUTF8("対象: " + url));
    EXPECT_EQ(subject->GetToolTipText(), wxString::FromUTF8("対象: " + url));
    // A long address is cut in its middle and keeps the file name in view.
    EXPECT_TRUE(subject->GetLabelText().EndsWith("page012.png") ||
                subject->GetLabel().EndsWith("page012.png"));
    EXPECT_LE(subject->GetSize().x, dialog.MessageText()->GetSize().x);
    EXPECT_LE(dialog.GetSize().x, dialog.FromDIP(600)) << "the address does not widen the dialog";

    CWarningDialog none(nullptr, "x");
    EXPECT_FALSE(none.SubjectText()->IsShown());
}

TEST(WarningDialog, AClickOnItsFaceHoldsItOpen) {
    CWarningDialog dialog(nullptr, "x");
    bool heldAfterTimeout = false;
    bool barHidden = false;
    Later click(500, [&] {
        wxMouseEvent down(wxEVT_LEFT_DOWN);
        down.SetEventObject(dialog.MessageText());
        dialog.MessageText()->GetEventHandler()->ProcessEvent(down);
        barHidden = !dialog.ProgressBar()->IsShown();
    });
    Later check(2800, [&] {
        heldAfterTimeout = dialog.IsModal() && !dialog.Counting();
        Press(&dialog, wxID_NO);
    });
    EXPECT_EQ(dialog.ShowModal(), kAnswerNo);
    EXPECT_TRUE(barHidden);
    EXPECT_TRUE(heldAfterTimeout) << "no time limit once clicked";
    EXPECT_LT(dialog.Elapsed(), 2000);
}

TEST(WarningDialog, EscapeAnswersTwo) {
    CWarningDialog dialog(nullptr, "x");
    Later escape(300, [&] {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = WXK_ESCAPE;
        key.SetEventObject(&dialog);
        dialog.GetEventHandler()->ProcessEvent(key);
    });
    EXPECT_EQ(dialog.ShowModal(), kAnswerCancel);
}

// Message boxes come from the script; warnings show the real dialog, which a
// test may answer by pressing one of its buttons after a while.
class DialogPrompter : public ScriptedPrompter {
public:
    int pressAfterMs = -1;
    int pressId = wxID_YES;
    std::vector<int> answersGiven;
    int WarningDialog(const std::string& text, const std::string& subject) override {
        warnings.push_back(text);
        warningSubjects.push_back(subject);
        CWarningDialog dialog(nullptr, text, subject);
        std::unique_ptr<Later> press;
        if (pressAfterMs >= 0)
            press = std::make_unique<Later>(pressAfterMs, [&] { Press(&dialog, pressId); });
        const int answer = dialog.ShowModal();
        answersGiven.push_back(answer);
        return answer;
    }
};

struct DialogRun {
    GuiApp gui;
    DialogPrompter prompter;
    TestServer server = TestServer::StartHttp();

    DialogRun() {
        gui.app().SetPrompter(&prompter);
        EXPECT_TRUE(gui.Start());
        COrdinexView* view = gui.view();
        view->SetUrlBase(server.url("/status"));
        view->SetUrlExpansion("40*");
        view->SetFolderBase(gui.dir());
        view->SetFolderExpansion("dl/f*.bin");
        view->SetRangeCheck(0, true);
        view->SetRangeStart(0, "4");
        view->SetRangeEnd(0, "5");
        // The first file does not answer; asked before the run, the test runs anyway.
        prompter.answers = {kAnswerYes};
    }
};

TEST(WarningDuringARun, LeftAloneTheRunGoesOnAfterEachWarning) {
    DialogRun run;
    const wxLongLong start = wxGetLocalTimeMillis();
    run.gui.frame()->RunCommand(cmd::kRunSeries);
    const long took = (wxGetLocalTimeMillis() - start).GetLo();
    EXPECT_EQ(run.prompter.warnings,
              (std::vector<std::string>{"要求されたURLが見つかりません(404)",
                                        "サーバーは要求された方式をサポートしていません(405)"}));
    EXPECT_EQ(run.prompter.warningSubjects,
              (std::vector<std::string>{run.server.url("/status/404"), run.server.url("/status/405")}));
    EXPECT_EQ(run.prompter.answersGiven, (std::vector<int>{kAnswerNo, kAnswerNo}));
    EXPECT_GE(took, 3800) << "two warnings of two seconds each";
    EXPECT_FALSE(run.gui.app().running);
}

TEST(WarningDuringARun, YesEndsTheRun) {
    DialogRun run;
    run.prompter.pressAfterMs = 300;
    run.gui.frame()->RunCommand(cmd::kRunSeries);
    EXPECT_EQ(run.prompter.warnings.size(), 1u) << "the second file is never tried";
    EXPECT_EQ(run.prompter.answersGiven, (std::vector<int>{kAnswerYes}));
}

TEST(PausePrompts, CancelThenYesSwitchesPausingOffForGood) {
    GuiApp gui;
    TestServer server = TestServer::StartHttp();
    ASSERT_TRUE(gui.Start());
    gui.app().settings.PauseForConfirm = 1;
    gui.app().settings.PauseByFileDownload = 1;
    COrdinexView* view = gui.view();
    view->SetUrlBase(server.url("/bytes"));
    view->SetUrlExpansion("1*");
    view->SetFolderBase(gui.dir());
    view->SetFolderExpansion("f*.bin");
    view->SetRangeCheck(0, true);
    view->SetRangeStart(0, "0");
    view->SetRangeEnd(0, "2");
    gui.prompter.answers = {kAnswerCancel, kAnswerNo, kAnswerNo, kAnswerCancel, kAnswerYes};
    gui.frame()->RunCommand(cmd::kRunSeries);
    EXPECT_EQ(gui.prompter.messages,
              (std::vector<std::string>{"動作を確認してください。", "確認処理を取り消しますか。",
                                        "プログラムを終了しますか。", "動作を確認してください。",
                                        "確認処理を取り消しますか。"}));
    EXPECT_EQ(gui.app().settings.PauseForConfirm, 0);
    EXPECT_TRUE(std::filesystem::exists(gui.path("f2.bin"))) << "the run went on without pausing";
    gui.Exit();
    EXPECT_NE(ReadFile(gui.path("Ordinex.ini")).find("PauseForConfirm=0\n"), std::string::npos);
}

TEST(PausePrompts, StatusPausesComeInOrderWithTheLines) {
    GuiApp gui;
    TestServer server = TestServer::StartHttp();
    ASSERT_TRUE(gui.Start());
    gui.app().settings.PauseForConfirm = 1;
    gui.app().settings.PauseByStatus = 1;
    gui.app().settings.PauseByFileDownload = 1;
    COrdinexView* view = gui.view();
    view->SetUrlBase(server.url("/bytes/10"));
    view->SetFolderBase(gui.dir());
    view->SetFolderExpansion("f.bin");
    std::vector<std::string> lineAtEachPause;
    gui.prompter.answers.clear();
    // Every prompt is answered OK; what the status line showed at that moment is kept.
    class Recorder : public ScriptedPrompter {
    public:
        COrdinexView* view = nullptr;
        std::vector<std::string>* seen = nullptr;
        bool busyLookAtEachPause = true;
        int MessageBox(const std::string& text, MessageButtons b, MessageIcon i, bool d) override {
            // A question shows the run's look at once, however soon it comes.
            busyLookAtEachPause = busyLookAtEachPause && !view->Control(form::kUrlBase)->IsEnabled() &&
                                  view->Control(form::kStopButton)->IsEnabled();
            seen->push_back(view->ControlText(1006));
            return ScriptedPrompter::MessageBox(text, b, i, d);
        }
    } recorder;
    recorder.view = view;
    recorder.seen = &lineAtEachPause;
    gui.app().SetPrompter(&recorder);
    gui.frame()->RunCommand(cmd::kRunSeries);
    gui.app().SetPrompter(&gui.prompter);
    ASSERT_GT(lineAtEachPause.size(), 8u);
    EXPECT_TRUE(recorder.busyLookAtEachPause);
    const auto has = [&](const std::string& text) {
        return std::find(lineAtEachPause.begin(), lineAtEachPause.end(), text) != lineAtEachPause.end();
    };
    EXPECT_TRUE(has("HTTPセッションを開始"));
    EXPECT_TRUE(has("URLが見つかりました(転送を開始)"));
    EXPECT_TRUE(has("HTTPセッションを終了"));
    EXPECT_EQ(lineAtEachPause.back(), "全ファイルダウンロード完了");
    EXPECT_TRUE(std::filesystem::exists(gui.path("f.bin")));
}

// A run that lasts shows its busy look: the form disabled but Stop, the
// status area uncovered and the animation playing beside the frame.
TEST(BusyAnimation, PlaysDuringARunAndIsGoneAfterIt) {
    GuiApp gui;
    TestServer server = TestServer::StartHttp();
    ASSERT_TRUE(gui.Start());
    COrdinexView* view = gui.view();
    view->SetUrlBase(server.url("/slow"));
    view->SetUrlExpansion("20000");
    view->SetFolderBase(gui.dir());
    view->SetFolderExpansion("f.bin");
    bool shownDuringRun = false, stopLiveDuringRun = false;
    int heightDuringRun = 0;
    int rightEdgeGap = -1;
    std::vector<int> pictures;
    class Watch : public IStatusView {
    public:
        std::function<bool()> onProgress; // true: done
        void SetUrlStatus(const std::string&) override {}
        void SetFolderStatus(const std::string&) override {}
        void SetStatusText(const std::string&) override {}
        void SetStatusText2(const std::string&) override {}
        void SetTransferStatus(const std::string&) override {}
        void SetByteProgress(const std::string&, int64_t, int64_t) override {
            if (onProgress && onProgress())
                onProgress = {};
        }
        void ClearByteProgress() override {}
        void SetFileProgress(const std::string&, int64_t, int64_t) override {}
        void ClearFileProgress() override {}
    } watch;
    watch.onProgress = [&] {
        if (gui.frame()->BusyLookDue())
            return false;
        stopLiveDuringRun =
            view->Control(form::kStopButton)->IsEnabled() && !view->Control(form::kUrlBase)->IsEnabled();
        heightDuringRun = gui.frame()->GetClientSize().y;
        CBusyAnimation* animation = gui.frame()->BusyAnimation();
        shownDuringRun = animation && animation->IsShown();
        if (!animation)
            return true;
        // The toolkit reports the new window's size only once the display has
        // configured it; its position is set at once.
        rightEdgeGap = gui.frame()->GetScreenRect().GetRight() -
                       (animation->GetScreenPosition().x + kBusyFrameWidth - 1);
        pictures.push_back(animation->CurrentResource());
        for (int i = 0; i < 21; ++i) {
            animation->Tick();
            pictures.push_back(animation->CurrentResource());
        }
        return true;
    };
    gui.app().SetStatusView(&watch);
    gui.frame()->RunCommand(cmd::kRunSeries);
    gui.app().SetStatusView(view);
    EXPECT_TRUE(shownDuringRun);
    EXPECT_TRUE(stopLiveDuringRun);
    EXPECT_EQ(heightDuringRun, view->FormHeight(true)) << "the status area is uncovered";
    EXPECT_EQ(rightEdgeGap, 0) << "aligned with the main frame's right edge";
    EXPECT_EQ(gui.frame()->BusyAnimation(), nullptr);
    ASSERT_EQ(pictures.size(), 22u);
    const std::vector<int> expected = {172, 172, 173, 174, 175, 176, 177, 178, 179, 180, 181,
                                       182, 163, 164, 165, 183, 184, 185, 186, 187, 188, 172};
    EXPECT_EQ(pictures, expected);
}

TEST(BusyAnimation, EachRunPlaysFromTheFirstPictureAndNothingStaysOnScreenBetweenRuns) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    CMainFrame* frame = gui.frame();
    // Mapped is what the display shows; the toolkit's own flag may lag.
    auto onScreen = [](wxWindow* w) {
        return gtk_widget_get_mapped(static_cast<GtkWidget*>(w->GetHandle())) != 0;
    };
    frame->ShowBusyAnimation();
    CBusyAnimation* first = frame->BusyAnimation();
    ASSERT_NE(first, nullptr);
    for (int i = 0; i < 5; ++i)
        first->Tick();
    // A run so short that the display has not yet mapped the window.
    frame->DestroyBusyAnimation();
    PumpFor(100);
    EXPECT_EQ(frame->BusyAnimation(), nullptr);
    for (wxWindow* w : wxTopLevelWindows)
        EXPECT_FALSE(dynamic_cast<CBusyAnimation*>(w) && onScreen(w)) << "an animation stays on screen";

    frame->ShowBusyAnimation();
    PumpFor(100);
    CBusyAnimation* second = frame->BusyAnimation();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(onScreen(second));
    EXPECT_EQ(second->CurrentResource(), 172);
    EXPECT_EQ(second->FrameIndex(), CBusyAnimation::kFirstIndex);
    EXPECT_FALSE(second->MovedByUser());
    frame->DestroyBusyAnimation();
}

TEST(BusyAnimation, PicturesAreDrawnAndWhiteIsTransparent) {
    for (int resource : CBusyAnimation::kFrameResource) {
        const wxBitmap picture = CBusyAnimation::PictureOf(resource);
        ASSERT_TRUE(picture.IsOk());
        EXPECT_EQ(picture.GetWidth(), 150);
        EXPECT_EQ(picture.GetHeight(), 72);
    }
    // Neighbouring pictures differ: the animation moves.
    const wxImage a = CBusyAnimation::PictureOf(172).ConvertToImage();
    const wxImage b = CBusyAnimation::PictureOf(173).ConvertToImage();
    EXPECT_NE(std::memcmp(a.GetData(), b.GetData(), 150 * 72 * 3), 0);
    EXPECT_EQ(wxColour(a.GetRed(0, 0), a.GetGreen(0, 0), a.GetBlue(0, 0)), *wxWHITE);
}

TEST(AboutBox, ShowsTheFiveStringsOfTheVersionRecord) {
    const VersionRecord& record = ProgramVersionRecord();
    CAboutDialog dialog(nullptr, "Ordinex", record);
    EXPECT_EQ(dialog.GetTitle(), "Ordinex");
    EXPECT_EQ(dialog.TextOf(1018), wxString::FromUTF8(record.fileDescription));
    EXPECT_EQ(dialog.TextOf(1013), "Ordinex");
    EXPECT_EQ(dialog.TextOf(1015), wxString::FromUTF8(record.productVersion));
    EXPECT_EQ(dialog.TextOf(1014), wxString::FromUTF8(record.originalFilename));
    EXPECT_EQ(dialog.TextOf(1016), wxString::FromUTF8(record.fileVersion));
    EXPECT_EQ(dynamic_cast<wxButton*>(dialog.FindWindow(wxID_OK))->GetLabel(), wxString::FromUTF8("閉じる"));
}

TEST(AboutBox, MissingStringsKeepThePlaceholders) {
    CAboutDialog dialog(nullptr, "Ordinex", VersionRecord{});
    EXPECT_EQ(dialog.TextOf(1018), "FILEDESCRIPTION");
    EXPECT_EQ(dialog.TextOf(1013), "PRODUCTNAME");
    EXPECT_EQ(dialog.TextOf(1015), "PRODUCTVERSION");
    EXPECT_EQ(dialog.TextOf(1014), "FILENAME");
    EXPECT_EQ(dialog.TextOf(1016), "FILEVERSION");
}

TEST(AboutBox, TheMenuCommandOpensIt) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    wxString title;
    Later close(300, [&] {
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* about = dynamic_cast<CAboutDialog*>(w)) {
                title = about->GetTitle();
                about->EndModal(wxID_OK);
            }
    });
    gui.frame()->RunCommand(cmd::kAppAbout);
    EXPECT_EQ(title, "Ordinex");
}

} // namespace
} // namespace ordinex::test
