#pragma once
#include "app/ordinex_doc.h"
#include "gui/kit/desktop_launch.h"
#include "gui/widgets/main_form_link.h"
#include "gui/widgets/window_placement.h"
#include "platform/ui_hooks.h"
#include "settings/frame_placement.h"
#include "ui/busy_look.h"
#include "ui/frame_rules.h"

#include <wx/frame.h>
#include <wx/longlong.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include <functional>
#include <memory>
#include <string>

class wxMenu;
class wxNotificationMessage;
class wxMenuItem;
class wxToolBar;
class wxUpdateUIEvent;

namespace ordinex {

class COrdinexApp;
class COrdinexView;
class CBusyAnimation;
class CInputHold;
class CSeriesAssist;

// The main window: menu, toolbar, the form, the measured-height size rules and
// the windows' side of the busy state.
class CMainFrame : public wxFrame, public IBusyWindows, public IMainFormLink {
public:
    CMainFrame(COrdinexApp& app, COrdinexDoc& doc);
    ~CMainFrame() override;

    COrdinexView* View() const { return view_; }
    wxToolBar* Toolbar() const { return toolbar_; }

    // Carries out a menu or toolbar command (by its command number).
    void RunCommand(int command) override;
    bool CommandEnabled(int command);

    // IBusyWindows (main_frame_busy.cpp)
    void EnterBusy() override;
    void SetRunLayout(bool busy) override;
    void LeaveBusy() override;
    void ShowBusyAnimation() override;
    void DestroyBusyAnimation() override;
    // How long busy work runs before the window shows it.
    static constexpr int kBusyLookDelayMs = 100;
    // Shows the busy look now if it is still due.
    void ShowBusyLook();
    bool BusyLookDue() const { return look_.Due(); }

    // IMainFormLink (main_frame_tools.cpp)
    Job ReadJob() override;
    void CopyToUrlBase(const std::string& text) override;
    void CopyToUrlExpansion(const std::string& text) override;
    void CopyAddressToUrlBase(const std::string& address) override;
    void FetchAddress(const std::string& address) override;
    void ListSelectionChanged() override;
    void RunNested(const std::function<void()>& work) override;
    void OpenInBrowser(const std::string& address) override;
    void OpenTreeWindow(int command, const std::string& address) override;

    // The desktop's browser; tests put a recorder in its place.
    using BrowserLauncher = std::function<bool(const std::string& address)>;
    void SetBrowserLauncher(BrowserLauncher launcher) { launchBrowser_ = std::move(launcher); }
    // The desktop's handler for the file manager's address; tests put a
    // recorder in its place.
    using DesktopOpener = std::function<DesktopLaunch(const std::string& address)>;
    void SetDesktopOpener(DesktopOpener opener) { openWithDesktop_ = std::move(opener); }

    // Applies the size limits again, after the toolbar, the run state or
    // AlwaysShowExpansionWindow changed.
    void Relayout(bool keepOnScreen = true);
    void EnableToolbarButtons(bool enable);
    bool ToolbarVisible() const { return toolbarVisible_; }
    bool RunInProgress() const { return look_.Grown(); }
    CBusyAnimation* BusyAnimation() const { return busyAnimation_; }
    // The height the frame must have: what lies outside its client area
    // (decorations, menu bar, toolbar) plus the form's height in use.
    int FixedHeight() const;
    // Moves the frame so that all of it is on the screen.
    void KeepOnScreen();
    bool Show(bool show = true) override;
    int ToolbarHeight() const { return toolbarHeight_; }

    void UpdateTitle();
    void RebuildRecentMenu();
    // Opens a job as File > Open does once the file is chosen (the save
    // question first); false when it could not be read.
    bool OpenJobFile(const std::string& path);
    // The last job and this window's placement go into the settings file.
    void SaveState();
    FramePlacement CurrentPlacement() const;

    // The save question with Yes, No and Cancel (answers 6, 7, 2); tests
    // answer it themselves.
    void SetSaveQuestion(COrdinexDoc::AskFunction ask) { askSave_ = std::move(ask); }
    // The way out chosen at a pause prompt: a run in progress stops first,
    // then the window closes (asking to save a modified job) and the process
    // ends with exit code 1, without saving the settings or this window's state.
    void CloseAndEndProcess();
    // How the process ends on that way out; tests keep it alive.
    void SetProcessEnd(std::function<void(int code)> end) { endProcess_ = std::move(end); }
    // The system's request to end (SIGTERM): closes as the user's close does,
    // but a download run in progress is stopped without asking.
    void CloseForSystem();

    // A download run that ends while the window is not the active one, after
    // more than kNotifyAfterSeconds, is announced on the desktop.
    static constexpr double kNotifyAfterSeconds = 3.0;
    static bool NotifiesRunEnd(bool windowActive, double seconds) {
        return !windowActive && seconds > kNotifyAfterSeconds;
    }
    // The desktop notification and whether the window is the active one;
    // tests put recorders in their place.
    using Notifier = std::function<void(const std::string& title, const std::string& text)>;
    void SetNotifier(Notifier notifier) { notify_ = std::move(notifier); }
    void SetActiveQuery(std::function<bool()> query) { isActive_ = std::move(query); }

    // Saving asks for a file name when the job has none; tests answer it.
    using FileChooser = std::function<std::string(bool forSaving)>;
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

protected:
    // The user may change the width alone: every size request is held to the limits.
    void DoSetSize(int x, int y, int width, int height, int sizeFlags) override;

private:
    // Menu and toolbar (main_frame_menu.cpp)
    void CreateMenus();
    void CreateToolbar();

    // Commands (main_frame_commands.cpp)
    void ExecuteCommand(int command);
    void NewJob();
    void OpenJob();
    bool SaveJob();
    bool SaveJobAs();
    void OpenRecent(int index);
    void EditCommand(int command);
    bool EditCommandEnabled(int command);
    void RunSeriesFromForm();
    // "一覧": the run's URLs and destinations, or why the ranges give none.
    void ShowSeriesPreview();
    // The tool windows (main_frame_tools.cpp)
    void RunFtpListFromForm();
    void RunLinkListFromForm();
    void OnActivated(wxActivateEvent& event);
    void OnIconized(wxIconizeEvent& event);
    void OpenInExplorer();
    void OpenLocalFile(const std::string& name);
    void OpenInDesktopBrowser(const std::string& address);
    void ShowVersion();
    void ShowSettings(int firstPage);
    void ShowRunReport();
    void OnRunEnded(const std::string& result, double seconds);
    void Notify(const std::string& text);
    // Whether a close request may stop the run in progress: asks while a
    // download run is in progress.
    bool CloseMayStopRun(bool askAllowed);
    void ToggleToolbar();
    std::string ChooseFile(bool forSaving);
    int AskSave(const std::string& question);

    void ApplyToolbarVisibility();
    int FormHeight() const;
    bool SizeIsReal() const;
    bool BeingPlaced() const;
    form::Rect BusyAnimationPlace(const wxRect& workArea) const;
    void PlaceBusyAnimation();
    CBusyAnimation* AnimationWindow();
    void PlayBusyAnimation();
    void BindBusyLook();
    void ApplyRunLayout(bool busy);
    void HoldInput(bool hold);
    void SetCommandsBusy(bool busy);
    void RestorePlacement();
    void OnClose(wxCloseEvent& event);
    void OnUpdateUI(wxUpdateUIEvent& event);

    COrdinexApp& app_;
    COrdinexDoc& doc_;
    COrdinexView* view_ = nullptr;
    wxToolBar* toolbar_ = nullptr;
    wxMenu* recentMenu_ = nullptr;
    wxMenuItem* recentItem_ = nullptr;
    int toolbarHeight_ = 0;
    bool toolbarVisible_ = false;
    BusyLook look_;
    bool frozenForLeave_ = false;           // from the run layout's end to LeaveBusy
    std::unique_ptr<CInputHold> inputHold_; // while the busy look is due
    // Series from example addresses, and their undo.
    std::unique_ptr<CSeriesAssist> assist_;
    wxTimer lookTimer_;
    bool inRelayout_ = false;
    wxLongLong placementSettleUntil_ = 0;
    // Commands may nest event loops (runs, dialogs); a close request that
    // arrives inside one waits until it has returned.
    int commandDepth_ = 0;
    bool closePending_ = false;
    bool endProcessOnClose_ = false;
    bool closeWithoutAsking_ = false; // the next close request is the system's
    bool askingToClose_ = false;      // the question is on the screen
    int runPercent_ = -1;             // in the title while a run lasts
    Notifier notify_;
    std::function<bool()> isActive_;
    std::unique_ptr<wxNotificationMessage> notification_;
    std::function<void(int)> endProcess_;
    CWindowPlacement placement_{*this, [this] { Relayout(false); }};
    wxRect workArea_; // as placing the frame for a run's start found it
    COrdinexDoc::AskFunction askSave_;
    FileChooser chooseFile_;
    BrowserLauncher launchBrowser_;
    DesktopOpener openWithDesktop_;
    // The animation is a child window of the frame and goes with it. It is
    // made hidden once the frame is shown and kept for every run;
    // busyAnimation_ is set while it plays.
    wxWeakRef<CBusyAnimation> animationWindow_;
    wxWeakRef<CBusyAnimation> busyAnimation_;
};

} // namespace ordinex
