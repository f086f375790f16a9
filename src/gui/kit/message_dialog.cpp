#include "gui/kit/message_dialog.h"

#include "gui/kit/wx_text.h"
#include "platform/ui_hooks.h"

#include <wx/msgdlg.h>

namespace ordinex {

const char* const kYesText = "はい";
const char* const kNoText = "いいえ";
const char* const kCancelText = "キャンセル";
const char* const kOkText = "OK";

int AnswerFromWx(int wxAnswer) {
    switch (wxAnswer) {
    case wxID_YES:
    case wxYES:
        return kAnswerYes;
    case wxID_NO:
    case wxNO:
        return kAnswerNo;
    case wxID_OK:
    case wxOK:
        return kAnswerOk;
    default:
        return kAnswerCancel;
    }
}

int ShowMessageDialog(wxWindow* parent, const std::string& text, const std::string& caption, long style) {
    wxMessageDialog dialog(parent, ToWx(text), ToWx(caption), style | wxCENTRE);
    // Set on every box rather than taken from the toolkit's translations,
    // which follow the desktop's language: the program speaks Japanese in
    // any locale, and its questions with it.
    const wxString yes = ToWx(kYesText), no = ToWx(kNoText), cancel = ToWx(kCancelText), ok = ToWx(kOkText);
    if (style & wxYES_NO) {
        if (style & wxCANCEL)
            dialog.SetYesNoCancelLabels(yes, no, cancel);
        else
            dialog.SetYesNoLabels(yes, no);
    } else if (style & wxCANCEL) {
        dialog.SetOKCancelLabels(ok, cancel);
    } else {
        dialog.SetOKLabel(ok);
    }
    return AnswerFromWx(dialog.ShowModal());
}

int ShowChoiceDialog(wxWindow* parent, const std::string& text, const std::string& caption, const char* first,
                     const char* second, const char* third) {
    wxMessageDialog dialog(parent, ToWx(text), ToWx(caption),
                           wxYES_NO | wxCANCEL | wxICON_QUESTION | wxCENTRE);
    dialog.SetYesNoCancelLabels(ToWx(first), ToWx(second), ToWx(third));
    return AnswerFromWx(dialog.ShowModal());
}

} // namespace ordinex
