#pragma once
#include "gui/settingsdlg/setting_page_base.h"

#include <vector>

class wxRadioButton;

namespace ordinex {

// "プログラム": start-up, separators, browser, warnings, log and the
// step-by-step options, each a check box bound to a flag.
class CSettingPageProgram1 : public CSettingPage {
public:
    CSettingPageProgram1(wxWindow* parent, sheet::ProgramPageModel& model);
    void OnShown() override;

private:
    sheet::ProgramPageModel& model_;
};

// "ダウンロード": the options (0-byte files and any later ones), the
// overwrite rule and how the two list runs name their files.
class CSettingPageDownload1 : public CSettingPage {
public:
    CSettingPageDownload1(wxWindow* parent, sheet::DownloadPageModel& model);

private:
    wxSizer* CreateOptions();
    wxSizer* CreateChoiceGroup(std::size_t group);
    void ShowChoice(std::size_t group);

    sheet::DownloadPageModel& model_;
    std::vector<std::vector<wxRadioButton*>> radios_; // per group; a hidden first one stands for "none"
};

// "抽出": the list filter's twelve rows, the tags the link walk reads and
// how many links deep it goes.
class CSettingPageTool1 : public CSettingPage {
public:
    CSettingPageTool1(wxWindow* parent, sheet::ExtractPageModel& model);

private:
    wxSizer* CreateListFilter();
    wxSizer* CreateTags();
    wxSizer* CreateDepth();
    void OnDepthChanged(const std::string& typed);

    sheet::ExtractPageModel& model_;
    NumberBox depth_{};
};

} // namespace ordinex
