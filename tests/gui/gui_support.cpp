#include "gui_support.h"

#include "gui/browser/browser_frame.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/textctrl.h>
#include <wx/time.h>
#include <wx/utils.h>

namespace ordinex::test {

int ScriptedPrompter::MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon, bool) {
    messages.push_back(text);
    icons.push_back(icon);
    if (onMessage)
        onMessage();
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return buttons == MessageButtons::YesNo ? kAnswerNo : kAnswerOk;
}

int ScriptedPrompter::WarningDialog(const std::string& text, const std::string& subject) {
    warnings.push_back(text);
    warningSubjects.push_back(subject);
    return kAnswerNo;
}

GuiApp::GuiApp() : cwd_(dir_.path()), shell_(std::make_unique<CAppShell>(&prompter)) {}

GuiApp::~GuiApp() {
    Exit();
}

bool GuiApp::Start(const std::vector<std::string>& args) {
    const bool started = shell_->InitInstance(args);
    // No test depends on a notification service, nor shows a notification.
    if (started && frame())
        frame()->SetNotifier([this](const std::string& title, const std::string& text) {
            notifications.push_back(title + ": " + text);
        });
    return started;
}

void GuiApp::Exit() {
    if (shell_)
        shell_->ExitInstance();
}

void Type(wxTextCtrl* box, const wxString& chars, int modifiers) {
    for (wxUniChar c : chars) {
        wxKeyEvent key(wxEVT_CHAR);
        key.SetShiftDown(modifiers & wxMOD_SHIFT);
        key.SetControlDown(modifiers & wxMOD_CONTROL);
        key.SetAltDown(modifiers & wxMOD_ALT);
        key.m_keyCode = static_cast<int>(c.GetValue());
        key.m_uniChar = static_cast<wxChar>(c.GetValue());
        key.SetEventObject(box);
        key.SetId(box->GetId());
        box->GetEventHandler()->ProcessEvent(key);
        if (!key.GetSkipped())
            continue;
        long from = 0, to = 0;
        box->GetSelection(&from, &to);
        if (c == WXK_BACK) {
            if (from != to)
                box->Remove(from, to);
            else if (from > 0)
                box->Remove(from - 1, from);
        } else {
            box->WriteText(wxString(c));
        }
        // Boxes may finish their reaction after the change (CallAfter).
        wxTheApp->ProcessPendingEvents();
    }
}

wxTextCtrl* TextBox(COrdinexView* view, int id) {
    return dynamic_cast<wxTextCtrl*>(view->Control(id));
}

void SelectAll(wxTextCtrl* box) {
    box->SetSelection(-1, -1);
}

void Press(wxWindow* dialog, int id) {
    auto* button = dynamic_cast<wxButton*>(dialog->FindWindow(id));
    ASSERT_NE(button, nullptr) << id;
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

bool Enabled(COrdinexView* view, int id) {
    return view->Control(id)->IsThisEnabled();
}

void PumpFor(int ms) {
    const wxLongLong end = wxGetLocalTimeMillis() + ms;
    while (wxGetLocalTimeMillis() < end) {
        while (wxTheApp->Pending())
            wxTheApp->Dispatch();
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        wxMilliSleep(5);
    }
}

bool LinkedBrowserForTests(COrdinexApp& app, IMainFormLink& main, const std::string& address) {
    return CBrowserFrame::Open(app, main, address) != nullptr;
}

} // namespace ordinex::test
