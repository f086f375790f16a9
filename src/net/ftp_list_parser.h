#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace ordinex {

// One entry of an FTP directory listing as the server wrote it.
struct ListedEntry {
    std::string name;
    bool directory = false;
    int64_t size = 0;
    std::string rawTime; // the date fields, for FtpListDateText
};

// Reads one line of a LIST reply, in the Unix form ("drwxr-xr-x 2 u g 4096
// Mar 04  2021 name", group column optional, "name -> target" for links) or
// the DOS form ("03-04-21  05:00PM  <DIR>  name"). False for a line that is
// neither, such as "total 12", and for "." and "..": such lines are skipped,
// the rest of the listing still counts. Control characters in the name are
// replaced.
bool ParseFtpListLine(std::string_view line, ListedEntry& out);

} // namespace ordinex
