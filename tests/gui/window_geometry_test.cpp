// The main window on the screen: every run button, status line and progress
// bar inside the frame's client area and on the screen, idle and during a
// run, with and without the toolbar, and the busy animation over none of
// them. CTest runs these once on a bare display and once under openbox
// (ORDINEX_TEST_WINDOW_MANAGER=openbox), whose decorations the frame must
// make room for.
#include "app/ordinex_app.h"
#include "gui/listwnd/ftp_tree_frame.h"
#include "gui/mainwnd/busy_animation.h"
#include "gui_support.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"

#include <gtest/gtest.h>
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/toolbar.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>

namespace ordinex::test {
namespace {

using namespace form;

bool WindowManagerExpected() {
    const char* wm = std::getenv("ORDINEX_TEST_WINDOW_MANAGER");
    return wm && *wm && std::string(wm) != "none";
}

std::string Describe(const wxRect& r) {
    return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
           std::to_string(r.height);
}

TEST(WindowGeometry, EveryControlIsInsideTheClientAreaAndOnTheScreen) {
    GuiApp gui;
    // A place near the screen's lower right corner, where the grown run
    // layout would reach beyond the screen.
    const wxRect screen = wxDisplay(0u).GetClientArea();
    WriteFile(gui.path("Ordinex.ini"), "[Window]\nShowCmd=1\nLeft=" + std::to_string(screen.width - 500) +
                                           "\nTop=" + std::to_string(screen.height - 300) +
                                           "\nRight=" + std::to_string(screen.width + 140) +
                                           "\nBottom=" + std::to_string(screen.height + 131) + "\n");
    ASSERT_TRUE(gui.Start());
    CMainFrame* frame = gui.frame();
    COrdinexView* view = gui.view();
    PumpFor(400);
    if (WindowManagerExpected()) {
        // The title bar lies above the menu bar.
        const int decorationAbove = frame->GetMenuBar()->GetScreenPosition().y - frame->GetPosition().y;
        EXPECT_GT(decorationAbove, 5) << "no window manager decorates the frame";
    }
    view->SetByteProgress("1 / 2 byte", 2, 1);
    view->SetFileProgress("0 / 1 Files", 1, 0);

    const int always[] = {kRunSeriesButton, kFtpListButton, kLinkListButton,
                          kStopButton,      kBrowserButton, kUrlBase};
    const int status[] = {kUrlStatusLine, kStatusLine2, kTransferStatus, kByteProgressBar, kFileProgressBar};
    for (bool toolbar : {true, false}) {
        if (frame->ToolbarVisible() != toolbar)
            frame->RunCommand(cmd::kViewToolbar);
        for (bool busy : {false, true}) {
            const std::string state =
                std::string(toolbar ? "toolbar" : "no toolbar") + (busy ? ", busy" : ", idle");
            frame->SetRunLayout(busy);
            if (busy)
                frame->ShowBusyAnimation();
            PumpFor(300);
            EXPECT_EQ(frame->GetClientSize().y, view->FormHeight(busy)) << state;
            const wxRect client = view->GetScreenRect();
            EXPECT_TRUE(screen.Contains(client)) << state << ": client " << Describe(client);
            EXPECT_TRUE(screen.Contains(frame->GetRect()))
                << state << ": frame " << Describe(frame->GetRect());
            std::vector<int> ids(std::begin(always), std::end(always));
            if (busy)
                ids.insert(ids.end(), std::begin(status), std::end(status));
            const CBusyAnimation* animation = frame->BusyAnimation();
            const wxRect cloud = animation ? animation->GetScreenRect() : wxRect();
            for (int id : ids) {
                const wxRect r = view->Control(id)->GetScreenRect();
                EXPECT_TRUE(client.Contains(r)) << state << ": control " << id << " at " << Describe(r);
                if (animation) {
                    EXPECT_FALSE(cloud.Intersects(r)) << state << ": the animation covers " << id;
                }
            }
            if (animation) {
                EXPECT_TRUE(screen.Contains(cloud)) << state << ": animation " << Describe(cloud);
            }
            // Nothing shows in part: a control (a group's frame, the status
            // area's rule) the client area cuts would leave a strip of it.
            for (wxWindow* child : view->GetChildren()) {
                const wxRect r = child->GetScreenRect();
                if (child->IsShown() && client.Intersects(r)) {
                    EXPECT_TRUE(client.Contains(r)) << state << ": control " << child->GetId() << " cut at "
                                                    << Describe(r) << " by " << Describe(client);
                }
            }
            if (busy)
                frame->DestroyBusyAnimation();
        }
    }
}

// The rectangle a section of the settings file holds, as "L,T R,B".
std::string StoredRect(const std::string& ini, const std::string& section) {
    const auto start = ini.find("[" + section + "]\n");
    if (start == std::string::npos)
        return "none";
    const std::string body = ini.substr(start, ini.find("\n[", start + 1) - start);
    std::string out;
    for (const char* key : {"Left", "Top", "Right", "Bottom"}) {
        std::smatch m;
        if (!out.empty())
            out += std::string(key) == "Right" ? " " : ",";
        out += std::regex_search(body, m, std::regex(std::string("\n") + key + "=(-?[0-9]+)")) ? m[1].str()
                                                                                               : "?";
    }
    return out;
}

TEST(WindowGeometry, APlacementComesBackAsItWasStoredRestartAfterRestart) {
    // The main window's height is the form's own; the rest as stored. The
    // first row has every window at its smallest.
    struct Row {
        std::string mainWindow, ftpWindow;
    } rows[] = {
        {"40,60 680,500", "300,200 940,631"},
        {"100,100 1141,541", "300,200 1000,700"},
    };
    auto section = [](const std::string& name, const std::string& rect) {
        int l = 0, t = 0, r = 0, b = 0;
        std::sscanf(rect.c_str(), "%d,%d %d,%d", &l, &t, &r, &b);
        return "[" + name + "]\nShowCmd=1\nLeft=" + std::to_string(l) + "\nTop=" + std::to_string(t) +
               "\nRight=" + std::to_string(r) + "\nBottom=" + std::to_string(b) + "\n";
    };
    for (const Row& row : rows) {
        TempDir dir;
        ScopedCwd cwd(dir.path());
        WriteFile(dir / "Ordinex.ini",
                  section("Window", row.mainWindow) + section("FtpTreeWindow", row.ftpWindow));
        const std::string mainStart =
            row.mainWindow.substr(0, row.mainWindow.find(',', row.mainWindow.find(' ')));
        std::string first;
        for (int start = 1; start <= 3; ++start) {
            ScriptedPrompter prompter;
            CAppShell shell(&prompter);
            ASSERT_TRUE(shell.InitInstance({}));
            CFtpTreeFrame::Open(shell.App(), *shell.MainFrame());
            PumpFor(600);
            shell.ExitInstance();
            const std::string ini = ReadFile(dir / "Ordinex.ini");
            const std::string placed = StoredRect(ini, "Window") + " | " + StoredRect(ini, "FtpTreeWindow");
            if (start == 1) {
                first = placed;
                EXPECT_EQ(StoredRect(ini, "Window").rfind(mainStart + ",", 0), 0u) << placed;
                EXPECT_EQ(StoredRect(ini, "FtpTreeWindow"), row.ftpWindow);
            }
            EXPECT_EQ(placed, first) << "start " << start;
        }
    }
}

} // namespace
} // namespace ordinex::test
