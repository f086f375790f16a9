#pragma once
#include "job/job.h"

#include <map>
#include <string>
#include <vector>

namespace ordinex::form {

// Whether the two list windows have a selected row that is a file; the list
// runs need one.
struct ListSelection {
    bool ftpListHasFile = false;
    bool linkListHasFile = false;
};

// The 34 input controls that a run disables, in the order the form enables them.
const std::vector<int>& InputControlIds();

// The form's buttons that carry out a menu command, with its number.
struct ButtonCommand {
    int id;
    int command;
};
const std::vector<ButtonCommand>& ButtonCommands();

// Enabled state of the input controls and the ranges' labels while nothing
// runs: buttons whose boxes are empty are off, and a range's parts follow
// its check.
std::map<int, bool> IdleEnabling(const Job& job, ListSelection lists);
// While a run is in progress only Stop remains.
std::map<int, bool> BusyEnabling();

// The destination expansion that "URLをコピー" makes of the URL expansion.
std::string UrlToFolderExpansion(const std::string& urlExpansion, bool convertSeparators);

// The folder dialog's answer with the local separator appended, as the
// destination base expects it.
std::string FolderWithSeparator(const std::string& folder);

} // namespace ordinex::form
