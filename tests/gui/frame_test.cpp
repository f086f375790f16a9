// The main frame: size limits, toolbar, busy layout, closing.
#include "app/ordinex_app.h"
#include "gui_support.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"
#include "ui/form_rules.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>

namespace ordinex::test {
namespace {

TEST(MainFrame, WidthStaysWithinLimitsAndHeightFollowsTheForm) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    CMainFrame* frame = gui.frame();
    const int idle = gui.view()->FormHeight(false);
    EXPECT_EQ(frame->GetClientSize().y, idle);
    const int height = frame->GetSize().y;
    EXPECT_EQ(height, frame->FixedHeight());
    struct Row {
        wxSize requested;
        int width;
    } rows[] = {{{500, 300}, 640}, {{900, 800}, 900}, {{2000, 431}, 1280}, {{640, 1000}, 640}};
    for (const auto& r : rows) {
        frame->SetSize(r.requested);
        EXPECT_EQ(frame->GetSize(), wxSize(r.width, height)) << r.requested.x << "x" << r.requested.y;
    }
}

TEST(MainFrame, HiddenToolbarAndRunsChangeTheHeight) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    CMainFrame* frame = gui.frame();
    COrdinexView* view = gui.view();
    const int toolbar = frame->ToolbarHeight();
    ASSERT_GT(toolbar, 0);
    const int height = frame->GetSize().y;
    const int idle = view->FormHeight(false);
    const int expanded = view->FormHeight(true);
    ASSERT_GT(expanded, idle);

    frame->RunCommand(cmd::kViewToolbar);
    EXPECT_FALSE(frame->ToolbarVisible());
    EXPECT_EQ(frame->GetSize().y, height - toolbar);
    EXPECT_EQ(frame->GetClientSize().y, idle) << "the form keeps its height";
    frame->RunCommand(cmd::kViewToolbar);
    EXPECT_EQ(frame->GetSize().y, height);

    frame->SetRunLayout(true);
    EXPECT_EQ(frame->GetSize().y, height + expanded - idle);
    EXPECT_EQ(frame->GetClientSize().y, expanded);
    // The status area lies in the part uncovered.
    EXPECT_GE(view->Geometry().rects.at(form::kUrlStatusLine).y, idle);
    frame->SetRunLayout(false);
    EXPECT_EQ(frame->GetSize().y, height);

    gui.app().settings.AlwaysShowExpansionWindow = 1;
    frame->Relayout();
    EXPECT_EQ(frame->GetClientSize().y, expanded);
}

// A key press as the display delivers it, to the frame's focused control.
void PressKey(CMainFrame* frame, unsigned keyval) {
    GdkEvent* press = gdk_event_new(GDK_KEY_PRESS);
    press->key.window =
        GDK_WINDOW(g_object_ref(gtk_widget_get_window(static_cast<GtkWidget*>(frame->GetHandle()))));
    press->key.keyval = keyval;
    press->key.time = GDK_CURRENT_TIME;
    gdk_event_set_device(press,
                         gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
    gtk_main_do_event(press);
    gdk_event_free(press);
}

// A click with the first mouse button in the middle of a control, as the
// display delivers it: to the control's own input window.
void Click(wxWindow* control) {
    auto* widget = static_cast<GtkWidget*>(control->GetHandle());
    GdkWindow* target = gtk_widget_get_window(widget);
    for (GList* c = gdk_window_peek_children(target); c; c = c->next) {
        gpointer owner = nullptr;
        gdk_window_get_user_data(GDK_WINDOW(c->data), &owner);
        if (owner == widget)
            target = GDK_WINDOW(c->data);
    }
    int x = 0, y = 0;
    gdk_window_get_origin(target, &x, &y);
    const wxRect r = control->GetScreenRect();
    for (GdkEventType type : {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
        GdkEvent* e = gdk_event_new(type);
        e->button.window = GDK_WINDOW(g_object_ref(target));
        e->button.button = 1;
        e->button.time = GDK_CURRENT_TIME;
        e->button.x = r.x + r.width / 2 - x;
        e->button.y = r.y + r.height / 2 - y;
        e->button.x_root = r.x + r.width / 2;
        e->button.y_root = r.y + r.height / 2;
        gdk_event_set_device(e,
                             gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
        gtk_main_do_event(e);
        gdk_event_free(e);
    }
}

// Busy work shows nothing at first: the form keeps its look but takes no
// input, and work that ends soon leaves the window as it was.
TEST(MainFrame, BusyLookWaitsAndInputIsDroppedMeanwhile) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    CMainFrame* frame = gui.frame();
    COrdinexView* view = gui.view();
    PumpFor(100);
    wxTextCtrl* url = TextBox(view, form::kUrlBase);
    url->SetFocus();
    PumpFor(50);
    PressKey(frame, GDK_KEY_a);
    ASSERT_EQ(url->GetValue(), "a") << "the test's key press reaches the box";
    auto* range = static_cast<wxCheckBox*>(view->Control(form::kRangeIds[5].check));
    const bool ticked = range->GetValue();
    Click(range);
    ASSERT_NE(range->GetValue(), ticked) << "the test's click reaches the box";
    url->SetFocus();
    PumpFor(50);
    const int idleHeight = frame->GetClientSize().y;
    int resizes = 0;
    frame->Bind(wxEVT_SIZE, [&](wxSizeEvent& e) { ++resizes, e.Skip(); });

    gui.app().BeginBusy();
    frame->ShowBusyAnimation();
    PressKey(frame, GDK_KEY_b);
    Click(range);
    PumpFor(CMainFrame::kBusyLookDelayMs / 2);
    EXPECT_EQ(url->GetValue(), "a") << "dropped while busy";
    EXPECT_NE(range->GetValue(), ticked) << "dropped while busy";
    ASSERT_TRUE(frame->BusyLookDue());
    EXPECT_TRUE(Enabled(view, form::kUrlBase));
    EXPECT_EQ(frame->BusyAnimation(), nullptr);
    gui.app().EndBusy();
    frame->DestroyBusyAnimation();
    PumpFor(CMainFrame::kBusyLookDelayMs * 2);
    EXPECT_FALSE(frame->BusyLookDue());
    EXPECT_EQ(frame->GetClientSize().y, idleHeight);
    EXPECT_EQ(resizes, 0) << "the frame never grew";
    url->ChangeValue("");
    PressKey(frame, GDK_KEY_c);
    EXPECT_EQ(url->GetValue(), "c") << "input is taken again";
}

TEST(MainFrame, BusyStateLeavesOnlyStop) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    CMainFrame* frame = gui.frame();
    COrdinexView* view = gui.view();
    view->SetUrlBase("http://h/");
    gui.app().BeginBusy();
    PumpFor(CMainFrame::kBusyLookDelayMs * 2);
    EXPECT_FALSE(frame->BusyLookDue());
    EXPECT_TRUE(Enabled(view, form::kStopButton));
    EXPECT_FALSE(Enabled(view, form::kUrlBase));
    EXPECT_FALSE(Enabled(view, form::kRunSeriesButton));
    wxToolBar* tools = frame->Toolbar();
    EXPECT_TRUE(tools->GetToolEnabled(cmd::ToWxId(cmd::kStop)));
    EXPECT_FALSE(tools->GetToolEnabled(cmd::ToWxId(cmd::kFileOpen)));
    EXPECT_FALSE(frame->GetMenuBar()->IsEnabled(cmd::ToWxId(cmd::kFileOpen)));
    EXPECT_TRUE(frame->GetMenuBar()->IsEnabled(cmd::ToWxId(cmd::kStop)));
    EXPECT_EQ(frame->GetClientSize().y, view->FormHeight(true));
    gui.app().EndBusy();
    EXPECT_FALSE(Enabled(view, form::kStopButton));
    EXPECT_TRUE(Enabled(view, form::kUrlBase));
    EXPECT_FALSE(tools->GetToolEnabled(cmd::ToWxId(cmd::kStop)));
    EXPECT_TRUE(frame->GetMenuBar()->IsEnabled(cmd::ToWxId(cmd::kFileOpen)));
    EXPECT_EQ(frame->GetClientSize().y, view->FormHeight(false));
}

TEST(MainFrame, MenuCarriesTheTextsAndItsCommandsFollowTheirRules) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    CMainFrame* frame = gui.frame();
    wxMenuBar* bar = frame->GetMenuBar();
    EXPECT_EQ(bar->GetMenuLabel(0), wxString::FromUTF8("ファイル(&F)"));
    EXPECT_EQ(bar->GetLabel(cmd::ToWxId(cmd::kViewToolbar)), wxString::FromUTF8("ﾂｰﾙ ﾊﾞｰ(&T)"));
    EXPECT_EQ(bar->GetLabel(cmd::ToWxId(cmd::kShowFtpTree)),
              wxString::FromUTF8("FTPツリー&&リスト ビューを表示(&F)..."));
    frame->UpdateWindowUI(wxUPDATE_UI_RECURSE);
    EXPECT_TRUE(bar->IsChecked(cmd::ToWxId(cmd::kViewToolbar)));
    gui.view()->SetUrlBase("http://h/");
    frame->UpdateWindowUI(wxUPDATE_UI_RECURSE);
    EXPECT_TRUE(bar->IsEnabled(cmd::ToWxId(cmd::kOpenExplorer)));
    EXPECT_TRUE(bar->IsEnabled(cmd::ToWxId(cmd::kShowFtpTree)));
    EXPECT_FALSE(bar->IsEnabled(cmd::ToWxId(cmd::kRunFtpList))) << "no FTP window, no selection";
    EXPECT_TRUE(bar->IsEnabled(cmd::ToWxId(cmd::kOpenBrowser)));
    EXPECT_TRUE(bar->IsEnabled(cmd::ToWxId(cmd::kShowLinkTree)));
    EXPECT_FALSE(bar->IsEnabled(cmd::ToWxId(cmd::kRunLinkList))) << "no Link window, no selection";
    EXPECT_FALSE(bar->IsEnabled(cmd::ToWxId(cmd::kReadMe)));
    for (int c : {cmd::kSettingsProgram, cmd::kSettingsDownload, cmd::kSettingsExtract})
        EXPECT_TRUE(bar->IsEnabled(cmd::ToWxId(c))) << c;
    // The form's buttons follow the same rule as the menu. Either browser can.
    for (bool externalBrowser : {false, true}) {
        gui.app().settings.UseWindowsRuleBrowserSetting = externalBrowser;
        gui.view()->RefreshControls();
        frame->UpdateWindowUI(wxUPDATE_UI_RECURSE);
        for (const form::ButtonCommand& b : form::ButtonCommands())
            EXPECT_EQ(Enabled(gui.view(), b.id), bar->IsEnabled(cmd::ToWxId(b.command))) << b.id;
        EXPECT_TRUE(Enabled(gui.view(), form::kBrowserButton));
        EXPECT_TRUE(Enabled(gui.view(), form::kLinkTreeButton));
        EXPECT_TRUE(Enabled(gui.view(), form::kFtpTreeButton));
        EXPECT_TRUE(Enabled(gui.view(), form::kExplorerButton));
    }
    WriteFile(gui.path("Readme.txt"), "read me");
    frame->UpdateWindowUI(wxUPDATE_UI_RECURSE);
    EXPECT_TRUE(bar->IsEnabled(cmd::ToWxId(cmd::kReadMe)));
    EXPECT_EQ(frame->Toolbar()->GetToolShortHelp(cmd::ToWxId(cmd::kRunSeries)),
              wxString::FromUTF8("連番でダウンロード"));
}

TEST(MainFrame, ClosingAsksToSaveOnlyAModifiedJobAndOnlyWhenWanted) {
    struct Row {
        const char* name;
        int confirm;
        bool edit;
        int answer;
        bool asked;
        bool closed;
    } rows[] = {
        {"setting off", 0, true, kAnswerCancel, false, true},
        {"unmodified", 1, false, kAnswerCancel, false, true},
        {"cancel keeps the window", 1, true, kAnswerCancel, true, false},
        {"no closes", 1, true, kAnswerNo, true, true},
    };
    for (const auto& r : rows) {
        GuiApp gui;
        ASSERT_TRUE(gui.Start());
        gui.app().settings.ConfirmSaveUrlFolderSettingByExit = r.confirm;
        std::vector<std::string> questions;
        gui.frame()->SetSaveQuestion([&](const std::string& q) {
            questions.push_back(q);
            return r.answer;
        });
        if (r.edit)
            Type(TextBox(gui.view(), form::kUrlBase), "h");
        gui.frame()->Close();
        wxTheApp->ProcessIdle();
        EXPECT_EQ(!questions.empty(), r.asked) << r.name;
        if (r.asked) {
            EXPECT_EQ(questions.front(), "新規ダウンロード設定 への変更を保存しますか?") << r.name;
        }
        EXPECT_EQ(gui.frame() == nullptr, r.closed) << r.name;
    }
}

TEST(MainFrame, CloseDuringARunBecomesAStop) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    gui.app().BeginBusy();
    gui.frame()->Close();
    wxTheApp->ProcessIdle();
    ASSERT_NE(gui.frame(), nullptr) << "the run still uses the windows";
    EXPECT_TRUE(gui.app().stopRequested);
    gui.app().EndBusy();
}

} // namespace
} // namespace ordinex::test
