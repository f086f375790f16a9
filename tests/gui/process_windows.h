#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace ordinex::test {

// The titles of the viewable top-level windows a process shows on the
// display (by the process id the toolkit puts on each), with or without a
// window manager's frames around them.
std::vector<std::string> ProcessWindowTitles(pid_t pid);

// Waits until one of the process's windows has a title that match accepts;
// false when the process ended or the time passed first.
bool WaitForProcessWindow(pid_t pid, const std::function<bool(const std::string&)>& match,
                          int timeoutMs = 30000);

// Whether the process has a file mapped whose path contains part.
bool ProcessMaps(pid_t pid, const std::string& part);

} // namespace ordinex::test
