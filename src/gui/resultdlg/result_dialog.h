#pragma once
#include "gui/kit/desktop_launch.h"
#include "gui/resultdlg/result_table.h"
#include "runs/run_report.h"

#include <wx/defs.h>
#include <wx/dialog.h>

#include <functional>
#include <string>

class wxButton;
class wxStaticText;

namespace ordinex {

class CResultList;
class IPrompter;

// "ダウンロード結果": what the last download run did, a row for each file
// that did not complete, and what can be done about them. ShowModal answers
// kRetryId when the user asked for the failed files again (the caller runs
// them); the other buttons act at once and leave it open.
class CResultDialog : public wxDialog {
public:
    static constexpr int kRetryId = wxID_HIGHEST + 301;
    static constexpr int kOpenFolderId = wxID_HIGHEST + 302;
    static constexpr int kCopyId = wxID_HIGHEST + 303;
    static constexpr int kSummaryId = wxID_HIGHEST + 304;

    // Hands an address ("file:///...") to the desktop's default handler.
    using Opener = std::function<DesktopLaunch(const std::string& address)>;
    // prompter: where failures are told (null: nowhere).
    CResultDialog(wxWindow* parent, const RunReport& report, Opener opener, IPrompter* prompter);

    CResultList* List() const { return list_; }
    const ResultTable& Table() const { return table_; }

private:
    void CreateLayout(const RunReport& report);
    void OpenFolder();
    void CopyAddresses();
    void Tell(const std::string& text);

    ResultTable table_;
    Opener opener_;
    IPrompter* prompter_;
    CResultList* list_ = nullptr;
};

} // namespace ordinex
