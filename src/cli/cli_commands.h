#pragma once
#include <string>
#include <vector>

namespace ordinex::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitBadInput = 2;

int RunList(const std::string& jobPath);
// Prints the job of the series that FIRST [LAST] [FOLDER] suggest.
int RunGuess(const std::vector<std::string>& args);
// failedList: the --failed-list file (empty: none); parallel: -j, the files
// in flight at once for this run (0: as the settings say).
int RunDownload(const std::string& jobPath, const std::string& failedList = {}, int parallel = 0);
// The N of -j: 1 to 16, else 0.
int ParseParallel(const std::string& text);
// Lists an FTP directory through the list filter: NAME, SIZE, TYPE, DATE.
int RunLs(const std::string& url);
// The list runs over the given addresses, with the job's destination and
// settings: http:// and https:// addresses as Link-list rows, the others as
// FTP-list rows.
int RunFetch(const std::string& jobPath, const std::vector<std::string>& urls,
             const std::string& failedList = {}, int parallel = 0);
// Whether an ls address is a web page (http:// or https://).
bool IsWebAddress(const std::string& url);
// Lists the files a web page links to (and those of the pages below it, as
// deep as the settings say), after probing and filtering: NAME, SIZE, TYPE, DATE.
int RunLinkLs(const std::string& url);

} // namespace ordinex::cli
