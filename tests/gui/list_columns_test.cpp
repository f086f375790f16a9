// The lists of the tree & list windows, readable: names, addresses, reasons, widths.
#include "gui/listwnd/link_panes.h"
#include "gui_support.h"

#include <gtest/gtest.h>
#include <wx/frame.h>

namespace ordinex::test {
namespace {

std::string Cell(wxListCtrl* list, long row, int column) {
    return list->GetItemText(row, column).utf8_string();
}

TEST(ListColumns, NamesAddressesReasonsAndTheWindowsWidth) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    auto* frame = new wxFrame(nullptr, wxID_ANY, "list", wxDefaultPosition, wxSize(700, 300));
    auto* list = new CHttpListView(frame);
    frame->Show();
    list->InsertRow({"127.0.0.1:8/dir/a.bin", "1,000", "application/octet-stream", "", false, ""});
    list->InsertRow({"127.0.0.1:8/dir/gone.html", "", "", "", false, "要求されたURLが見つかりません(404)"});
    EXPECT_EQ(Cell(list, 0, 0), "a.bin");
    EXPECT_EQ(Cell(list, 0, 5), "http://127.0.0.1:8/dir/a.bin");
    EXPECT_EQ(Cell(list, 1, 2), "要求されたURLが見つかりません(404)") << "a broken link says why";
    list->SelectRow(0);
    EXPECT_EQ(list->SelectedItem(1), "127.0.0.1:8/dir/a.bin") << "the runs still take the row's address";

    for (int width : {900, 500}) {
        frame->SetSize(width, 300);
        PumpFor(200);
        int total = 0;
        for (int c = 0; c < list->GetColumnCount(); ++c)
            total += list->GetColumnWidth(c);
        EXPECT_NEAR(total, list->GetClientSize().x, 5) << width;
    }
    frame->Destroy();
}

} // namespace
} // namespace ordinex::test
