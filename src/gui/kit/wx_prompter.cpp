#include "gui/kit/wx_prompter.h"

#include "gui/kit/message_dialog.h"
#include "gui/kit/test_aids.h"
#include "gui/kit/warning_dialog.h"
#include "platform/version_record.h"

#include <wx/timer.h>
#include <wx/window.h>

#include <cstdio>
#include <cstdlib>

namespace ordinex {

namespace {

// Calls the prompter's work while the prompt's own event loop runs.
class WorkTicker : public wxTimer {
public:
    explicit WorkTicker(const IPrompter& prompter) : prompter_(prompter) {
        if (prompter_.HasWorkWhileOpen())
            Start(kTickMilliseconds);
    }
    void Notify() override {
        // A tick that comes while the last one works waits for the next.
        if (working_)
            return;
        working_ = true;
        prompter_.DoWorkWhileOpen();
        working_ = false;
    }

private:
    static constexpr int kTickMilliseconds = 10;
    const IPrompter& prompter_;
    bool working_ = false;
};

long StyleOf(MessageButtons buttons, MessageIcon icon, bool defaultNo) {
    long style = 0;
    switch (buttons) {
    case MessageButtons::Ok:
        style = wxOK;
        break;
    case MessageButtons::OkCancel:
        style = wxOK | wxCANCEL;
        break;
    case MessageButtons::YesNo:
        style = wxYES_NO | (defaultNo ? wxNO_DEFAULT : wxYES_DEFAULT);
        break;
    }
    switch (icon) {
    case MessageIcon::Information:
        style |= wxICON_INFORMATION;
        break;
    case MessageIcon::Exclamation:
        style |= wxICON_EXCLAMATION;
        break;
    case MessageIcon::Stop:
        style |= wxICON_STOP;
        break;
    }
    return style;
}

int DefaultAnswer(MessageButtons buttons, bool defaultNo) {
    if (buttons == MessageButtons::YesNo)
        return defaultNo ? kAnswerNo : kAnswerYes;
    return kAnswerOk;
}

} // namespace

int WxPrompter::MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon,
                           bool defaultNo) {
    if (beforePrompt_)
        beforePrompt_();
    if (PromptsAnsweredForTests()) {
        std::fprintf(stderr, "prompt: %s\n", text.c_str());
        return DefaultAnswer(buttons, defaultNo);
    }
    WorkTicker ticker(*this);
    return ShowMessageDialog(mainWindow_(), text, ProgramVersionRecord().productName,
                             StyleOf(buttons, icon, defaultNo));
}

int WxPrompter::WarningDialog(const std::string& text, const std::string& subject) {
    if (beforePrompt_)
        beforePrompt_();
    // The dialog closes itself, so it is shown in test runs too.
    if (PromptsAnsweredForTests())
        std::fprintf(stderr, "warning: %s (%s)\n", text.c_str(), subject.c_str());
    CWarningDialog dialog(mainWindow_(), text, subject, fatal_);
    WorkTicker ticker(*this);
    return dialog.ShowModal();
}

void WxPrompter::RepaintMainFrame() {
    if (wxWindow* frame = mainWindow_()) {
        frame->Refresh();
        frame->Update();
    }
}

void WxPrompter::CloseMainWindowAndExit() {
    if (closeAndExit_) {
        closeAndExit_();
        return;
    }
    if (wxWindow* frame = mainWindow_())
        frame->Close();
    // Without the normal shut-down: nothing is saved.
    std::_Exit(1);
}

} // namespace ordinex
