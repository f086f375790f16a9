#include "gui/settingsdlg/setting_sheet.h"

#include "gui/kit/gtk_compact_style.h"
#include "gui/kit/wx_text.h"
#include "gui/settingsdlg/setting_pages_wx.h"

#include <wx/bookctrl.h>

namespace ordinex {

CSettingSheet::CSettingSheet(wxWindow* parent, const ProgramSettings& settings, int firstPage)
    : model_(settings) {
    Create(parent, wxID_ANY, ToWx(sheet::kSheetTitle));
    UseCompactChoices(this);
    CreateButtons(wxOK | wxCANCEL);
    if (wxWindow* cancel = FindWindow(wxID_CANCEL))
        cancel->SetLabel(ToWx(sheet::kCancelText));
    wxBookCtrlBase* book = GetBookCtrl();
    program_ = new CSettingPageProgram1(book, model_.program);
    download_ = new CSettingPageDownload1(book, model_.download);
    extract_ = new CSettingPageTool1(book, model_.extract);
    book->AddPage(program_, ToWx(sheet::PageTitle(sheet::kProgramPage)));
    book->AddPage(download_, ToWx(sheet::PageTitle(sheet::kDownloadPage)));
    book->AddPage(extract_, ToWx(sheet::PageTitle(sheet::kExtractPage)));
    LayoutDialog();
    // The sheet keeps its natural size: every caption already fits.
    SetMinSize(GetSize());

    const int first = firstPage >= 0 && firstPage < sheet::kPageCount ? firstPage : sheet::kProgramPage;
    book->ChangeSelection(first);
    model_.MarkShown(first);
    Page(first)->OnShown();
    book->Bind(wxEVT_BOOKCTRL_PAGE_CHANGED, &CSettingSheet::OnPageChanged, this);
}

CSettingPage* CSettingSheet::Page(int page) const {
    switch (page) {
    case sheet::kProgramPage:
        return program_;
    case sheet::kDownloadPage:
        return download_;
    case sheet::kExtractPage:
        return extract_;
    default:
        return nullptr;
    }
}

void CSettingSheet::OnPageChanged(wxBookCtrlEvent& event) {
    event.Skip();
    // Only pages the user has seen are written on OK.
    const int page = event.GetSelection();
    model_.MarkShown(page);
    if (CSettingPage* shown = Page(page))
        shown->OnShown();
}

} // namespace ordinex
