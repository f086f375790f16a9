// Job documents through the program: open, edit, save, read back, new,
// failures, recent files and the title.
#include "app/ordinex_app.h"
#include "gui_support.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"

#include <gtest/gtest.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include <sys/stat.h>

#include <filesystem>

namespace ordinex::test {
namespace {

using namespace form;

constexpr const char* kJob = "[UrlFolder]\n"
                             "UrlBaseText=http://h/pub\n"
                             "UrlExpansionText=img*.jpg\n"
                             "AccessUserNameText=guest\n"
                             "AccessPasswordText=secret\n"
                             "FolderBaseText=/tmp/dl\n"
                             "FolderExpansionText=x\n"
                             "[Ordinseq]\n"
                             "WildCard1Check=1\n"
                             "WildCard1Start=001\n"
                             "WildCard1End=010\n"
                             "WildCard2Check=2\n"
                             "WildCard2Start=a\n"
                             "WildCard2End=c\n";

TEST(JobDocument, OpenEditSaveAndReadBack) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    WriteFile(gui.path("a.odx"), kJob);
    CMainFrame* frame = gui.frame();
    COrdinexView* view = gui.view();
    COrdinexDoc& doc = gui.shell().Document();
    frame->SetFileChooser([&](bool) { return gui.path("a.odx"); });
    frame->RunCommand(cmd::kFileOpen);
    EXPECT_EQ(view->GetUrlBase(), "http://h/pub");
    EXPECT_EQ(view->GetPassword(), "secret");
    EXPECT_TRUE(view->GetRangeCheck(0));
    EXPECT_FALSE(view->GetRangeCheck(1)) << "a check of 2 reads as unchecked";
    EXPECT_EQ(view->GetRangeEnd(0), "010");
    EXPECT_EQ(view->ControlText(kUrlDisplay), "http://h/pub/img*.jpg");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(frame->GetTitle(), "Ordinex - a.odx");

    TextBox(view, kUrlExpansion)->SetInsertionPointEnd();
    Type(TextBox(view, kUrlExpansion), "x");
    TextBox(view, kRangeIds[0].start)->SetInsertionPointEnd();
    Type(TextBox(view, kRangeIds[0].start), "2");
    EXPECT_TRUE(doc.IsModified());
    view->SetFolderExpansion("sub ");
    const std::string saved = gui.path("b.odx");
    frame->SetFileChooser([&](bool forSaving) { return forSaving ? gui.path("b") : std::string(); });
    frame->RunCommand(cmd::kFileSaveAs);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(frame->GetTitle(), "Ordinex - b.odx") << "a name without an extension gets .odx";
    const std::string text = ReadFile(saved);
    EXPECT_NE(text.find("UrlExpansionText=img*.jpgx\n"), std::string::npos);
    EXPECT_NE(text.find("FolderExpansionText=sub\n"), std::string::npos) << "texts are trimmed";
    EXPECT_NE(text.find("WildCard1Start=0012\n"), std::string::npos);
    EXPECT_NE(text.find("[Tool]"), std::string::npos) << "a snapshot of the settings";

    // New clears the form; opening the saved job brings it back.
    frame->RunCommand(cmd::kFileNew);
    EXPECT_EQ(view->GetUrlBase(), "");
    EXPECT_EQ(view->GetFolderBase(), gui.dir());
    EXPECT_EQ(frame->GetTitle(), wxString::FromUTF8("Ordinex - 新規ダウンロード設定"));
    frame->SetFileChooser([&](bool) { return saved; });
    frame->RunCommand(cmd::kFileOpen);
    EXPECT_EQ(view->GetUrlExpansion(), "img*.jpgx");
    EXPECT_EQ(view->GetRangeStart(0), "0012");

    // Save goes to the job's own file without asking.
    frame->SetFileChooser([&](bool) -> std::string {
        ADD_FAILURE() << "asked for a name";
        return {};
    });
    view->SetUserName("someone");
    frame->RunCommand(cmd::kFileSave);
    EXPECT_NE(ReadFile(saved).find("AccessUserNameText=someone\n"), std::string::npos);

    const auto& recent = gui.app().recentFiles.Entries();
    ASSERT_GE(recent.size(), 2u);
    EXPECT_EQ(recent[0], saved);
    EXPECT_EQ(recent[1], gui.path("a.odx"));
    EXPECT_EQ(frame->GetMenuBar()->GetLabel(cmd::ToWxId(cmd::kFileMru1)).Left(3), "&1 ");
}

TEST(JobDocument, SaveAsAsksBeforeReplacingTheFileTheExtensionNames) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    CMainFrame* frame = gui.frame();
    WriteFile(gui.path("c.odx"), "old");
    gui.view()->SetUrlBase("http://new/");
    frame->SetFileChooser([&](bool) { return gui.path("c"); });
    gui.prompter.answers = {kAnswerNo};
    frame->RunCommand(cmd::kFileSaveAs);
    ASSERT_EQ(gui.prompter.messages.size(), 1u);
    EXPECT_EQ(gui.prompter.messages[0], "c.odx は既に存在します。\n上書きしますか?");
    EXPECT_EQ(ReadFile(gui.path("c.odx")), "old") << "No keeps the file";
    gui.prompter.answers = {kAnswerYes};
    frame->RunCommand(cmd::kFileSaveAs);
    EXPECT_NE(ReadFile(gui.path("c.odx")).find("UrlBaseText=http://new/\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(gui.path("c")));
}

TEST(JobDocument, FailuresAreReportedAndLeaveTheJobAlone) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    CMainFrame* frame = gui.frame();
    COrdinexView* view = gui.view();
    view->SetUrlBase("http://keep/");
    WriteFile(gui.path("empty.odx"), "");
    struct Row {
        std::string path;
        bool message;
    } rows[] = {
        {gui.path("empty.odx"), false},
        {gui.path("missing.odx"), true},
        {gui.dir(), true},
    };
    for (const auto& r : rows) {
        gui.prompter.messages.clear();
        frame->SetFileChooser([&](bool) { return r.path; });
        frame->RunCommand(cmd::kFileOpen);
        EXPECT_EQ(view->GetUrlBase(), "http://keep/") << r.path;
        EXPECT_EQ(!gui.prompter.messages.empty(), r.message) << r.path;
        if (r.message) {
            EXPECT_EQ(gui.prompter.icons.back(), MessageIcon::Exclamation);
        }
    }
    EXPECT_EQ(frame->GetTitle(), wxString::FromUTF8("Ordinex - 新規ダウンロード設定"));

    gui.prompter.messages.clear();
    const std::string blocked = gui.path("ro");
    mkdir(blocked.c_str(), 0555);
    frame->SetFileChooser([&](bool) { return blocked + "/job.odx"; });
    frame->RunCommand(cmd::kFileSaveAs);
    if (geteuid() != 0) {
        ASSERT_EQ(gui.prompter.messages.size(), 1u);
        EXPECT_NE(gui.prompter.messages[0].find(blocked + "/job.odx"), std::string::npos);
    }
    frame->SetFileChooser([&](bool) { return gui.path("no/such/dir/job.odx"); });
    gui.prompter.messages.clear();
    frame->RunCommand(cmd::kFileSaveAs);
    EXPECT_EQ(gui.prompter.messages.size(), 1u);
    EXPECT_TRUE(gui.shell().Document().PathName().empty() ||
                gui.shell().Document().PathName() == blocked + "/job.odx");
}

TEST(JobDocument, RecentEntryThatCannotBeOpenedLeavesTheList) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    WriteFile(gui.path("a.odx"), kJob);
    gui.app().recentFiles.Add(gui.path("gone.odx"));
    gui.app().recentFiles.Add(gui.path("a.odx"));
    gui.frame()->RebuildRecentMenu();
    gui.frame()->RunCommand(cmd::kFileMru1 + 1);
    ASSERT_EQ(gui.app().recentFiles.Entries().size(), 1u);
    gui.frame()->RunCommand(cmd::kFileMru1);
    EXPECT_EQ(gui.view()->GetUrlBase(), "http://h/pub");
}

TEST(JobDocument, OpeningAnotherJobAsksAboutTheEditedOneAsNewDoes) {
    struct Row {
        int confirmSetting;
        int answer;
        bool opened;     // the form shows the opened job
        bool savedFirst; // the edited job went to its own file first
    } rows[] = {
        {0, kAnswerCancel, false, false}, {0, kAnswerNo, true, false}, {0, kAnswerYes, true, true},
        {1, kAnswerCancel, false, false}, {1, kAnswerNo, true, false},
    };
    for (const Row& r : rows) {
        for (bool recent : {false, true}) {
            const std::string what = std::to_string(r.confirmSetting) + "/" + std::to_string(r.answer) +
                                     (recent ? " recent" : " open");
            GuiApp gui;
            ASSERT_TRUE(gui.Start());
            WriteFile(gui.path("a.odx"), kJob);
            WriteFile(gui.path("mine.odx"), "[UrlFolder]\nUrlBaseText=http://mine/\n");
            CMainFrame* frame = gui.frame();
            gui.app().settings.ConfirmSaveUrlFolderSettingByOpen = r.confirmSetting;
            frame->SetFileChooser([&](bool) { return gui.path("mine.odx"); });
            frame->RunCommand(cmd::kFileOpen);
            TextBox(gui.view(), kUrlBase)->SetInsertionPointEnd();
            Type(TextBox(gui.view(), kUrlBase), "edited");
            std::vector<std::string> questions;
            frame->SetSaveQuestion([&](const std::string& q) {
                questions.push_back(q);
                return r.answer;
            });
            gui.app().recentFiles.Add(gui.path("a.odx"));
            frame->RebuildRecentMenu();
            frame->SetFileChooser([&](bool) { return gui.path("a.odx"); });
            frame->RunCommand(recent ? cmd::kFileMru1 : cmd::kFileOpen);
            ASSERT_EQ(questions.size(), 1u) << what;
            EXPECT_EQ(questions[0], "mine.odx への変更を保存しますか?") << what;
            EXPECT_EQ(gui.view()->GetUrlBase(), r.opened ? "http://h/pub" : "http://mine/edited") << what;
            EXPECT_EQ(ReadFile(gui.path("mine.odx")).find("UrlBaseText=http://mine/edited\n") !=
                          std::string::npos,
                      r.savedFirst)
                << what;
        }
    }
}

} // namespace
} // namespace ordinex::test
