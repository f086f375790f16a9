#pragma once
#include "settings/setting_pages.h"

#include <wx/bookctrl.h>
#include <wx/propdlg.h>

namespace ordinex {

struct ProgramSettings;
class CSettingPage;
class CSettingPageProgram1;
class CSettingPageDownload1;
class CSettingPageTool1;

// "設定": the three pages over copies of the settings, OK and Cancel only.
// Nothing reaches the settings until Apply after OK.
class CSettingSheet : public wxPropertySheetDialog {
public:
    CSettingSheet(wxWindow* parent, const ProgramSettings& settings, int firstPage);

    // OK: the pages that were shown write their values.
    void Apply(ProgramSettings& settings) const { model_.Write(settings); }
    const sheet::SettingSheetModel& Model() const { return model_; }

    CSettingPage* Page(int page) const;
    CSettingPageProgram1* ProgramPage() const { return program_; }
    CSettingPageDownload1* DownloadPage() const { return download_; }
    CSettingPageTool1* ExtractPage() const { return extract_; }

private:
    void OnPageChanged(wxBookCtrlEvent& event);

    sheet::SettingSheetModel model_;
    CSettingPageProgram1* program_ = nullptr;
    CSettingPageDownload1* download_ = nullptr;
    CSettingPageTool1* extract_ = nullptr;
};

} // namespace ordinex
