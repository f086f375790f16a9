#pragma once
#include "net/listing_panes.h"

#include <string>

namespace ordinex {

// A tree & list window as the application drives it around a listing.
class ITreeListWindow {
public:
    virtual ~ITreeListWindow() = default;
    // Busy state: false disables the panes and the commands that start work.
    virtual void SetEnabled(bool enabled) = 0;
    // Sorts the list again in the order last used.
    virtual void ResortList() = 0;
    // The window text: the base title followed by the address shown.
    virtual void ShowAddress(const std::string& address) = 0;
};

// The FTP tree & list window's parts; every pointer is null while the window
// does not exist. A command-line run supplies rows alone.
struct FtpWindowParts {
    ITreeListWindow* window = nullptr;
    IFtpTreePane* tree = nullptr;
    IFtpListPane* list = nullptr;
    IFtpListSelection* rows = nullptr;
};

// The Link tree & list window's parts, likewise.
struct LinkWindowParts {
    ITreeListWindow* window = nullptr;
    ILinkTreePane* tree = nullptr;
    ILinkListPane* list = nullptr;
    IListSelection* rows = nullptr;
};

} // namespace ordinex
