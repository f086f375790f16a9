#pragma once
#include "gui/widgets/window_placement.h"
#include "ui/browser_rules.h"

#include <wx/frame.h>

#include <functional>
#include <string>
#include <vector>

class wxComboBox;
class wxToolBar;

namespace ordinex {

class COrdinexApp;
class CBrowserView;
class IMainFormLink;

// The built-in browser: a tool window with the navigation bar, the bar of
// the copy and open commands, the address box and the view. At most one
// exists; Current() finds it.
class CBrowserFrame : public wxFrame {
public:
    // Creates and shows the window when it does not exist, then navigates it
    // to the address and lists the address in the address box. Null when the
    // platform offers no web view.
    static CBrowserFrame* Open(COrdinexApp& app, IMainFormLink& main, const std::string& address);
    static CBrowserFrame* Current() { return current_; }
    ~CBrowserFrame() override;
    // However the window goes (closed, or destroyed at shutdown), a page
    // load's busy state is let go first.
    bool Destroy() override;

    // Carries out a command (cmd::kBrowser...) when its rule allows it.
    void RunCommand(int command);
    bool CommandEnabled(int command) const;

    // Sets the navigating flag, navigates, titles the window and lists the address.
    void NavigateTo(const std::string& address);
    // The address box's text without surrounding blanks, and its list.
    std::string AddressText() const;
    std::vector<std::string> AddressList() const;

    // The question about a file link (answers 6: into the URL boxes, 7:
    // fetch it now, 2: nothing); tests answer it themselves.
    using FileQuestion = std::function<int(const std::string& text)>;
    void SetFileQuestion(FileQuestion ask) { askAboutFile_ = std::move(ask); }

    CBrowserView* View() const { return view_; }
    wxComboBox* AddressBox() const { return address_; }
    wxToolBar* NavigationBar() const { return navigationBar_; }
    wxToolBar* CommandBar() const { return commandBar_; }
    const std::string& BaseTitle() const { return baseTitle_; }

private:
    CBrowserFrame(COrdinexApp& app, IMainFormLink& main);
    void CreateBars(wxWindow* parent, wxSizer* sizer);
    void AddToAddressList(const std::string& text);
    void ShowPage(const std::string& location, const std::string& address);
    void ShowTitle(const std::string& address);
    void OnAddressEnter();
    void OnAddressChosen();
    void OnClose(wxCloseEvent& event);
    // A link led to a file: into the form's URL boxes, or fetched now.
    void OfferFile(const std::string& url);
    void AnswerFileOffer(const std::string& url);
    int AskAboutFile(const std::string& text);
    browser::BrowserState State() const;

    static CBrowserFrame* current_;
    COrdinexApp& app_;
    IMainFormLink& main_;
    std::string baseTitle_;
    CBrowserView* view_ = nullptr;
    wxToolBar* navigationBar_ = nullptr;
    wxToolBar* commandBar_ = nullptr;
    wxComboBox* address_ = nullptr;
    CWindowPlacement placement_{*this};
    FileQuestion askAboutFile_;
};

} // namespace ordinex
