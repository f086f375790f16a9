// The main form in a running program: typing, displays, enabling.
#include "app/ordinex_app.h"
#include "gui/widgets/range_edit.h"
#include "gui_support.h"
#include "ui/form_ids.h"

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/gauge.h>
#include <wx/stattext.h>

namespace ordinex::test {
namespace {

using namespace form;

TEST(MainForm, StartsEmptyWithTheWorkingFolderWhenNoSettingsFileExists) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    COrdinexView* view = gui.view();
    EXPECT_EQ(view->GetFolderBase(), gui.dir());
    for (int id : {kUrlBase, kUrlExpansion, kUserName, kPassword, kFolderExpansion})
        EXPECT_EQ(view->ControlText(id), "") << id;
    for (int id : {kRunSeriesButton, kBrowserButton, kExplorerButton, kFtpTreeButton, kLinkTreeButton,
                   kCopyUrlButton, kFtpListButton, kLinkListButton, kStopButton})
        EXPECT_FALSE(Enabled(view, id)) << id;
    EXPECT_TRUE(Enabled(view, kBrowseFolderButton));
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(view->ControlText(kRangeIds[k].label), std::string(1, "*?#$%+"[k]) + " を");
        EXPECT_FALSE(Enabled(view, kRangeIds[k].start));
    }
    EXPECT_FALSE(gui.shell().Document().IsModified());
    EXPECT_EQ(gui.frame()->GetTitle(), wxString::FromUTF8("Ordinex - 新規ダウンロード設定"));
}

TEST(MainForm, KeystrokesUpdateDisplaysSeparatorsAndEnabling) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    COrdinexView* view = gui.view();
    view->SetTransferStatus("old text");
    Type(TextBox(view, kUrlBase), "http://h/pub");
    EXPECT_EQ(view->ControlText(kTransferStatus), "") << "every keystroke empties the status lines";
    EXPECT_TRUE(Enabled(view, kExplorerButton));
    EXPECT_TRUE(Enabled(view, kRunSeriesButton));
    EXPECT_FALSE(Enabled(view, kCopyUrlButton));
    EXPECT_EQ(view->ControlText(kUrlSeparator), "");
    Type(TextBox(view, kUrlExpansion), "a*.jpg");
    EXPECT_EQ(view->ControlText(kUrlSeparator), "/");
    EXPECT_EQ(view->ControlText(kUrlDisplay), "http://h/pub/a*.jpg");
    EXPECT_TRUE(Enabled(view, kCopyUrlButton));
    Type(TextBox(view, kUrlBase), "/");
    EXPECT_EQ(view->ControlText(kUrlSeparator), "") << "the base now ends with the separator";
    EXPECT_EQ(view->ControlText(kUrlDisplay), "http://h/pub/a*.jpg");

    // Clearing the expansion disables "URLをコピー" at once.
    TextBox(view, kUrlExpansion)->SelectAll();
    Type(TextBox(view, kUrlExpansion), wxString(wxUniChar(WXK_BACK)));
    EXPECT_FALSE(Enabled(view, kCopyUrlButton));

    Type(TextBox(view, kFolderExpansion), "x");
    EXPECT_EQ(view->ControlText(kFolderSeparator), "/");
    EXPECT_EQ(view->ControlText(kFolderDisplay), gui.dir() + "/x");
    EXPECT_TRUE(gui.shell().Document().IsModified()) << "an edit after start-up marks the job";
}

TEST(MainForm, RangeBoxesFilterTypedCharacters) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    COrdinexView* view = gui.view();
    view->SetRangeCheck(0, true);
    wxTextCtrl* start = TextBox(view, kRangeIds[0].start);
    ASSERT_NE(dynamic_cast<CRangeEdit*>(start), nullptr);
    EXPECT_TRUE(start->IsEnabled());
    Type(start, "12a");
    EXPECT_EQ(start->GetValue(), "12") << "a letter after digits does nothing";
    start->SelectAll();
    Type(start, "a");
    EXPECT_EQ(start->GetValue(), "a") << "select all and type replaces";
    Type(start, "bcdefg");
    EXPECT_EQ(start->GetValue(), "abcdef") << "no seventh character";
    start->SelectAll();
    Type(start, "Z");
    EXPECT_EQ(start->GetValue(), "Z");
    Type(start, "-/ ");
    EXPECT_EQ(start->GetValue(), "Z");
    EXPECT_EQ(view->GetRangeStart(0), "Z");

    // Shift gives characters like any other key: the filter decides on them.
    struct Row {
        const char* before;
        const char* typed;
        const char* after;
    } rows[] = {
        {"12", "Ab#!*", "12"},
        {"ab", "C", "ab"},
        {"AB", "CDEFGH", "ABCDEF"},
        {"", "#", ""},
    };
    for (const auto& r : rows) {
        start->ChangeValue(r.before);
        start->SetInsertionPointEnd();
        Type(start, r.typed, wxMOD_SHIFT);
        EXPECT_EQ(start->GetValue(), r.after) << r.before << " + " << r.typed;
    }
}

TEST(MainForm, GroupedNumberBoxFormatsAsTyped) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    auto* box = new CGroupedNumberEdit(gui.view(), wxID_ANY, "");
    box->SetInsertionPointEnd();
    Type(box, "1234");
    EXPECT_EQ(box->GetValue(), "1,234");
    EXPECT_EQ(box->GetInsertionPoint(), 5) << "caret after the last digit";
    Type(box, "5x");
    EXPECT_EQ(box->GetValue(), "12,345");
    EXPECT_EQ(box->GetNumber(), 12345);
    box->SelectAll();
    Type(box, wxString(wxUniChar(WXK_BACK)));
    EXPECT_EQ(box->GetValue(), "0") << "deleting everything leaves 0";
    EXPECT_EQ(box->GetInsertionPoint(), 0) << "with the caret before it";
    Type(box, "5");
    EXPECT_EQ(box->GetValue(), "50");
    Type(box, "!#A%", wxMOD_SHIFT);
    EXPECT_EQ(box->GetValue(), "50") << "shifted characters are filtered too";
    box->Destroy();
}

TEST(MainForm, RangeCheckEnablesItsBoxesAndCopyUrlFillsTheDestination) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    COrdinexView* view = gui.view();
    auto* check = static_cast<wxCheckBox*>(view->Control(kRangeIds[3].check));
    check->SetValue(true);
    wxCommandEvent click(wxEVT_CHECKBOX, check->GetId());
    click.SetEventObject(check);
    click.SetInt(1);
    check->GetEventHandler()->ProcessEvent(click);
    for (int id : {kRangeIds[3].label, kRangeIds[3].start, kRangeIds[3].tilde, kRangeIds[3].end})
        EXPECT_TRUE(Enabled(view, id)) << id;
    EXPECT_TRUE(gui.shell().Document().IsModified());

    view->SetUrlExpansion(" a/b/x.jpg ");
    view->CopyUrlToFolder();
    EXPECT_EQ(view->ControlText(kFolderExpansion), "a/b/x.jpg");
}

TEST(MainForm, ProgressLinesShowAndHideTheirBars) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    COrdinexView* view = gui.view();
    auto* bar = static_cast<wxGauge*>(view->Control(kByteProgressBar));
    EXPECT_FALSE(bar->IsShown());
    view->SetByteProgress("512 / 1024 byte", 1024, 512);
    EXPECT_TRUE(bar->IsShown());
    EXPECT_EQ(bar->GetRange(), 1024);
    EXPECT_EQ(bar->GetValue(), 512);
    // Byte counts beyond int are scaled, not wrapped.
    view->SetByteProgress("big", int64_t{1} << 40, int64_t{1} << 39);
    EXPECT_GT(bar->GetRange(), 0);
    EXPECT_EQ(bar->GetValue(), bar->GetRange() / 2);
    view->ClearStatus();
    EXPECT_FALSE(bar->IsShown());
    EXPECT_EQ(view->ControlText(kByteProgressText), "");
    // An address with "&" is shown as text.
    view->SetUrlStatus("http://h/a?x=1&y=2 を");
    EXPECT_EQ(static_cast<wxStaticText*>(view->Control(kUrlStatusLine))->GetLabelText(),
              wxString::FromUTF8("http://h/a?x=1&y=2 を"));
}

} // namespace
} // namespace ordinex::test
