#include "app/ordinex_app.h"
#include "platform/text_helpers.h"

namespace ordinex {

int COrdinexApp::ShowWarning(const std::string& rawText, int32_t situationFlag) {
    const std::string text = MaskPasswords(rawText);
    int answer = kAnswerCancel;
    // The status area shows what led to the question.
    if (statusView_)
        statusView_->ShowPending();
    if (settings.PauseForConfirm && settings.PauseByWarning) {
        if (prompter_)
            answer = prompter_->MessageBox(text + "\n\n" + "処理を中止しますか。", MessageButtons::YesNo,
                                           MessageIcon::Information, true);
    } else if (settings.ShowWarningDialogSetting && situationFlag) {
        warningText = text;
        warningSubject = shownTarget_;
        if (prompter_)
            answer = prompter_->WarningDialog(warningText, warningSubject);
    }
    if (prompter_)
        prompter_->RepaintMainFrame();
    return answer;
}

void COrdinexApp::ConfirmStep() {
    if (!settings.PauseForConfirm || !prompter_)
        return;
    // The pause is for looking at the step just shown.
    if (statusView_)
        statusView_->ShowPending();
    for (;;) {
        if (prompter_->MessageBox("動作を確認してください。", MessageButtons::OkCancel,
                                  MessageIcon::Information) == kAnswerOk)
            return;
        if (prompter_->MessageBox("確認処理を取り消しますか。", MessageButtons::YesNo,
                                  MessageIcon::Information, true) == kAnswerYes) {
            settings.PauseForConfirm = 0;
            return;
        }
        if (prompter_->MessageBox("プログラムを終了しますか。", MessageButtons::YesNo,
                                  MessageIcon::Information, true) == kAnswerYes) {
            // A run winds down without pausing again; the settings are not
            // saved on this way out.
            settings.PauseForConfirm = 0;
            prompter_->CloseMainWindowAndExit();
            return;
        }
    }
}

} // namespace ordinex
