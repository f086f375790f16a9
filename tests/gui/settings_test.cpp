// The settings sheet: opened from the menu, its pages' rules on the real
// controls, OK and Cancel, values across a restart, and a tidy layout.
#include "app/ordinex_app.h"
#include "gui/settingsdlg/setting_pages_wx.h"
#include "gui/settingsdlg/setting_sheet.h"
#include "gui_support.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/bookctrl.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>

namespace ordinex::test {
namespace {

using namespace sheet;

template <class T> T* Get(wxWindow* page, int id) {
    auto* control = dynamic_cast<T*>(page->FindWindow(id));
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
}

bool On(wxWindow* page, int id) {
    return page->FindWindow(id)->IsThisEnabled();
}

// Sends a control the event that a click or a spin would, after setting its value.
template <class Event = wxCommandEvent> void Fire(wxWindow* control, wxEventType type, int value) {
    Event e(type, control->GetId());
    e.SetEventObject(control);
    e.SetInt(value);
    control->GetEventHandler()->ProcessEvent(e);
}

void Click(wxWindow* page, int id) {
    auto* box = Get<wxCheckBox>(page, id);
    box->SetValue(!box->GetValue());
    Fire(box, wxEVT_CHECKBOX, box->GetValue());
}

void Choose(wxWindow* page, int id) {
    auto* radio = Get<wxRadioButton>(page, id);
    radio->SetValue(true);
    Fire(radio, wxEVT_RADIOBUTTON, 1);
}

void Spin(wxWindow* page, int id, int to) {
    auto* spin = Get<wxSpinButton>(page, id);
    spin->SetValue(to);
    Fire<wxSpinEvent>(spin, wxEVT_SPIN, to);
}

void Retype(wxWindow* page, int id, const wxString& text) {
    auto* box = Get<wxTextCtrl>(page, id);
    SelectAll(box);
    Type(box, text);
}

void ShowPage(CSettingSheet& sheet, int page) {
    sheet.GetBookCtrl()->SetSelection(page);
    wxTheApp->ProcessPendingEvents();
}

CSettingSheet* OpenSheet() {
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* sheet = dynamic_cast<CSettingSheet*>(w); sheet && sheet->IsModal())
            return sheet;
    return nullptr;
}

// Carries out a settings command; `inside` acts on the modal sheet, then
// presses `button`.
void WithSheet(CMainFrame* frame, int command, int button,
               const std::function<void(CSettingSheet&)>& inside) {
    bool reached = false;
    Later act(200, [&] {
        CSettingSheet* sheet = OpenSheet();
        ASSERT_NE(sheet, nullptr);
        reached = true;
        inside(*sheet);
        Press(sheet, button);
    });
    frame->RunCommand(command);
    EXPECT_TRUE(reached) << "the sheet did not open";
}

TEST(SettingSheetWindow, EachMenuItemOpensItsPageWithOkAndCancelOnly) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    const std::pair<int, int> items[] = {{cmd::kSettingsProgram, kProgramPage},
                                         {cmd::kSettingsDownload, kDownloadPage},
                                         {cmd::kSettingsExtract, kExtractPage}};
    for (auto [command, page] : items)
        WithSheet(gui.frame(), command, wxID_CANCEL, [page = page](CSettingSheet& sheet) {
            EXPECT_EQ(sheet.GetTitle(), wxString::FromUTF8("設定"));
            EXPECT_EQ(sheet.GetBookCtrl()->GetSelection(), page);
            EXPECT_EQ(sheet.GetBookCtrl()->GetPageText(page), wxString::FromUTF8(PageTitle(page)));
            EXPECT_NE(sheet.FindWindow(wxID_OK), nullptr);
            EXPECT_NE(sheet.FindWindow(wxID_CANCEL), nullptr);
            EXPECT_EQ(sheet.FindWindow(wxID_APPLY), nullptr);
            EXPECT_EQ(sheet.FindWindow(wxID_HELP), nullptr);
        });
}

TEST(SettingSheetWindow, CancelWritesNothingButTheFormShowsChangedSettings) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    COrdinexView* view = gui.view();
    view->SetUrlBase("http://h");
    view->SetUrlExpansion("a");
    EXPECT_EQ(view->ControlText(form::kUrlDisplay), "http://h/a");
    // A job opened with its own settings could have changed them meanwhile.
    gui.app().settings.InsertSeparatorOfUrlSetting = 0;
    const ProgramSettings before = gui.app().settings;
    WithSheet(gui.frame(), cmd::kSettingsProgram, wxID_CANCEL, [](CSettingSheet& sheet) {
        Click(sheet.ProgramPage(), 1019);
        ShowPage(sheet, kDownloadPage);
        Choose(sheet.DownloadPage(), 1039);
    });
    EXPECT_EQ(gui.app().settings.ReadWindowSetting, before.ReadWindowSetting);
    EXPECT_EQ(gui.app().settings.SaveSetting, before.SaveSetting);
    EXPECT_EQ(view->ControlText(form::kUrlDisplay), "http://ha");
}

TEST(SettingSheetWindow, OkFromTheExtractItemChangesOnlyExtractSettings) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    WithSheet(gui.frame(), cmd::kSettingsExtract, wxID_OK, [](CSettingSheet& sheet) {
        CSettingPage* page = sheet.ExtractPage();
        EXPECT_FALSE(On(page, 1115)) << "every extension is listed: the rows are off";
        Click(page, 1083);
        EXPECT_FALSE(On(page, 1084));
        EXPECT_TRUE(On(page, 1115));
        EXPECT_FALSE(On(page, 1092)) << "its row is not checked";
        Click(page, 1115);
        EXPECT_TRUE(On(page, 1092));
        Retype(page, 1092, "jpg");
        Retype(page, 1116, "1234");
        Click(page, 1071);
        // Pages never shown keep the settings as they are, whatever their controls say.
        Click(sheet.ProgramPage(), 1019);
        Choose(sheet.DownloadPage(), 1039);
    });
    const ProgramSettings& s = gui.app().settings;
    EXPECT_EQ(s.HttpTreeListExtensionOptionSetting[0], 0);
    EXPECT_EQ(s.HttpTreeListExtensionOptionSetting[1], 1);
    EXPECT_EQ(s.GetExtensionString(1), "jpg");
    EXPECT_EQ(s.HttpTreeListFileSizeSetting[1], 1234);
    EXPECT_EQ(s.HttpTreeListTabLinkSetting, 0);
    EXPECT_EQ(s.ReadWindowSetting, 1);
    EXPECT_EQ(s.SaveSetting, 2);
}

TEST(SettingSheetWindow, AlwaysShowingTheStatusAreaResizesTheWindowAtOnce) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    gui.app().settings.AllowOperationCheck = 1;
    EXPECT_EQ(gui.frame()->GetClientSize().y, gui.view()->FormHeight(false));
    WithSheet(gui.frame(), cmd::kSettingsProgram, wxID_OK,
              [](CSettingSheet& sheet) { Click(sheet.ProgramPage(), 1035); });
    EXPECT_EQ(gui.app().settings.AlwaysShowExpansionWindow, 1);
    EXPECT_EQ(gui.frame()->GetClientSize().y, gui.view()->FormHeight(true)) << "the status area shows";
}

TEST(ProgramPageWindow, AllowOperationCheckGatesTheStepByStepOptions) {
    for (int allow : {0, 1}) {
        ProgramSettings s;
        s.AllowOperationCheck = allow;
        CSettingSheet sheet(nullptr, s, kProgramPage);
        CSettingPage* page = sheet.ProgramPage();
        for (int id : {1028, 1035, 1021})
            EXPECT_EQ(On(page, id), allow == 1) << id;
        for (int id : {1034, 1022, 1025, 1027})
            EXPECT_FALSE(On(page, id)) << "1021 is off: " << id;
        Click(page, 1021);
        for (int id : {1034, 1022, 1025, 1027})
            EXPECT_EQ(On(page, id), allow == 1) << "1021 on: " << id;
        ShowPage(sheet, kExtractPage);
        ShowPage(sheet, kProgramPage);
        EXPECT_EQ(On(page, 1034), allow == 1) << "again on showing";
    }
}

TEST(ProgramPageWindow, WarningChoicesKeepTheirStateAcrossPageSwitches) {
    ProgramSettings s;
    CSettingSheet sheet(nullptr, s, kProgramPage);
    CSettingPage* page = sheet.ProgramPage();
    for (bool checked : {false, true}) {
        Click(page, 1036);
        ShowPage(sheet, kDownloadPage);
        ShowPage(sheet, kProgramPage);
        for (int id : {1049, 1037, 1038, 1039})
            EXPECT_EQ(On(page, id), checked) << id;
    }
    EXPECT_TRUE(sheet.Model().Shown(kDownloadPage));
    EXPECT_FALSE(sheet.Model().Shown(kExtractPage));
}

TEST(DownloadPageWindow, TypingOrSpinningACountSelectsItsMiddleChoice) {
    ProgramSettings s;
    s.FtpListSaveSetting = 2;
    CSettingSheet sheet(nullptr, s, kDownloadPage);
    CSettingPage* page = sheet.DownloadPage();
    EXPECT_TRUE(Get<wxRadioButton>(page, 1075)->GetValue());
    Retype(page, 1072, "x7");
    EXPECT_EQ(Get<wxTextCtrl>(page, 1072)->GetValue(), "7") << "digits only";
    EXPECT_TRUE(Get<wxRadioButton>(page, 1074)->GetValue());
    EXPECT_FALSE(Get<wxRadioButton>(page, 1075)->GetValue());
    Type(Get<wxTextCtrl>(page, 1072), "12");
    EXPECT_EQ(Get<wxTextCtrl>(page, 1072)->GetValue(), "71") << "two digits at most";
    EXPECT_EQ(Get<wxSpinButton>(page, 1076)->GetValue(), 71);

    EXPECT_TRUE(Get<wxRadioButton>(page, 1066)->GetValue());
    Spin(page, 1060, 3);
    EXPECT_EQ(Get<wxTextCtrl>(page, 1061)->GetValue(), "3");
    EXPECT_TRUE(Get<wxRadioButton>(page, 1067)->GetValue());
    Choose(page, 1040);
    sheet.Apply(s);
    EXPECT_EQ(s.SaveSetting, 1);
    EXPECT_EQ(s.FtpListSaveSetting, 1);
    EXPECT_EQ(s.FtpListSaveHowManyDirectorySetting, 71);
    EXPECT_EQ(s.HttpListSaveSetting, 1);
    EXPECT_EQ(s.HttpListSaveHowManyDirectorySetting, 3);
}

// Every option row, whatever the table holds: a check box flips its flag; a
// number box takes digits up to its maximum and its spin button follows.
TEST(DownloadPageWindow, EveryOptionRowEditsItsKey) {
    ProgramSettings s;
    CSettingSheet sheet(nullptr, s, kDownloadPage);
    CSettingPage* page = sheet.DownloadPage();
    ProgramSettings out = s;
    for (const OptionRow& r : DownloadOptionRows()) {
        if (r.kind == OptionRow::Kind::Check) {
            Click(page, r.id);
            sheet.Apply(out);
            EXPECT_EQ(out.*r.key, s.*r.key ? 0 : 1) << r.id;
            continue;
        }
        if (r.kind == OptionRow::Kind::Choice) {
            auto* choice = Get<wxChoice>(page, r.id);
            choice->SetSelection(static_cast<int>(r.choices.size()) - 1);
            Fire(choice, wxEVT_CHOICE, choice->GetSelection());
            sheet.Apply(out);
            EXPECT_EQ(out.*r.textKey, r.choices.back()) << r.id;
            continue;
        }
        const std::string digits = std::to_string(r.max);
        Retype(page, r.id, wxString(digits) + "9");
        EXPECT_EQ(Get<wxTextCtrl>(page, r.id)->GetValue(), wxString(digits)) << r.id;
        EXPECT_EQ(Get<wxSpinButton>(page, r.spinId)->GetValue(), r.max) << r.id;
        Spin(page, r.spinId, r.min);
        sheet.Apply(out);
        EXPECT_EQ(out.*r.key, r.min) << r.id;
    }
}

TEST(DownloadPageWindow, AStoredChoiceOutsideTheGroupSelectsNoneAndIsKept) {
    ProgramSettings s;
    s.SaveSetting = 7;
    CSettingSheet sheet(nullptr, s, kDownloadPage);
    CSettingPage* page = sheet.DownloadPage();
    for (int id : {1039, 1040, 1041})
        EXPECT_FALSE(Get<wxRadioButton>(page, id)->GetValue()) << id;
    sheet.Apply(s);
    EXPECT_EQ(s.SaveSetting, 7);
    Choose(page, 1039);
    sheet.Apply(s);
    EXPECT_EQ(s.SaveSetting, 0);
}

TEST(DownloadPageWindow, FtpModeAndNameCharsetAreAppliedAndAStoredOddCharsetShowsTheDefault) {
    ProgramSettings s;
    CSettingSheet sheet(nullptr, s, kDownloadPage);
    CSettingPage* page = sheet.DownloadPage();
    EXPECT_TRUE(Get<wxCheckBox>(page, 1051)->GetValue()) << "passive by default";
    auto* charset = Get<wxChoice>(page, 1052);
    ASSERT_EQ(charset->GetCount(), 3u);
    EXPECT_EQ(charset->GetStringSelection(), "UTF-8");
    Click(page, 1051);
    charset->SetSelection(1);
    Fire(charset, wxEVT_CHOICE, 1);
    sheet.Apply(s);
    EXPECT_EQ(s.FtpPassiveSetting, 0);
    EXPECT_EQ(s.FtpNameCharsetSetting, "Shift_JIS");
}

TEST(ExtractPageWindow, TheDepthBoxHoldsTheMaximumAndZeroClearsTheListOption) {
    ProgramSettings s;
    s.HttpListNextChoseSetting = 1;
    s.HttpListNextChoseAddListSetting = 1;
    CSettingSheet sheet(nullptr, s, kExtractPage);
    CSettingPage* page = sheet.ExtractPage();
    auto* depth = Get<wxTextCtrl>(page, 1087);
    Retype(page, 1087, "5");
    EXPECT_EQ(depth->GetValue(), "1") << "the maximum is 1";
    EXPECT_TRUE(On(page, 1080));
    EXPECT_TRUE(Get<wxCheckBox>(page, 1080)->GetValue());
    Spin(page, 1088, 3);
    wxTheApp->ProcessPendingEvents();
    EXPECT_EQ(depth->GetValue(), "1");
    EXPECT_EQ(Get<wxSpinButton>(page, 1088)->GetValue(), 1);
    Retype(page, 1087, "0");
    EXPECT_FALSE(On(page, 1080));
    EXPECT_FALSE(Get<wxCheckBox>(page, 1080)->GetValue());
}

TEST(SettingSheetWindow, ChangedValuesSurviveARestart) {
    TempDir dir;
    ScopedCwd cwd(dir.path());
    {
        ScriptedPrompter prompter;
        CAppShell shell(&prompter);
        ASSERT_TRUE(shell.InitInstance({}));
        WithSheet(shell.MainFrame(), cmd::kSettingsDownload, wxID_OK, [](CSettingSheet& sheet) {
            Choose(sheet.DownloadPage(), 1040);
            Retype(sheet.DownloadPage(), 1061, "12");
            ShowPage(sheet, kExtractPage);
            Click(sheet.ExtractPage(), 1083);
            Retype(sheet.ExtractPage(), 1084, "2048");
        });
        shell.ExitInstance();
    }
    const std::string ini = ReadFile(dir / "Ordinex.ini");
    for (const char* line :
         {"SaveSetting=1\n", "HttpListSaveSetting=1\n", "HttpListSaveHowManyDirectorySetting=12\n",
          "HttpTreeListExtensionOptionSetting0=0\n", "HttpTreeListFileSizeSetting0=2048\n"})
        EXPECT_NE(ini.find(line), std::string::npos) << line;
    ScriptedPrompter prompter;
    CAppShell shell(&prompter);
    ASSERT_TRUE(shell.InitInstance({}));
    WithSheet(shell.MainFrame(), cmd::kSettingsDownload, wxID_CANCEL, [](CSettingSheet& sheet) {
        EXPECT_TRUE(Get<wxRadioButton>(sheet.DownloadPage(), 1040)->GetValue());
        EXPECT_EQ(Get<wxTextCtrl>(sheet.DownloadPage(), 1061)->GetValue(), "12");
        EXPECT_EQ(Get<wxTextCtrl>(sheet.ExtractPage(), 1084)->GetValue(), "2,048");
    });
    shell.ExitInstance();
}

wxString Unwrapped(wxString label) {
    label.Replace("\n", "");
    return label;
}

// Every control at least its natural size, inside its parent, and clear of
// its siblings; the sheet fits a 1024 x 768 screen.
void ExpectTidy(wxWindow* parent) {
    const wxWindowList& children = parent->GetChildren();
    for (auto a = children.begin(); a != children.end(); ++a) {
        wxWindow* w = *a;
        if (!w->IsShown())
            continue;
        const wxString name = Unwrapped(w->GetLabel()) + wxString::Format(" (%d)", w->GetId());
        // Boxes are given a width for their digits; everything else wants its best size.
        const wxSize best = w->GetEffectiveMinSize(), size = w->GetSize();
        EXPECT_GE(size.x, best.x) << name.utf8_str();
        EXPECT_GE(size.y, best.y) << name.utf8_str();
        if (auto* box = dynamic_cast<wxTextCtrl*>(w)) {
            EXPECT_GE(size.x, box->GetSizeFromTextSize(box->GetTextExtent(box->GetValue()).x).x)
                << name.utf8_str();
        }
        const wxRect inside(wxPoint(0, 0), parent->GetClientSize());
        EXPECT_TRUE(inside.Contains(w->GetRect())) << name.utf8_str();
        for (auto b = std::next(a); b != children.end(); ++b)
            if ((*b)->IsShown()) {
                EXPECT_FALSE(w->GetRect().Intersects((*b)->GetRect()))
                    << name.utf8_str() << " overlaps " << Unwrapped((*b)->GetLabel()).utf8_str();
            }
        ExpectTidy(w);
    }
}

TEST(SettingSheetWindow, EveryPageIsTidyAtItsNaturalSize) {
    ProgramSettings s;
    CSettingSheet sheet(nullptr, s, kProgramPage);
    sheet.Show();
    for (int page : {kProgramPage, kDownloadPage, kExtractPage}) {
        ShowPage(sheet, page);
        wxTheApp->ProcessPendingEvents();
        SCOPED_TRACE(PageTitle(page));
        wxWindow* shown = sheet.Page(page);
        EXPECT_GE(shown->GetSize().x, shown->GetBestSize().x);
        EXPECT_GE(shown->GetSize().y, shown->GetBestSize().y);
        ExpectTidy(shown);
    }
    EXPECT_EQ(Get<wxWindow>(sheet.ExtractPage(), 1105)->GetForegroundColour(), wxColour(0, 0, 192));
    const wxString warning = Get<wxWindow>(sheet.ProgramPage(), 1036)->GetLabel();
    EXPECT_TRUE(warning.Contains("\n")) << "the longest caption wraps";
    EXPECT_EQ(Unwrapped(warning),
              wxString::FromUTF8("警告ダイアログを表示する(”確認のために警告ごとにダウンロードを"
                                 "一時停止する\"がチェックの場合無効)"));
    EXPECT_LE(sheet.GetSize().x, 1024);
    EXPECT_LE(sheet.GetSize().y, 720);
}

} // namespace
} // namespace ordinex::test
