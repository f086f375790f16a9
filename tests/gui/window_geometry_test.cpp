// The main window on the screen: every run button, status line and progress
// bar inside the frame's client area and on the screen, idle and during a
// run, with and without the toolbar, and the busy animation over none of
// them. CTest runs these once on a bare display and once under openbox
// (ORDINEX_TEST_WINDOW_MANAGER=openbox), whose decorations the frame must
// make room for.
#include "app/ordinex_app.h"
#include "gui_support.h"
#include "gui/mainwnd/busy_animation.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"

#include <gtest/gtest.h>
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/toolbar.h>

#include <cstdlib>
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
                                           "\nTop=" + std::to_string(screen.height - 300) + "\nRight=" +
                                           std::to_string(screen.width + 140) + "\nBottom=" +
                                           std::to_string(screen.height + 131) + "\n");
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

    const int always[] = {kRunSeriesButton, kFtpListButton, kLinkListButton, kStopButton, kBrowserButton, kUrlBase};
    const int status[] = {kUrlStatusLine, kStatusLine2, kTransferStatus, kByteProgressBar, kFileProgressBar};
    for (bool toolbar : {true, false}) {
        if (frame->ToolbarVisible() != toolbar)
            frame->RunCommand(cmd::kViewToolbar);
        for (bool busy : {false, true}) {
            const std::string state = std::string(toolbar ? "toolbar" : "no toolbar") + (busy ? ", busy" : ", idle");
            frame->SetRunLayout(busy);
            if (busy)
                frame->ShowBusyAnimation();
            PumpFor(300);
            EXPECT_EQ(frame->GetClientSize().y, view->FormHeight(busy)) << state;
            const wxRect client = view->GetScreenRect();
            EXPECT_TRUE(screen.Contains(client)) << state << ": client " << Describe(client);
            EXPECT_TRUE(screen.Contains(frame->GetRect())) << state << ": frame " << Describe(frame->GetRect());
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
            if (busy)
                frame->DestroyBusyAnimation();
        }
    }
}

} // namespace
} // namespace ordinex::test
