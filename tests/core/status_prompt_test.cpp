#include "app/ordinex_app.h"
#include "recording_ui.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <functional>

using namespace ordinex;
using namespace ordinex::test;

namespace {

class StatusTest : public ::testing::Test {
protected:
    COrdinexApp app;
    RecordingStatusView view;
    ScriptedPrompter prompter;
    TempDir dir;

    void SetUp() override {
        app.SetStatusView(&view);
        app.SetPrompter(&prompter);
    }
    void PauseOn() {
        app.settings.PauseForConfirm = 1;
        app.settings.PauseByStatus = 1;
        app.settings.PauseByDownload = 1;
    }
    int Pauses() const {
        return static_cast<int>(
            std::count(prompter.asked.begin(), prompter.asked.end(), "box:動作を確認してください。"));
    }
};

TEST_F(StatusTest, ShowTargetsFourCases) {
    app.ShowTargets("http://h/a", "/d/a");
    EXPECT_EQ(view.line1007, "http://h/a を");
    EXPECT_EQ(view.line1008, "/d/a に保存");
    app.ShowTargets("http://h/a", "");
    EXPECT_EQ(view.line1007, "(URL) http://h/a");
    EXPECT_EQ(view.line1008, "(保存先) ");
    app.ShowTargets("", "/d/a");
    EXPECT_EQ(view.line1007, "(URL) ");
    EXPECT_EQ(view.line1008, "(保存先) /d/a");
    app.ShowTargets("", "");
    EXPECT_EQ(view.line1007, "");
    EXPECT_EQ(view.line1008, "");
}

TEST_F(StatusTest, OrdinaryWritesPauseClearingWritesNever) {
    PauseOn();
    app.SetStatus(kClear);
    app.SetStatus2(kClear);
    app.SetTransferText(kClear);
    app.SetByteProgress(kClear);
    app.ShowTargets(kClear);
    app.ShowTreeTarget(kClear);
    EXPECT_EQ(Pauses(), 0);
    app.SetStatus("");
    app.SetStatus2("x");
    app.SetTransferText("");
    app.ShowTargets("", "");
    app.SetByteProgress("1 / 2 byte", 2, 1);
    EXPECT_EQ(Pauses(), 5);
    app.SetFileProgress("0 / 1 Files", 1, 0);
    EXPECT_EQ(Pauses(), 5) << "file progress never pauses";
}

TEST_F(StatusTest, ProgressWritesShowAndClearingHidesTheBars) {
    app.SetByteProgress("10 / 20 byte", 20, 10);
    app.SetFileProgress("0 / 3 Files", 3, 0);
    EXPECT_TRUE(view.byteBarShown);
    EXPECT_TRUE(view.fileBarShown);
    app.SetByteProgress(kClear);
    app.SetFileProgress(kClear);
    EXPECT_FALSE(view.byteBarShown);
    EXPECT_FALSE(view.fileBarShown);
}

TEST_F(StatusTest, LogReceivesTransferTextsAndTreeMarkers) {
    ASSERT_TRUE(app.OpenLog(dir / "Ordinex.log"));
    app.SetTransferText("off, not logged");
    app.settings.WarningLogSetting = 1;
    app.SetTransferText("エラー");
    app.SetTransferText("");
    app.SetTransferText(kClear);
    app.ShowTreeTarget("ftp://host/pub/");
    app.ShowTreeTarget(kClear);
    app.ShowLoadTarget("http://h/p.html", "");
    app.ShowLoadTarget(kClear);
    app.CloseLog();
    EXPECT_EQ(ReadFile(dir / "Ordinex.log"),
              "エラー\n\n<*><*><*>\nftp://host/pub/\n<*><*><*>\n<*><*><*>\nhttp://h/p.html\n");
    EXPECT_EQ(view.line1007, "");
}

TEST_F(StatusTest, LogIsEmptiedAtOpenAndStaysEmptyWhenOff) {
    WriteFile(dir / "Ordinex.log", "previous run\n");
    ASSERT_TRUE(app.OpenLog(dir / "Ordinex.log"));
    app.SetTransferText("x");
    app.CloseLog();
    EXPECT_EQ(ReadFile(dir / "Ordinex.log"), "");
    EXPECT_FALSE(app.OpenLog(dir / "missing/Ordinex.log"));
    app.settings.WarningLogSetting = 1;
    app.WriteLog("dropped silently");
}

TEST_F(StatusTest, TreeAndLoadTargets) {
    app.ShowTreeTarget("ftp://h/");
    EXPECT_EQ(view.line1007, "ftp://h/ をツリー表示");
    EXPECT_EQ(view.line1008, "");
    app.ShowLoadTarget("http://h/", "frame1");
    EXPECT_EQ(view.line1007, "http://h/ を");
    EXPECT_EQ(view.line1008, "frame1 にロード");
    app.ShowLoadTarget("http://h/", "");
    EXPECT_EQ(view.line1007, "http://h/ をロード");
}

TEST_F(StatusTest, BusyStateOrder) {
    RecordingBusyWindows windows;
    CountingPump pump;
    app.SetBusyWindows(&windows);
    app.SetMessagePump(&pump);
    app.stopRequested = true;
    app.BeginBusy();
    EXPECT_TRUE(app.running);
    EXPECT_FALSE(app.stopRequested);
    app.EndBusy();
    EXPECT_FALSE(app.running);
    EXPECT_EQ(pump.drains, 1);
    EXPECT_EQ(windows.events, (std::vector<std::string>{"enter", "grow", "shrink", "leave"}));
}

// ---- Prompts ----

TEST_F(StatusTest, WarningNeedsTheMasterSwitchAndTheSituation) {
    EXPECT_EQ(app.ShowWarning("w", 1), kAnswerNo);
    EXPECT_EQ(app.warningText, "w");
    EXPECT_EQ(app.ShowWarning("w", 0), kAnswerCancel);
    app.settings.ShowWarningDialogSetting = 0;
    EXPECT_EQ(app.ShowWarning("w", 1), kAnswerCancel);
    EXPECT_EQ(prompter.asked, (std::vector<std::string>{"dialog:w"}));
    EXPECT_EQ(prompter.repaints, 3) << "the frame is repainted after every warning";
}

TEST_F(StatusTest, AWarningNamesWhatTheStatusLinesShowAsWorkedOn) {
    struct Row {
        std::function<void()> show;
        std::string subject;
    } rows[] = {
        {[&] { app.ShowTargets("ftp://u:pw@h/a.bin", "/d/a.bin"); }, "ftp://u:****@h/a.bin"},
        {[&] { app.ShowTargets("", "/d/b.bin"); }, "/d/b.bin"},
        {[&] { app.ShowTreeTarget("ftp://u:pw@h/pub/"); }, "ftp://u:****@h/pub/"},
        {[&] { app.ShowLoadTarget("http://h/p.html", "frame1"); }, "http://h/p.html"},
        {[&] {
             app.ShowTargets("http://h/c.bin", "/d/c.bin");
             app.ShowTargets(kClear);
         },
         ""},
        {[&] {
             app.ShowTreeTarget("ftp://h/");
             app.ShowTreeTarget(kClear);
         },
         ""},
    };
    for (const Row& r : rows) {
        r.show();
        app.ShowWarning("failed", 1);
        EXPECT_EQ(app.warningSubject, r.subject);
        EXPECT_EQ(prompter.subjects.back(), r.subject);
    }
}

TEST_F(StatusTest, WarningBecomesAMessageBoxWhilePausing) {
    app.settings.PauseForConfirm = 1;
    app.settings.PauseByWarning = 1;
    app.settings.ShowWarningDialogSetting = 0;
    prompter.answers = {kAnswerYes};
    EXPECT_EQ(app.ShowWarning("転送失敗", 0), kAnswerYes);
    EXPECT_EQ(prompter.asked, (std::vector<std::string>{"box:転送失敗\n\n処理を中止しますか。"}));
}

TEST_F(StatusTest, PauseChain) {
    app.ConfirmStep();
    EXPECT_TRUE(prompter.asked.empty()) << "off without the master switch";
    app.settings.PauseForConfirm = 1;

    prompter.answers = {kAnswerOk};
    app.ConfirmStep();
    EXPECT_EQ(app.settings.PauseForConfirm, 1);

    // Cancel, No, No goes back to the first question; then OK.
    prompter.asked.clear();
    prompter.answers = {kAnswerCancel, kAnswerNo, kAnswerNo, kAnswerOk};
    app.ConfirmStep();
    EXPECT_EQ(prompter.asked,
              (std::vector<std::string>{"box:動作を確認してください。", "box:確認処理を取り消しますか。",
                                        "box:プログラムを終了しますか。", "box:動作を確認してください。"}));
    EXPECT_FALSE(prompter.exitRequested);

    // Cancel then Yes switches pausing off.
    prompter.answers = {kAnswerCancel, kAnswerYes};
    app.ConfirmStep();
    EXPECT_EQ(app.settings.PauseForConfirm, 0);

    // Cancel, No, Yes ends the program.
    app.settings.PauseForConfirm = 1;
    prompter.answers = {kAnswerCancel, kAnswerNo, kAnswerYes};
    app.ConfirmStep();
    EXPECT_TRUE(prompter.exitRequested);
}

} // namespace
