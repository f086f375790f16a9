// Series from pasted addresses, their undo, and the list of a run.
#include "app/ordinex_app.h"
#include "gui/mainwnd/main_frame.h"
#include "gui/mainwnd/ordinex_view.h"
#include "gui/mainwnd/preview_dialog.h"
#include "gui_support.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>

namespace ordinex::test {
namespace {

using namespace form;

void PutOnClipboard(const std::string& text) {
    wxClipboardLocker lock;
    ASSERT_FALSE(!lock);
    wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(text.c_str())));
}

TEST(SeriesAssist, PastedAddressesMakeTheSeriesAndCtrlZTakesItBack) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    COrdinexView* view = gui.view();
    view->SetUserName("me");
    view->SetUrlExpansion("old.jpg");
    const Job before = view->ReadJob();
    // Pasted with the focus on a button: no box takes the text.
    view->Control(kRunSeriesButton)->SetFocus();
    PutOnClipboard("http://h/vola/p001.png\nhttp://h/volc/p120.png\n");
    gui.frame()->RunCommand(cmd::kEditPaste);

    EXPECT_EQ(view->GetUrlBase(), "http://h/");
    EXPECT_EQ(view->GetUrlExpansion(), "vol*/p?.png");
    EXPECT_EQ(view->GetFolderBase(), gui.dir() + "/");
    EXPECT_EQ(view->GetFolderExpansion(), "vol*/p?.png");
    EXPECT_EQ(view->GetUserName(), "me");
    EXPECT_TRUE(view->GetRangeCheck(0));
    EXPECT_EQ(view->GetRangeStart(1) + "-" + view->GetRangeEnd(1), "001-120");
    EXPECT_TRUE(Enabled(view, kRangeIds[1].start)) << "a ticked range's boxes are on";
    EXPECT_EQ(view->ControlText(kCountLine), "全 360 ファイル");
    EXPECT_NE(view->ControlText(kRunResultLine).find("* = a～c、? = 001～120"), std::string::npos);
    EXPECT_TRUE(gui.shell().Document().IsModified());

    gui.frame()->RunCommand(cmd::kEditUndo);
    EXPECT_EQ(view->ReadJob(), before);
    EXPECT_EQ(view->ControlText(kCountLine), "全 1 ファイル");
    EXPECT_FALSE(view->Control(kRunResultLine)->IsShown());
}

TEST(SeriesAssist, AddressesThatMakeNoSeriesChangeNothing) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    COrdinexView* view = gui.view();
    view->SetUrlBase("http://keep/");
    const Job before = view->ReadJob();
    view->Control(kRunSeriesButton)->SetFocus();
    PutOnClipboard("http://h/a1.jpg http://h/a1-x.jpg");
    gui.frame()->RunCommand(cmd::kEditPaste);
    EXPECT_EQ(view->ReadJob(), before);
    ASSERT_EQ(gui.prompter.messages.size(), 1u);
    EXPECT_NE(gui.prompter.messages[0].find("「.」と「-」"), std::string::npos) << gui.prompter.messages[0];
}

// The list of a million combinations is there at once, both ends included;
// beyond what a list can hold, its last row is still the run's last file.
TEST(SeriesPreviewDialog, RowsComeByPosition) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    Job job;
    job.urlBase = "http://h/*/?.jpg";
    job.folderBase = gui.dir() + "/?.jpg";
    job.ranges[0] = {1, "0001", "1000"};
    job.ranges[1] = {1, "0001", "1000"};
    WriteFile(gui.path("1000.jpg"), "x");
    gui.app().settings.SaveSetting = 0;
    auto* dialog = new CPreviewDialog(gui.frame(), SeriesPreview(job, gui.app().settings), 0);
    EXPECT_EQ(dialog->RowCount(), 1000000);
    EXPECT_EQ(dialog->CellText(999999, 0), "1,000,000");
    EXPECT_EQ(dialog->CellText(999999, 1), "http://h/1000/1000.jpg");
    EXPECT_EQ(dialog->CellText(999999, 3), "既存: スキップ");
    EXPECT_EQ(dialog->CellText(0, 3), "");
    dialog->Destroy();

    job.ranges[1] = {1, "a", "zzzz"}; // 475,254 x 1,000
    dialog = new CPreviewDialog(gui.frame(), SeriesPreview(job, gui.app().settings), 0);
    EXPECT_EQ(dialog->RowCount(), CPreviewDialog::kMaxRows);
    EXPECT_EQ(dialog->CellText(CPreviewDialog::kMaxRows - 1, 0), "475,254,000");
    EXPECT_EQ(dialog->CellText(CPreviewDialog::kMaxRows - 1, 1), "http://h/1000/zzzz.jpg");
    dialog->Destroy();
}

} // namespace
} // namespace ordinex::test
