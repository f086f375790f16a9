#pragma once
#include "job/job.h"

#include <functional>
#include <string>

namespace ordinex {

// What the tool windows (the tree & list windows, the browser) need of the
// main window: the job on the form, its two URL boxes, and its command handlers.
class IMainFormLink {
public:
    virtual ~IMainFormLink() = default;
    virtual Job ReadJob() = 0;
    // Puts a text into the URL base or expansion box as an edit of the job:
    // the job is marked modified and the composed URL shown anew.
    virtual void CopyToUrlBase(const std::string& text) = 0;
    virtual void CopyToUrlExpansion(const std::string& text) = 0;
    // Puts an address into the URL base box as CopyToUrlBase does, without
    // a password in it: that goes into the password box, with its user name,
    // when the user name box is empty (else the boxes log in already).
    virtual void CopyAddressToUrlBase(const std::string& address) = 0;
    // Downloads one address now, as the Link list would a selected row, into
    // the job's destination base; nothing while a run is in progress.
    virtual void FetchAddress(const std::string& address) = 0;
    // A list's selection changed: the form decides its buttons again.
    virtual void ListSelectionChanged() = 0;
    // A command of the main window (the list runs start there).
    virtual void RunCommand(int command) = 0;
    // Opens an address in a browser: the built-in one, or the desktop's when
    // UseWindowsRuleBrowserSetting says so.
    virtual void OpenInBrowser(const std::string& address) = 0;
    // Opens the FTP (cmd::kShowFtpTree) or Link (cmd::kShowLinkTree) tree &
    // list window on an address, as the main window's command of that number
    // does on the URL base; nothing while it is not available.
    virtual void OpenTreeWindow(int command, const std::string& address) = 0;
    // Work that pumps events (a listing); closing the main window meanwhile
    // waits until it has returned.
    virtual void RunNested(const std::function<void()>& work) = 0;
};

} // namespace ordinex
